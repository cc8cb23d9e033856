// The main dialog driven with messages: opening state, the draw timer, Reset, keys, and ending it.
#include "main_dialog_fixture.h"

#include <numeric>

namespace {

constexpr unsigned long long kManyDraws = 200;

} // namespace

TEST_F(MainDialogTest, OpensWithADistinctTipAndEveryCounterAtZero)
{
    DestroyWindow(dialog);
    // Opening clears a flag left behind by an earlier loss dialog.
    lossDialogOpen = true;
    dialog = CreateDialogParamA(nullptr, kMainDialogTemplate, nullptr, MainDialogProc, 0);
    ASSERT_NE(dialog, nullptr);

    EXPECT_FALSE(lossDialogOpen);
    EXPECT_TRUE(ShowsProgramIcons(dialog));
    ExpectValidTip(ShownTip(dialog));
    EXPECT_EQ(ShownTip(dialog), StoredTip());
    for (int id = IDC_HIT_FIRST; id <= IDC_GAMES_WITHOUT_PRIZE; ++id)
        EXPECT_EQ(FieldText(dialog, id), "0") << "field " << id;
    ExpectDrawsStopped(dialog);
}

TEST_F(MainDialogTest, StartDrawsOncePerTickRereadsTheTipAndStopEndsTheDraws)
{
    Click(dialog, IDC_START);
    ASSERT_TRUE(DrawsGoOn(dialog, 20));

    // A tip typed while the draws run counts only from the next Start.
    const Tip before = StoredTip();
    const char* typed[] = {"4", "8", "15", "16", "23", "42"};
    for (int i = 0; i < kNumbersPerTip; ++i)
        TypeInto(dialog, IDC_TIP_FIRST + i, typed[i]);
    ASSERT_TRUE(DrawsGoOn(dialog, 5));
    EXPECT_EQ(StoredTip(), before);

    Click(dialog, IDC_START);
    EXPECT_EQ(StoredTip(), (Tip{4, 8, 15, 16, 23, 42}));
    ASSERT_TRUE(DrawsGoOn(dialog, 20));

    // Start twice keeps the one timer 1: every tick is one game, no more and no fewer.
    Click(dialog, IDC_STOP);
    EXPECT_EQ(Played(dialog), static_cast<unsigned long long>(timerLog.TicksFor(dialog)));
    EXPECT_EQ(timerLog.ids, std::set<UINT_PTR>{TIMER_ID});
    ExpectDrawsStopped(dialog);
}

TEST_F(MainDialogTest, ResetClearsTheCountersAndTheDrawsGoOnWithTheNewTip)
{
    Click(dialog, IDC_START);
    ASSERT_TRUE(PumpUntil([&] {
        for (int i = 0; i < kNumbersPerTip; ++i)
            if (FieldText(dialog, IDC_HIT_FIRST + i) != "0")
                return true;
        return false;
    })) << "no hit shown";
    const unsigned long long playedBefore = Played(dialog);

    Click(dialog, IDC_RESET);
    for (int id = IDC_HIT_FIRST; id <= IDC_GAMES_WITHOUT_PRIZE; ++id)
        EXPECT_EQ(FieldText(dialog, id), "0") << "field " << id;
    ExpectValidTip(ShownTip(dialog));
    EXPECT_EQ(ShownTip(dialog), StoredTip());

    ASSERT_TRUE(DrawsGoOn(dialog, 10));
    EXPECT_LT(Played(dialog), playedBefore + 10) << "counting did not start over";
}

TEST_F(MainDialogTest, EnterStartsTheDrawsAndEscapeDoesNothing)
{
    // A player types the tip and presses Enter: the default button Start, not OK (which is Ende).
    const HWND tipField = GetDlgItem(dialog, IDC_TIP_FIRST);
    SetFocus(tipField);
    PostMessageA(tipField, WM_KEYDOWN, VK_RETURN, 0);
    ASSERT_TRUE(PumpUntil([&] { return Played(dialog) > 0; })) << "Enter did not start the draws";

    PostMessageA(tipField, WM_KEYDOWN, VK_ESCAPE, 0);
    SendMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    EXPECT_TRUE(DrawsGoOn(dialog, 10));
    EXPECT_TRUE(IsWindowVisible(dialog));
}

TEST_F(MainDialogTest, CountersStayConsistentOverManyDraws)
{
    Click(dialog, IDC_START);
    ASSERT_TRUE(DrawsGoOn(dialog, kManyDraws));
    Click(dialog, IDC_STOP);

    unsigned long long perClass[kNumbersPerTip + 1] = {};
    for (int hits = 1; hits <= kNumbersPerTip; ++hits) {
        perClass[hits] = FieldNumber(dialog, IDC_HIT_CLASS_FIRST + hits - 1);
        EXPECT_EQ(perClass[hits], gameRecord.hitClassCount[hits]);
    }
    const unsigned long long played = Played(dialog);
    const unsigned long long withoutPrize = FieldNumber(dialog, IDC_GAMES_WITHOUT_PRIZE);
    const unsigned long long withHits = std::accumulate(perClass + 1, perClass + kNumbersPerTip + 1, 0ull);
    const unsigned long long withPrize = withHits - perClass[1] - perClass[2];

    EXPECT_EQ(played, gameRecord.gamesPlayed);
    EXPECT_GT(withHits, 0u);
    EXPECT_LE(withHits, played);
    EXPECT_EQ(withoutPrize, played - withPrize);

    // The hit row shows, under each tip number, that number or 0.
    const Tip tip = ShownTip(dialog);
    for (int j = 0; j < kNumbersPerTip; ++j) {
        const std::string hit = FieldText(dialog, IDC_HIT_FIRST + j);
        EXPECT_TRUE(hit == "0" || hit == std::to_string(tip[j])) << "hit " << hit << " under " << tip[j];
    }
}

TEST(MainDialogBox, EndeAndTheCloseBoxEndTheDialogAndStopTheDraws)
{
    for (const bool closeBox : {false, true}) {
        SCOPED_TRACE(closeBox ? "close box" : "Ende");
        ModalStep step(kMainCaption, [&] {
            const HWND dialog = FindThreadDialog(kMainCaption);
            ASSERT_NE(dialog, nullptr);
            Click(dialog, IDC_START);
            ASSERT_TRUE(DrawsGoOn(dialog, 5));
            if (closeBox)
                SendMessageA(dialog, WM_CLOSE, 0, 0);
            else
                Click(dialog, IDC_END);
            EXPECT_FALSE(IsWindowVisible(dialog));
            ExpectDrawsStopped(dialog);
        });
        EXPECT_EQ(DialogBoxParamA(nullptr, kMainDialogTemplate, nullptr, MainDialogProc, 0), 0);
        EXPECT_TRUE(step.ran());
    }
}
