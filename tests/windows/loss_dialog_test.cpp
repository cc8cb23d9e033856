// The loss dialog opened by Verluste beside the running main dialog, driven from inside its modal loop.
#include "main_dialog_fixture.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <string>

#include "losses/loss_dialog.h"
#include "losses/money.h"
#include "numbers_whole.h"

namespace {

const wchar_t* const kLossCaption = L"Verluste beim Lottospiel";

// Costs, winnings and total, each as DM and Pf text.
constexpr std::size_t kResultRows = 3;
// Each row shows its DM part, then its Pf part.
constexpr std::size_t kPartsPerRow = 2;
constexpr std::size_t kResultFields = kPartsPerRow * kResultRows;
using Results = std::array<std::string, kResultFields>;
using Prices = std::array<Pfennig, PRICE_ROWS>;

// Amounts in Pfennig as the dialog shows them: both parts truncated toward zero, with the sign.
Results AsShown(Pfennig costs, Pfennig winnings)
{
    Results shown;
    const Pfennig amounts[kResultRows] = {costs, winnings, winnings - costs};
    for (std::size_t row = 0; row < kResultRows; ++row) {
        shown[kPartsPerRow * row] = std::to_string(amounts[row] / kPfennigPerMark);
        shown[kPartsPerRow * row + 1] = std::to_string(amounts[row] % kPfennigPerMark);
    }
    return shown;
}

Results ShownResults(HWND losses)
{
    Results shown;
    for (std::size_t row = 0; row < kResultRows; ++row) {
        const int offset = static_cast<int>(row);
        shown[kPartsPerRow * row] = FieldText(losses, IDC_RESULT_DM_FIRST + offset);
        shown[kPartsPerRow * row + 1] = FieldText(losses, IDC_RESULT_PF_FIRST + offset);
    }
    return shown;
}

// What the loss dialog must show for the counters the main dialog shows, at prices in Pfennig
// (stake, then the prizes for 3..6 hits).
Results Expected(HWND main, const Prices& prices)
{
    Pfennig winnings = 0;
    for (int hits = kLeastWinningHits; hits <= kNumbersPerTip; ++hits)
        winnings += static_cast<Pfennig>(FieldNumber(main, IDC_HIT_CLASS_FIRST + hits - 1)) *
                    prices[static_cast<std::size_t>(PRIZE_3 + hits - kLeastWinningHits)];
    return AsShown(static_cast<Pfennig>(Played(main)) * prices[STAKE], winnings);
}

void TypePrice(HWND losses, int row, const char* marks, const char* pfennig)
{
    TypeInto(losses, IDC_PRICE_DM_FIRST + row, marks);
    TypeInto(losses, IDC_PRICE_PF_FIRST + row, pfennig);
}

const Prices kDefaultPrices = {550, 750, 10000, 500000, 50000000};

// The most a DM field reads: 32 bits.
const char* const kLargestPriceMarks = "4294967295";
constexpr std::size_t kTwelveDigits = 12;
constexpr int kChecksWhileRunning = 5;

void ExpectDefaultsAndNoResults(HWND losses)
{
    const char* marks[] = {"5", "7", "100", "5000", "500000"};
    const char* pfennig[] = {"50", "50", "0", "0", "0"};
    for (int row = STAKE; row < PRICE_ROWS; ++row) {
        EXPECT_EQ(FieldText(losses, IDC_PRICE_DM_FIRST + row), marks[row]) << "row " << row;
        EXPECT_EQ(FieldText(losses, IDC_PRICE_PF_FIRST + row), pfennig[row]) << "row " << row;
    }
    EXPECT_EQ(ShownResults(losses), AsShown(0, 0));
}

class LossDialogTest : public MainDialogTest {
protected:
    // Clicks Verluste and runs body inside the loss dialog's modal loop; ends the dialog with Ende
    // unless body did, and checks that Verluste returned only then.
    void WithLossDialog(const std::function<void(HWND losses)>& body)
    {
        ModalStep step(kLossCaption, [&] {
            const HWND losses = FindThreadDialog(kLossCaption);
            ASSERT_NE(losses, nullptr);
            ASSERT_TRUE(PumpUntil([&] { return IsWindowVisible(losses) != FALSE; }));
            body(losses);
            if (IsWindowVisible(losses))
                Click(losses, IDC_END);
        });
        Click(dialog, IDC_LOSSES);
        EXPECT_TRUE(step.ran()) << "Verluste opened no dialog";
        EXPECT_FALSE(lossDialogOpen);
        EXPECT_TRUE(ThreadDialogs(kLossCaption).empty());
    }

