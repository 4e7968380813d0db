#include <gtest/gtest.h>

#include "core/FixedTime.h"
#include "core/Random.h"

using namespace velmor;

namespace {

TEST(RandomBetween, FollowsTheClassicGeneratorFromState1) {
    FixedTickSource ticks(0);
    RandomGenerator random(ticks);
    // The classic C library's first values after seed 1.
    const int expected[] = {41, 18467, 6334, 26500, 19169};
    for (int value : expected) {
        EXPECT_EQ(random.RandomBetween(0, 32767), value);
    }
}

TEST(RandomBetween, Bounds) {
    FixedTickSource ticks(0);
    RandomGenerator random(ticks);
    random.SeedRandom(2024);
    for (int round = 0; round < 2000; ++round) {
        const int value = random.RandomBetween(10, 1);
        ASSERT_GE(value, 1);
        ASSERT_LE(value, 10);
        const int negative = random.RandomBetween(-50, 3);
        ASSERT_GE(negative, 0);
        ASSERT_LE(negative, 3);
        ASSERT_LE(random.RandomBetween(), 32767);  // only the lowest 32768 values occur
    }
    EXPECT_EQ(random.RandomBetween(7, 7), 7);
    EXPECT_EQ(random.RandomBetween(-3, -9), 0);
}

TEST(RandomBetween, ComputesTheRangeWithoutOverflow) {
    FixedTickSource ticks(0);
    RandomGenerator a(ticks);
    RandomGenerator b(ticks);
    // 0..2147483647 spans 2^31 values; the result is r itself.
    for (int round = 0; round < 100; ++round) {
        EXPECT_EQ(a.RandomBetween(0, 2147483647), b.RandomBetween(0, 32767));
    }
}

TEST(RandomBetween, EqualBoundsDoNotAdvanceTheGenerator) {
    FixedTickSource ticks(0);
    RandomGenerator a(ticks);
    RandomGenerator b(ticks);
    a.RandomBetween(5, 5);
    EXPECT_EQ(a.RandomBetween(0, 32767), b.RandomBetween(0, 32767));
}

TEST(SeedRandom, ExplicitSeedRestartsTheSequence) {
    FixedTickSource ticks(0);
    RandomGenerator a(ticks);
    RandomGenerator b(ticks);
    a.SeedRandom(1);
    b.RandomBetween(0, 100);
    b.SeedRandom(1);
    for (int round = 0; round < 10; ++round) {
        EXPECT_EQ(a.RandomBetween(0, 1000), b.RandomBetween(0, 1000));
    }
    // State 0: the first step gives 2531011, and 2531011 >> 16 is 38.
    a.SeedRandom(0);
    EXPECT_EQ(a.RandomBetween(0, 32767), 38);
}

TEST(SeedRandom, FromTicksAndTheRunLongCounter) {
    FixedTickSource ticks(0);
    ticks.Set(1000);
    RandomGenerator random(ticks);
    RandomGenerator reference(ticks);

    random.SeedRandom();  // state 1000, counter becomes 1000 % 256 + 100 = 332
    reference.SeedRandom(1000);
    EXPECT_EQ(random.RandomBetween(0, 32767), reference.RandomBetween(0, 32767));

    random.SeedRandom();  // state 1332, counter 332 + 1332 % 256 + 100 = 484
    reference.SeedRandom(1332);
    EXPECT_EQ(random.RandomBetween(0, 32767), reference.RandomBetween(0, 32767));

    random.SeedRandom();
    reference.SeedRandom(1484);
    EXPECT_EQ(random.RandomBetween(0, 32767), reference.RandomBetween(0, 32767));
}

TEST(SeedRandom, WrapsAroundThirtyTwoBits) {
    FixedTickSource ticks(0);
    ticks.Set(0xFFFFFFFFu);
    RandomGenerator random(ticks);
    RandomGenerator reference(ticks);
    random.SeedRandom();  // counter 0 + 255 + 100 = 355
    random.SeedRandom();  // state 0xFFFFFFFF + 355 wraps to 354
    reference.SeedRandom(354);
    EXPECT_EQ(random.RandomBetween(0, 32767), reference.RandomBetween(0, 32767));
}

}  // namespace
