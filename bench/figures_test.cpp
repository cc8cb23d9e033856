// The measurement's arithmetic: a window's rate and CPU cost, medians, counter text and goal verdicts.
#include <gtest/gtest.h>

#include "figures.h"

TEST(Figures, AWindowGivesItsRateAndCpuPerThousandDraws)
{
    const auto figures = FiguresBetween({1000, 2.0, 10.0}, {1500, 2.25, 15.0});
    ASSERT_TRUE(figures.has_value());
    EXPECT_DOUBLE_EQ(figures->drawsPerSecond, 100.0);
    EXPECT_DOUBLE_EQ(figures->cpuSecondsPer1000Draws, 0.5);
}

TEST(Figures, AWindowWithoutDrawsOrRunningBackwardsHasNoFigures)
{
    // A program that hung, was reset or restarted between the samples must not yield a rate.
    EXPECT_FALSE(FiguresBetween({500, 1.0, 10.0}, {500, 1.5, 15.0}).has_value());
    EXPECT_FALSE(FiguresBetween({500, 1.0, 10.0}, {20, 1.5, 15.0}).has_value());
    EXPECT_FALSE(FiguresBetween({500, 1.0, 10.0}, {900, 1.5, 10.0}).has_value());
    EXPECT_FALSE(FiguresBetween({500, 1.0, 10.0}, {900, 0.5, 15.0}).has_value());
}

TEST(Figures, MedianOfOddEvenUnsortedAndNoValues)
{
    EXPECT_EQ(Median({3.0, 1.0, 2.0}), 2.0);
    EXPECT_EQ(Median({4.0, 1.0, 3.0, 2.0}), 2.5);
    EXPECT_EQ(Median({7.0}), 7.0);
    EXPECT_FALSE(Median({}).has_value());
}

TEST(Figures, WindowsTimeSpansBecomeSeconds)
{
    EXPECT_DOUBLE_EQ(SecondsFrom100ns(10000000), 1.0);
    EXPECT_DOUBLE_EQ(SecondsFrom100ns(156250), 0.015625);
    // A day of CPU time keeps its last 100 ns.
    EXPECT_DOUBLE_EQ(SecondsFrom100ns(864000000001), 86400.0000001);
}

TEST(Figures, CounterTextIsDigitsOnlyAndAtMost64Bits)
{
    EXPECT_EQ(ParseCount("0"), 0u);
    EXPECT_EQ(ParseCount("4294967296"), 4294967296u);
    EXPECT_EQ(ParseCount("18446744073709551615"), UINT64_MAX);
    EXPECT_FALSE(ParseCount("18446744073709551616").has_value());
    EXPECT_FALSE(ParseCount("").has_value());
    EXPECT_FALSE(ParseCount("12a").has_value());
    EXPECT_FALSE(ParseCount("-1").has_value());
    EXPECT_FALSE(ParseCount(" 5").has_value());
}

TEST(Figures, GoalsAreMetUpToAndIncludingTheirBound)
{
    const RatioGoal atLeast = {RatioGoal::AT_LEAST, 0.98};
    const RatioGoal atMost = {RatioGoal::AT_MOST, 1.2};
    EXPECT_TRUE(Meets(0.98, atLeast));
    EXPECT_TRUE(Meets(1.3, atLeast));
    EXPECT_FALSE(Meets(0.97, atLeast));
    EXPECT_TRUE(Meets(1.2, atMost));
    EXPECT_TRUE(Meets(0.5, atMost));
    EXPECT_FALSE(Meets(1.21, atMost));
    EXPECT_EQ(GoalText(atLeast), "\u2265 0.98");
    EXPECT_EQ(GoalText(atMost), "\u2264 1.20");
}