    // Some games played and the draws stopped, so the counters hold still.
    void PlaySomeGames()
    {
        Click(dialog, IDC_START);
        ASSERT_TRUE(DrawsGoOn(dialog, 50));
        Click(dialog, IDC_STOP);
    }
};

} // namespace

TEST_F(LossDialogTest, VerlusteOpensItOnceBesideTheRunningMainDialog)
{
    Click(dialog, IDC_START);
    ASSERT_TRUE(DrawsGoOn(dialog, 5));

    // First the loss dialog's own modal loop runs: it must go on drawing for the main dialog.
    HWND losses = nullptr;
    unsigned long long playedAtOpening = 0;
    ModalStep opening(nullptr, [&] {
        losses = FindThreadDialog(kLossCaption);
        playedAtOpening = Played(dialog);
    });
    ModalStep whileOpen(
        kLossCaption,
        [&] {
            ASSERT_NE(losses, nullptr);
            EXPECT_GT(Played(dialog), playedAtOpening);
            EXPECT_TRUE(lossDialogOpen);
            EXPECT_EQ(GetWindow(losses, GW_OWNER), nullptr);
            EXPECT_TRUE(IsWindowEnabled(dialog));
            EXPECT_TRUE(ShowsProgramIcons(losses));
            ExpectDefaultsAndNoResults(losses);

            // The main dialog's buttons keep working.
            Click(dialog, IDC_STOP);
            ExpectDrawsStopped(dialog);
            Click(dialog, IDC_START);
            EXPECT_TRUE(DrawsGoOn(dialog, 10));

            // Verluste again opens nothing, so it must return at once.
            {
                ModalStep secondDialog(nullptr, [&] {
                    ADD_FAILURE() << "Verluste opened a second loss dialog";
                    for (HWND other : ThreadDialogs(kLossCaption))
                        if (other != losses)
                            EndDialog(other, 0);
                });
                Click(dialog, IDC_LOSSES);
                EXPECT_FALSE(secondDialog.ran());
            }
            EXPECT_EQ(ThreadDialogs(kLossCaption).size(), 1u);

            Click(losses, IDC_END);
            EXPECT_FALSE(IsWindowVisible(losses));
            EXPECT_FALSE(lossDialogOpen);
        },
        [&] { return losses != nullptr && Played(dialog) >= playedAtOpening + 10; });

    Click(dialog, IDC_LOSSES);
    EXPECT_TRUE(whileOpen.ran());
    EXPECT_TRUE(DrawsGoOn(dialog, 10));
}

TEST_F(LossDialogTest, AuswertungEvaluatesOnceExactToThePfennig)
{
    PlaySomeGames();
    WithLossDialog([&](HWND losses) {
        // 58 Pf a game, a Pf field past 99 that carries into the marks, and a prize left empty.
        TypePrice(losses, STAKE, "0", "58");
        TypePrice(losses, PRIZE_3, "1", "150");
        TypePrice(losses, PRIZE_4, "", "");
        Click(losses, IDC_EVALUATE);
        const Results expected = Expected(dialog, {58, 250, 0, 500000, 50000000});
        EXPECT_EQ(ShownResults(losses), expected);
        EXPECT_FALSE(KillTimer(losses, TIMER_ID)) << "Auswertung alone started a timer";

        Click(dialog, IDC_START);
        ASSERT_TRUE(DrawsGoOn(dialog, 10));
        EXPECT_EQ(ShownResults(losses), expected);
        Click(dialog, IDC_STOP);
    });
}

TEST_F(LossDialogTest, AmountsBeyondThirtyTwoBitsAreShownInFull)
{
    WithLossDialog([&](HWND losses) {
        gameRecord.gamesPlayed = 1000000000;
        gameRecord.hitClassCount[3] = 3;
        gameRecord.hitClassCount[6] = 1;
        Click(losses, IDC_EVALUATE);
        EXPECT_EQ(ShownResults(losses), (Results{"5500000000", "0", "500022", "50", "-5499499977", "-50"}));

        // Costs too large for 64 bits stay at the largest amount instead of wrapping.
        TypePrice(losses, STAKE, "4294967295", "99");
        Click(losses, IDC_EVALUATE);
        EXPECT_EQ(ShownResults(losses), AsShown(std::numeric_limits<Pfennig>::max(), 50002250));
    });
}

