// Long runs: counters and money carried across 2^31, 2^32 and up to the 64-bit limits, shown exactly.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>

#include "fake_dialog.h"
#include "lottery/game_record.h"
#include "lottery/random_source.h"
#include "losses/money.h"
#include "platform/decimal_text.h"
#include "resources/resource.h"

namespace {

constexpr std::uint64_t kTwoToThe31 = std::uint64_t{1} << 31;
constexpr std::uint64_t kTwoToThe32 = std::uint64_t{1} << 32;
constexpr std::uint64_t kLargestCount = std::numeric_limits<std::uint64_t>::max();
// A price as typed into its DM and Pf fields.
struct TypedPrice {
    std::uint32_t marks;
    std::uint32_t pfennig;
};
// The largest price the two fields can hold.
constexpr TypedPrice kLargestPrice = {4294967295u, 4294967295u};
constexpr int kResultRows = 3;

// Sets a counter state as a long run would leave it: the classes given, the rest hitless.
std::uint64_t SetRun(std::uint64_t gamesPlayed, const std::uint64_t (&classes)[kNumbersPerTip + 1])
{
    std::uint64_t hitless = gamesPlayed;
    for (int hits = 1; hits <= kNumbersPerTip; ++hits) {
        gameRecord.hitClassCount[hits] = classes[hits];
        hitless -= classes[hits];
    }
    gameRecord.gamesPlayed = gamesPlayed;
    gameRecord.gamesWithoutPrize = hitless + classes[1] + classes[2];
    return hitless;
}

bool DrawHadNoHit()
{
    for (int hit : gameRecord.hits)
        if (hit != 0)
            return false;
    return true;
}

// The DM and Pf texts of an amount worked out from its magnitude, each negative part signed.
std::pair<std::string, std::string> AmountTexts(std::int64_t amount)
{
    const std::uint64_t magnitude =
        amount < 0 ? 0 - static_cast<std::uint64_t>(amount) : static_cast<std::uint64_t>(amount);
    const std::uint64_t marks = magnitude / kPfennigPerMark;
    const std::uint64_t pfennig = magnitude % kPfennigPerMark;
    return {(amount < 0 && marks != 0 ? "-" : "") + std::to_string(marks),
            (amount < 0 && pfennig != 0 ? "-" : "") + std::to_string(pfennig)};
}

std::int64_t ExactOrLargest(__int128 exact)
{
    return exact > kLargestAmount ? kLargestAmount : static_cast<std::int64_t>(exact);
}

__int128 InPfennig(TypedPrice price)
{
    return static_cast<__int128>(price.marks) * kPfennigPerMark + price.pfennig;
}

void TypePrice(FakeDialog& dialog, PriceRow row, TypedPrice price)
{
    dialog.type(IDC_PRICE_DM_FIRST + row, std::to_string(price.marks));
    dialog.type(IDC_PRICE_PF_FIRST + row, std::to_string(price.pfennig));
}

} // namespace

TEST(LongRun, DecimalTextIsExactAtEveryWidth)
{
    const std::uint64_t counts[] = {0, kTwoToThe31 - 1, kTwoToThe31, kTwoToThe32 - 1, kTwoToThe32,
                                    (std::uint64_t{1} << 53) + 1, kLargestCount - 1, kLargestCount};
    for (std::uint64_t count : counts)
        EXPECT_EQ(UnsignedDecimal(count).text, std::to_string(count));

    constexpr auto kSmallest = std::numeric_limits<std::int64_t>::min();
    constexpr auto kLargest = std::numeric_limits<std::int64_t>::max();
    const std::int64_t values[] = {0, -1, -(std::int64_t{1} << 31), std::int64_t{1} << 31, -(std::int64_t{1} << 32),
                                   kLargest, kSmallest + 1, kSmallest};
    for (std::int64_t value : values)
        EXPECT_EQ(SignedDecimal(value).text, std::to_string(value));
}

// Draws carry the counters across 2^31 and 2^32, and the last run ends exactly at 2^64 − 1;
// after each draw the counters agree with each other, and at the end each field shows its counter.
TEST(LongRun, DrawsCarryTheCountersAcrossEachWidth)
{
    constexpr std::uint64_t kDraws = 20000;
    struct Run {
        std::uint64_t gamesPlayed;
        std::uint64_t classes[kNumbersPerTip + 1];
    };
    // About 41 % of draws have one hit, 13 % two and 1.8 % three, so each run passes the
    // boundaries it starts a few hundred to a few thousand draws short of.
    const Run runs[] = {
        {kTwoToThe31 - kDraws / 2, {0, kTwoToThe31 / 3, kTwoToThe31 / 10, 5, 0, 0, 0}},
        {kTwoToThe32 - kDraws / 2, {0, kTwoToThe31 - 4000, kTwoToThe31 / 2, kTwoToThe31 / 8, 0, 0, 0}},
        {kLargestCount - kDraws, {0, kTwoToThe32 - 4000, kTwoToThe32 - 1200, kTwoToThe31 - 150, 9, 1, 0}},
    };
    FakeDialog dialog;
    dialog.recordEvents = false;
    Seed(20261207u);
    NewRandomTip(dialog.handle());

    for (const Run& run : runs) {
        std::uint64_t hitless = SetRun(run.gamesPlayed, run.classes);
        for (std::uint64_t draw = 0; draw < kDraws; ++draw) {
            RunOneDraw(dialog.handle());
            hitless += DrawHadNoHit();
            std::uint64_t classified = hitless;
            for (int hits = 1; hits <= kNumbersPerTip; ++hits)
                classified += gameRecord.hitClassCount[hits];
            ASSERT_EQ(classified, gameRecord.gamesPlayed) << "draw " << draw;
            ASSERT_EQ(gameRecord.gamesWithoutPrize,
                      hitless + gameRecord.hitClassCount[1] + gameRecord.hitClassCount[2]);
        }
        EXPECT_EQ(gameRecord.gamesPlayed, run.gamesPlayed + kDraws);
        EXPECT_EQ(dialog.text(IDC_GAMES_PLAYED), std::to_string(run.gamesPlayed + kDraws));
        EXPECT_EQ(dialog.text(IDC_GAMES_WITHOUT_PRIZE), std::to_string(gameRecord.gamesWithoutPrize));
        for (int hits = 1; hits <= kLeastWinningHits; ++hits) {
            EXPECT_GT(gameRecord.hitClassCount[hits], run.classes[hits] + 150) << hits << " hits";
            EXPECT_EQ(dialog.text(IDC_HIT_CLASS_FIRST + hits - 1), std::to_string(gameRecord.hitClassCount[hits]));
        }
    }
    EXPECT_EQ(dialog.text(IDC_GAMES_PLAYED), "18446744073709551615");
    EXPECT_GT(gameRecord.hitClassCount[1], kTwoToThe32);
    EXPECT_GT(gameRecord.hitClassCount[2], kTwoToThe32);
    EXPECT_GT(gameRecord.hitClassCount[3], kTwoToThe31);
}

