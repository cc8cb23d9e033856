// The random source reproduces the generator's known sequences.
#include <gtest/gtest.h>

#include "lottery/random_source.h"

TEST(RandomSource, KnownSequencesAfterSeeding)
{
    Seed(1);
    EXPECT_EQ(Next(), 16838);
    EXPECT_EQ(Next(), 5758);
    EXPECT_EQ(Next(), 10113);

    Seed(0);
    EXPECT_EQ(Next(), 0);
    EXPECT_EQ(randomSource.seed, 12345u);
    EXPECT_EQ(Next(), 21468);
}

TEST(RandomSource, EqualSeedsGiveEqualSequencesInRange)
{
    const std::uint32_t seeds[] = {0u, 1u, 0x7FFFFFFFu, 0xFFFFFFFFu, 123456789u};
    for (std::uint32_t seed : seeds) {
        Seed(seed);
        int first[1000];
        for (int& value : first) {
            value = Next();
            ASSERT_GE(value, 0);
            ASSERT_LE(value, kRandomMax);
        }
        Seed(seed);
        for (int value : first)
            ASSERT_EQ(Next(), value) << "seed " << seed;
    }
}