TEST_F(LossDialogTest, AutoFollowsTheDrawsUntilAuswertung)
{
    Click(dialog, IDC_START);
    WithLossDialog([&](HWND losses) {
        Click(losses, IDC_AUTO);
        Click(losses, IDC_AUTO);
        int changes = 0;
        Results last = ShownResults(losses);
        EXPECT_TRUE(PumpUntil([&] {
            const Results now = ShownResults(losses);
            changes += now == last ? 0 : 1;
            last = now;
            return changes >= 3;
        })) << "the results did not follow the draws";

        // With the draws stopped the results settle on the counters; a stake typed now counts at the next tick.
        Click(dialog, IDC_STOP);
        EXPECT_TRUE(PumpUntil([&] { return ShownResults(losses) == Expected(dialog, kDefaultPrices); }));
        TypePrice(losses, STAKE, "1", "0");
        EXPECT_TRUE(PumpUntil([&] { return ShownResults(losses) == Expected(dialog, {100, 750, 10000, 500000, 50000000}); }));

        Click(losses, IDC_EVALUATE);
        const Results settled = ShownResults(losses);
        Click(dialog, IDC_START);
        ASSERT_TRUE(DrawsGoOn(dialog, 20));
        EXPECT_EQ(ShownResults(losses), settled) << "Auto went on after Auswertung";
        Click(dialog, IDC_STOP);
    });
    EXPECT_EQ(timerLog.ids, std::set<UINT_PTR>{TIMER_ID});
}

TEST_F(LossDialogTest, EnterEvaluatesAndEscapeDoesNothing)
{
    PlaySomeGames();
    WithLossDialog([&](HWND losses) {
        const HWND stakeField = GetDlgItem(losses, IDC_PRICE_DM_FIRST);
        SetFocus(stakeField);
        PostMessageA(stakeField, WM_KEYDOWN, VK_RETURN, 0);
        EXPECT_TRUE(PumpUntil([&] { return ShownResults(losses) == Expected(dialog, kDefaultPrices); }));

        PostMessageA(stakeField, WM_KEYDOWN, VK_ESCAPE, 0);
        SendMessageA(losses, WM_COMMAND, IDCANCEL, 0);
        PumpFor(kQuietSpell);
        EXPECT_TRUE(IsWindowVisible(losses));
        EXPECT_TRUE(lossDialogOpen);
    });
}

TEST_F(LossDialogTest, ReopeningRestoresTheDefaultsAndLeavesTheCountersAlone)
{
    PlaySomeGames();
    std::vector<std::string> counters;
    for (int id = IDC_HIT_FIRST; id <= IDC_GAMES_WITHOUT_PRIZE; ++id)
        counters.push_back(FieldText(dialog, id));

    WithLossDialog([&](HWND losses) {
        TypePrice(losses, STAKE, "9", "99");
        TypePrice(losses, PRIZE_6, "1", "0");
        Click(losses, IDC_EVALUATE);
        SendMessageA(losses, WM_CLOSE, 0, 0);
        EXPECT_FALSE(IsWindowVisible(losses));
        EXPECT_FALSE(lossDialogOpen);
    });
    WithLossDialog([&](HWND losses) {
        ExpectDefaultsAndNoResults(losses);
        Click(losses, IDC_END);
    });

    for (int id = IDC_HIT_FIRST; id <= IDC_GAMES_WITHOUT_PRIZE; ++id)
        EXPECT_EQ(FieldText(dialog, id), counters[static_cast<std::size_t>(id - IDC_HIT_FIRST)]) << "field " << id;
}

TEST(MainAndLossDialog, ClosingTheMainDialogFirstEndsItOnlyWithTheLossDialog)
{
    bool lossDialogClosed = false;
    ModalStep inMainDialog(kMainCaption, [&] {
        const HWND main = FindThreadDialog(kMainCaption);
        ASSERT_NE(main, nullptr);
        Click(main, IDC_START);
        ASSERT_TRUE(DrawsGoOn(main, 5));

        ModalStep inLossDialog(kLossCaption, [&] {
            const HWND losses = FindThreadDialog(kLossCaption);
            ASSERT_NE(losses, nullptr);
            SendMessageA(main, WM_CLOSE, 0, 0);
            EXPECT_FALSE(IsWindowVisible(main));
            ExpectDrawsStopped(main);
            EXPECT_TRUE(IsWindowVisible(losses));
            EXPECT_TRUE(lossDialogOpen);
            Click(losses, IDC_END);
            lossDialogClosed = true;
        });
        Click(main, IDC_LOSSES);
        EXPECT_TRUE(inLossDialog.ran());
    });
    EXPECT_EQ(DialogBoxParamA(nullptr, kMainDialogTemplate, nullptr, MainDialogProc, 0), 0);
    EXPECT_TRUE(inMainDialog.ran());
    EXPECT_TRUE(lossDialogClosed);
}

