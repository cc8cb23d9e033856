// Money in whole Pfennig: reading prices, showing amounts with their signs, evaluating, saturating.
#include <gtest/gtest.h>

#include <string>

#include "fake_dialog.h"
#include "lottery/game_record.h"
#include "losses/money.h"
#include "resources/resource.h"

namespace {

class Money : public ::testing::Test {
protected:
    void SetUp() override
    {
        gameRecord = GameRecord{};
        SetDefaultPrices(dialog.handle());
        dialog.clearEvents();
    }

    void TypePrice(PriceRow row, const std::string& marks, const std::string& pfennig)
    {
        dialog.type(IDC_PRICE_DM_FIRST + row, marks);
        dialog.type(IDC_PRICE_PF_FIRST + row, pfennig);
    }

    // DM and Pf text of a result row: 0 costs, 1 winnings, 2 total.
    std::pair<std::string, std::string> Result(int row) const
    {
        return {dialog.text(IDC_RESULT_DM_FIRST + row), dialog.text(IDC_RESULT_PF_FIRST + row)};
    }

    using Shown = std::pair<std::string, std::string>;
    FakeDialog dialog;
};

} // namespace

TEST_F(Money, DefaultsAreShownRowByRowDmBeforePf)
{
    FakeDialog fresh;
    SetDefaultPrices(fresh.handle());
    EXPECT_EQ(fresh.writtenFields(), (std::vector<int>{102, 107, 103, 108, 104, 109, 105, 110, 106, 111}));
    const char* expected[] = {"5", "50", "7", "50", "100", "0", "5000", "0", "500000", "0"};
    for (std::size_t i = 0; i < fresh.events.size(); ++i)
        EXPECT_EQ(fresh.events[i].text, expected[i]);
    EXPECT_EQ(priceTable.amount[STAKE], 550);
    EXPECT_EQ(priceTable.amount[PRIZE_6], 50000000);
}

TEST_F(Money, DefaultsWithAHundredGamesAndOneDreier)
{
    gameRecord.gamesPlayed = 100;
    gameRecord.hitClassCount[3] = 1;
    EvaluateLosses(dialog.handle());
    EXPECT_EQ(Result(0), (Shown{"550", "0"}));
    EXPECT_EQ(Result(1), (Shown{"7", "50"}));
    EXPECT_EQ(Result(2), (Shown{"-542", "-50"}));
    // Costs, then winnings, then total, DM before Pf.
    EXPECT_EQ(dialog.writtenFields(), (std::vector<int>{112, 115, 113, 116, 114, 117}));
}

TEST_F(Money, NoGamesShowZeroEverywhere)
{
    EvaluateLosses(dialog.handle());
    for (int row = 0; row < 3; ++row)
        EXPECT_EQ(Result(row), (Shown{"0", "0"}));
}

TEST_F(Money, EveryPfennigOfOneGameShowsItself)
{
    gameRecord.gamesPlayed = 1;
    for (int pf = 0; pf <= 99; ++pf) {
        TypePrice(STAKE, "0", std::to_string(pf));
        EvaluateLosses(dialog.handle());
        EXPECT_EQ(Result(0), (Shown{"0", std::to_string(pf)}));
        EXPECT_EQ(Result(2), (Shown{"0", pf == 0 ? "0" : "-" + std::to_string(pf)}));
    }
}

TEST_F(Money, PfennigOverNinetyNineCarryAndEmptyFieldsCountAsZero)
{
    gameRecord.gamesPlayed = 1;
    TypePrice(STAKE, "1", "150");
    EvaluateLosses(dialog.handle());
    EXPECT_EQ(Result(0), (Shown{"2", "50"}));

    TypePrice(STAKE, "3", "");
    EvaluateLosses(dialog.handle());
    EXPECT_EQ(Result(0), (Shown{"3", "0"}));

    TypePrice(STAKE, "", "");
    EvaluateLosses(dialog.handle());
    EXPECT_EQ(Result(0), (Shown{"0", "0"}));
    EXPECT_EQ(priceTable.amount[STAKE], 0);

    TypePrice(STAKE, "", "99999");
    EvaluateLosses(dialog.handle());
    EXPECT_EQ(Result(0), (Shown{"999", "99"}));
}