// As in Auto mode, an evaluation after every draw: costs and winnings pass 2^31 and 2^32
// Pfennig and then the largest amount, and every result is exact to the Pfennig until it stops
// at the largest amount.
TEST(LongRun, EvaluationAfterEveryDrawStaysExactOrStopsAtTheLargestAmount)
{
    struct Run {
        std::uint64_t gamesPlayed;
        std::uint64_t dreier;
        TypedPrice stake;
        TypedPrice prize3;
    };
    constexpr std::uint64_t kDraws = 3000;
    constexpr TypedPrice kDefaultStake = {5, 50};
    constexpr std::uint64_t kDefaultStakeInPfennig = 550;
    constexpr TypedPrice kDefaultPrize3 = {7, 50};
    constexpr TypedPrice kNoPrize = {0, 0};
    // 21262215 games at the largest price fit; one more does not.
    const auto kGamesToTheLargestCosts = static_cast<std::uint64_t>(kLargestAmount / InPfennig(kLargestPrice));
    const Run runs[] = {
        // Costs of 5.50 DM a game pass 2^31 and then 2^32 Pfennig.
        {kTwoToThe31 / kDefaultStakeInPfennig - kDraws / 2, 0, kDefaultStake, kDefaultPrize3},
        {kTwoToThe32 / kDefaultStakeInPfennig - kDraws / 2, 0, kDefaultStake, kDefaultPrize3},
        // At the largest prices the costs reach the largest amount and stay there; then the
        // winnings do too, and the total of the two shows 0.
        {kGamesToTheLargestCosts - kDraws / 2, 0, kLargestPrice, kNoPrize},
        {kGamesToTheLargestCosts * 3, kGamesToTheLargestCosts - 20, kLargestPrice, kLargestPrice},
    };

    // The two dialogs number their fields independently, so each has its own.
    FakeDialog mainDialog;
    FakeDialog lossDialog;
    mainDialog.recordEvents = false;
    lossDialog.recordEvents = false;
    Seed(4711u);
    NewRandomTip(mainDialog.handle());
    SetDefaultPrices(lossDialog.handle());
    for (const Run& run : runs) {
        const std::uint64_t classes[kNumbersPerTip + 1] = {0, 0, 0, run.dreier, 0, 0, 0};
        SetRun(run.gamesPlayed, classes);
        const TypedPrice prizes[] = {run.prize3, {100, 0}, {5000, 0}, {500000, 0}};
        TypePrice(lossDialog, STAKE, run.stake);
        for (int row = PRIZE_3; row < PRICE_ROWS; ++row)
            TypePrice(lossDialog, static_cast<PriceRow>(row), prizes[row - PRIZE_3]);
        bool costsSaturated = false;
        for (std::uint64_t draw = 0; draw < kDraws; ++draw) {
            RunOneDraw(mainDialog.handle());
            EvaluateLosses(lossDialog.handle());

            __int128 winnings = 0;
            for (int hits = kLeastWinningHits; hits <= kNumbersPerTip; ++hits)
                winnings += InPfennig(prizes[hits - kLeastWinningHits]) * gameRecord.hitClassCount[hits];
            const std::int64_t shownCosts = ExactOrLargest(InPfennig(run.stake) * gameRecord.gamesPlayed);
            const std::int64_t shownWinnings = ExactOrLargest(winnings);
            const std::int64_t expected[kResultRows] = {shownCosts, shownWinnings, shownWinnings - shownCosts};
            for (int row = 0; row < kResultRows; ++row) {
                const auto texts = AmountTexts(expected[row]);
                const std::string where = "row " + std::to_string(row) + ", draw " + std::to_string(draw);
                ASSERT_EQ(lossDialog.text(IDC_RESULT_DM_FIRST + row), texts.first) << where;
                ASSERT_EQ(lossDialog.text(IDC_RESULT_PF_FIRST + row), texts.second) << where;
            }
            costsSaturated = costsSaturated || shownCosts == kLargestAmount;
        }
        EXPECT_EQ(costsSaturated, run.stake.marks == kLargestPrice.marks);
    }
    EXPECT_EQ(lossDialog.text(IDC_RESULT_DM_FIRST + 1), "92233720368547758");
    EXPECT_EQ(lossDialog.text(IDC_RESULT_PF_FIRST + 1), "7");
    EXPECT_EQ(lossDialog.text(IDC_RESULT_DM_FIRST + 2), "0");
    EXPECT_EQ(lossDialog.text(IDC_RESULT_PF_FIRST + 2), "0");
}