TEST_F(LossDialogTest, TheLargestPricesWithAutoRunningShowEveryNumberWhole)
{
    EXPECT_TRUE(ShowsEveryNumberWhole(dialog, kMainDialogTemplate, Grown::NO));
    // A long session already, so costs and winnings pass twelve digits at once.
    gameRecord.gamesPlayed = 1000000;
    gameRecord.hitClassCount[3] = 17650;
    Click(dialog, IDC_START);
    WithLossDialog([&](HWND losses) {
        EXPECT_TRUE(ShowsEveryNumberWhole(losses, kLossDialogTemplate, Grown::NO));
        for (int row = STAKE; row < PRICE_ROWS; ++row)
            TypePrice(losses, row, kLargestPriceMarks, "99");
        Click(losses, IDC_AUTO);
        // Checked at several ticks, as the costs grow by a digit now and then.
        for (int tick = 0; tick < kChecksWhileRunning; ++tick) {
            const Results before = ShownResults(losses);
            ASSERT_TRUE(PumpUntil([&] { return ShownResults(losses) != before; }));
            EXPECT_GT(FieldText(losses, IDC_RESULT_DM_FIRST).size(), kTwelveDigits);
            EXPECT_GT(FieldText(losses, IDC_RESULT_DM_FIRST + 1).size(), kTwelveDigits);
            EXPECT_TRUE(ShowsEveryNumberWhole(losses, kLossDialogTemplate, Grown::MAYBE));
        }
        // The main dialog's counters are still short: it has not moved.
        EXPECT_TRUE(ShowsEveryNumberWhole(dialog, kMainDialogTemplate, Grown::NO));
        Click(dialog, IDC_STOP);
    });
}

TEST_F(LossDialogTest, TheLargestCountersAndMoneyShowWhole)
{
    const std::uint64_t largestCount = std::numeric_limits<std::uint64_t>::max();
    for (int hits = 1; hits <= kNumbersPerTip; ++hits) {
        gameRecord.hitClassCount[hits] = largestCount;
        ShowCount(dialog, IDC_HIT_CLASS_FIRST + hits - 1, largestCount);
        ShowCount(dialog, IDC_HIT_FIRST + hits - 1, static_cast<std::uint64_t>(kHighestNumber));
    }
    gameRecord.gamesPlayed = largestCount;
    ShowCount(dialog, IDC_GAMES_PLAYED, largestCount);
    ShowCount(dialog, IDC_GAMES_WITHOUT_PRIZE, largestCount);
    EXPECT_EQ(FieldText(dialog, IDC_GAMES_PLAYED), "18446744073709551615");
    EXPECT_TRUE(ShowsEveryNumberWhole(dialog, kMainDialogTemplate, Grown::MAYBE));

    WithLossDialog([&](HWND losses) {
        // Costs saturated and nothing won: the largest loss.
        TypePrice(losses, STAKE, kLargestPriceMarks, "99");
        for (int row = PRIZE_3; row < PRICE_ROWS; ++row)
            TypePrice(losses, row, "0", "0");
        Click(losses, IDC_EVALUATE);
        ShowAmount(losses, IDC_RESULT_DM_FIRST + 1, IDC_RESULT_PF_FIRST + 1, kLargestAmount);
        EXPECT_EQ(ShownResults(losses),
                  (Results{"92233720368547758", "7", "92233720368547758", "7", "-92233720368547758", "-7"}));
        EXPECT_TRUE(ShowsEveryNumberWhole(losses, kLossDialogTemplate, Grown::MAYBE));
    });

    // Reset keeps the width the counters needed, so the buttons stay under the mouse.
    RECT wide;
    GetWindowRect(dialog, &wide);
    Click(dialog, IDC_RESET);
    RECT afterReset;
    GetWindowRect(dialog, &afterReset);
    EXPECT_TRUE(EqualRect(&wide, &afterReset));
    EXPECT_TRUE(ShowsEveryNumberWhole(dialog, kMainDialogTemplate, Grown::MAYBE));
}