TEST_F(Money, DmValuesAtAndAboveTwoToTheThirtyOneCountInFull)
{
    gameRecord.gamesPlayed = 1;
    TypePrice(STAKE, "2147483648", "1");
    EvaluateLosses(dialog.handle());
    EXPECT_EQ(Result(0), (Shown{"2147483648", "1"}));
    EXPECT_EQ(Result(2), (Shown{"-2147483648", "-1"}));

    TypePrice(STAKE, "4294967295", "99");
    EvaluateLosses(dialog.handle());
    EXPECT_EQ(Result(0), (Shown{"4294967295", "99"}));
    EXPECT_EQ(priceTable.amount[STAKE], 429496729599);
}

TEST_F(Money, TotalsBetweenMinusOneAndZeroShowDmZeroUnsigned)
{
    gameRecord.gamesPlayed = 1;
    TypePrice(STAKE, "0", "25");
    EvaluateLosses(dialog.handle());
    EXPECT_EQ(Result(2), (Shown{"0", "-25"}));

    gameRecord.gamesPlayed = 3;
    gameRecord.hitClassCount[3] = 1;
    TypePrice(STAKE, "2", "50");
    TypePrice(PRIZE_3, "7", "49");
    EvaluateLosses(dialog.handle());
    EXPECT_EQ(Result(2), (Shown{"0", "-1"}));
}

TEST_F(Money, WinningsAddEveryPrizeClass)
{
    gameRecord.gamesPlayed = 1000;
    gameRecord.hitClassCount[1] = 400;
    gameRecord.hitClassCount[2] = 100;
    gameRecord.hitClassCount[3] = 20;
    gameRecord.hitClassCount[4] = 3;
    gameRecord.hitClassCount[5] = 2;
    gameRecord.hitClassCount[6] = 1;
    EvaluateLosses(dialog.handle());
    // 20 × 7.50 + 3 × 100 + 2 × 5000 + 500000 = 510450 DM; costs 5500 DM.
    EXPECT_EQ(Result(0), (Shown{"5500", "0"}));
    EXPECT_EQ(Result(1), (Shown{"510450", "0"}));
    EXPECT_EQ(Result(2), (Shown{"504950", "0"}));
}

TEST_F(Money, CostsPastThirtyTwoBitsOfPfennigAreExact)
{
    gameRecord.gamesPlayed = 3904516;
    EvaluateLosses(dialog.handle());
    EXPECT_EQ(Result(0), (Shown{"21474838", "0"}));

    gameRecord.gamesPlayed = 400000000;
    gameRecord.hitClassCount[3] = 7059322;
    EvaluateLosses(dialog.handle());
    EXPECT_EQ(Result(0), (Shown{"2200000000", "0"}));
    EXPECT_EQ(Result(1), (Shown{"52944915", "0"}));
    EXPECT_EQ(Result(2), (Shown{"-2147055085", "0"}));
}

// Only absurd prices and counts leave 64 bits; those amounts stop at the largest one.
TEST_F(Money, AmountsBeyondSixtyFourBitsSaturate)
{
    EXPECT_EQ(SaturatingProduct(UINT64_MAX, 1), kLargestAmount);
    EXPECT_EQ(SaturatingProduct(static_cast<std::uint64_t>(kLargestAmount), 1), kLargestAmount);
    EXPECT_EQ(SaturatingProduct(static_cast<std::uint64_t>(kLargestAmount) / 2 + 1, 2), kLargestAmount);
    EXPECT_EQ(SaturatingProduct(static_cast<std::uint64_t>(kLargestAmount) / 2, 2), kLargestAmount - 1);
    EXPECT_EQ(SaturatingProduct(UINT64_MAX, 0), 0);
    EXPECT_EQ(SaturatingSum(kLargestAmount, 1), kLargestAmount);
    EXPECT_EQ(SaturatingSum(kLargestAmount - 1, 1), kLargestAmount);

    gameRecord.gamesPlayed = UINT64_MAX;
    gameRecord.hitClassCount[6] = UINT64_MAX / 2;
    gameRecord.hitClassCount[5] = UINT64_MAX / 2;
    TypePrice(STAKE, "4294967295", "99");
    EvaluateLosses(dialog.handle());
    EXPECT_EQ(Result(0), (Shown{"92233720368547758", "7"}));
    EXPECT_EQ(Result(1), (Shown{"92233720368547758", "7"}));
    EXPECT_EQ(Result(2), (Shown{"0", "0"}));

    gameRecord.hitClassCount[5] = 0;
    gameRecord.hitClassCount[6] = 0;
    EvaluateLosses(dialog.handle());
    EXPECT_EQ(Result(2), (Shown{"-92233720368547758", "-7"}));
}
