// Rounding the dimension value in the three modes of the dialog.
#include <gtest/gtest.h>

#include <limits>

#include "util/MyFunc.h"

TEST(RoundByMode, TruncatesTowardZero) {
    EXPECT_EQ(RoundByMode(0, 0, 2.99), 2.0);
    EXPECT_EQ(RoundByMode(0, 0, -2.99), -2.0);
    EXPECT_EQ(RoundByMode(1, 0, 2.99), 2.9);
    EXPECT_EQ(RoundByMode(2, 0, 1234.5678), 1234.56);
}

TEST(RoundByMode, RoundUpDropsRemaindersOfATenthOfAUnit) {
    EXPECT_EQ(RoundByMode(1, 1, 1.03), 1.1);
    EXPECT_EQ(RoundByMode(1, 1, 1.005), 1.0);
    EXPECT_EQ(RoundByMode(1, 1, -1.03), -1.1);
    EXPECT_EQ(RoundByMode(0, 1, 2.1), 3.0);
    EXPECT_EQ(RoundByMode(0, 1, 2.09), 2.0);
    EXPECT_EQ(RoundByMode(0, 1, 2.0), 2.0);
}

TEST(RoundByMode, RoundsHalvesAwayFromZero) {
    EXPECT_EQ(RoundByMode(1, 2, 2.25), 2.3);
    EXPECT_EQ(RoundByMode(1, 2, -2.25), -2.3);
    EXPECT_EQ(RoundByMode(0, 2, 2.5), 3.0);
    EXPECT_EQ(RoundByMode(0, 2, 2.49), 2.0);
    EXPECT_EQ(RoundByMode(2, 5, 1.234), 1.23);
    EXPECT_EQ(RoundByMode(2, -1, 1.235), 1.24);
}

TEST(RoundByMode, IndexOutsideZeroToThirteenRoundsToWholeUnits) {
    EXPECT_EQ(RoundByMode(20, 2, 2.5), 3.0);
    EXPECT_EQ(RoundByMode(-1, 2, 2.5), 3.0);
    EXPECT_EQ(RoundByMode(14, 0, 2.5), 2.0);
    EXPECT_EQ(RoundByMode(13, 0, 2.5), 2.5);
}

TEST(RoundByMode, NonFiniteValuesGiveZero) {
    EXPECT_EQ(RoundByMode(1, 2, std::numeric_limits<double>::quiet_NaN()), 0.0);
    EXPECT_EQ(RoundByMode(1, 2, std::numeric_limits<double>::infinity()), 0.0);
}
