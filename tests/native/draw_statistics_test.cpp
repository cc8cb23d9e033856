// A million seeded draws: the counters stay consistent and the hit classes come up as often as in 6 aus 49.
#include <gtest/gtest.h>

#include <cmath>

#include "fake_dialog.h"
#include "lottery/game_record.h"
#include "lottery/random_source.h"
#include "resources/resource.h"

namespace {

constexpr int kDraws = 1000000;
// Ways to draw 6 of 49.
constexpr double kAllDraws = 13983816.0;

double Binomial(int n, int k)
{
    double result = 1.0;
    for (int i = 1; i <= k; ++i)
        result = result * (n - k + i) / i;
    return result;
}

// The chance that a draw has exactly `hits` of the six tip numbers.
double HitProbability(int hits)
{
    return Binomial(kNumbersPerTip, hits) * Binomial(kHighestNumber - kNumbersPerTip, kNumbersPerTip - hits) / kAllDraws;
}

} // namespace

TEST(DrawStatistics, AMillionDrawsKeepTheCountersConsistentAndFair)
{
    FakeDialog dialog;
    dialog.recordEvents = false;
    Seed(20261207u);
    NewRandomTip(dialog.handle());

    std::uint64_t drawsWithoutHits = 0;
    for (int draw = 0; draw < kDraws; ++draw) {
        RunOneDraw(dialog.handle());
        bool anyHit = false;
        for (int hit : gameRecord.hits)
            anyHit = anyHit || hit != 0;
        drawsWithoutHits += !anyHit;
    }

    const std::uint64_t* classes = gameRecord.hitClassCount;
    ASSERT_EQ(gameRecord.gamesPlayed, static_cast<std::uint64_t>(kDraws));
    EXPECT_EQ(classes[1] + classes[2] + classes[3] + classes[4] + classes[5] + classes[6] + drawsWithoutHits,
              gameRecord.gamesPlayed);
    EXPECT_EQ(gameRecord.gamesWithoutPrize, drawsWithoutHits + classes[1] + classes[2]);
    for (int k = 1; k <= kNumbersPerTip; ++k)
        EXPECT_EQ(dialog.text(IDC_HIT_CLASS_FIRST + k - 1), std::to_string(classes[k]));
    EXPECT_EQ(dialog.text(IDC_GAMES_PLAYED), std::to_string(kDraws));
    EXPECT_EQ(dialog.text(IDC_GAMES_WITHOUT_PRIZE), std::to_string(gameRecord.gamesWithoutPrize));

    // 1 : 56.66 for three hits and 1 : 1032.4 for four; the generator's slight preference for
    // 1..36 stays far inside five standard errors.
    EXPECT_NEAR(1.0 / HitProbability(3), 56.66, 0.01);
    EXPECT_NEAR(1.0 / HitProbability(4), 1032.4, 0.1);
    for (int hits = 1; hits <= 4; ++hits) {
        const double expected = HitProbability(hits);
        const double observed = static_cast<double>(classes[hits]) / kDraws;
        const double standardError = std::sqrt(expected * (1.0 - expected) / kDraws);
        EXPECT_NEAR(observed, expected, 5.0 * standardError) << hits << " hits";
    }
    EXPECT_NEAR(static_cast<double>(drawsWithoutHits) / kDraws, HitProbability(0),
                5.0 * std::sqrt(HitProbability(0) * (1.0 - HitProbability(0)) / kDraws));
}
