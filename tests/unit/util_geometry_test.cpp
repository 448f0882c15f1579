// Plane geometry helpers and the drawn width of Shift-JIS text.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "util/MyFunc.h"

TEST(PointDistance, MeasuresStraightDistance) {
    EXPECT_EQ(PointDistance(0, 0, 3, 4), 5.0);
    EXPECT_EQ(PointDistance(-1, -2, 2, 2), 5.0);
    EXPECT_EQ(PointDistance(1, 1, 1, 1), 0.0);
    EXPECT_EQ(PointDistance(1e200, 0, -1e200, 0), 2e200);
}

TEST(VectorAngleDeg, GivesDirectionsCounterClockwiseFromX) {
    EXPECT_EQ(VectorAngleDeg(1, 0), 0.0);
    EXPECT_EQ(VectorAngleDeg(1, 1), 45.0);
    EXPECT_EQ(VectorAngleDeg(0, 1), 90.0);
    EXPECT_EQ(VectorAngleDeg(-1, 0), 180.0);
    EXPECT_EQ(VectorAngleDeg(-1, -1), 225.0);
    EXPECT_EQ(VectorAngleDeg(0, -1), 270.0);
    EXPECT_EQ(VectorAngleDeg(1, -1), 315.0);
    EXPECT_EQ(VectorAngleDeg(1e-11, -1e-11), 0.0);
    EXPECT_EQ(VectorAngleDeg(0, 0), 0.0);
}

TEST(VectorAngleDeg, AnAngleAHairBelowAFullTurnComesOutAs360) {
    EXPECT_EQ(VectorAngleRad(1, -1e-20), 6.283185307179586);
    EXPECT_EQ(VectorAngleDeg(1, -1e-20), 360.0);
    EXPECT_EQ(VectorAngleRad(-1, 0), 3.141592653589793);
    EXPECT_EQ(VectorAngleRad(1e-11, 1e-11), 0.0);
}

TEST(NormalizeDegrees, BringsAnglesIntoOneTurn) {
    EXPECT_EQ(NormalizeDegrees(-30), 330.0);
    EXPECT_EQ(NormalizeDegrees(725), 5.0);
    EXPECT_EQ(NormalizeDegrees(-360), 0.0);
    EXPECT_EQ(NormalizeDegrees(360), 0.0);
    EXPECT_EQ(NormalizeDegrees(540), 180.0);
    EXPECT_EQ(NormalizeDegrees(0), 0.0);
    EXPECT_EQ(NormalizeDegrees(-720.5), 359.5);
    EXPECT_EQ(NormalizeDegrees(1e20), 280.0);
}

TEST(NormalizeDegrees, SnapsAnglesWithinToleranceOfAFullTurnToZero) {
    EXPECT_EQ(NormalizeDegrees(359.99999999995), 0.0);
    EXPECT_EQ(NormalizeDegrees(0.00000000001), 0.0);
    EXPECT_EQ(NormalizeDegrees(-0.00000000001), 0.0);
    EXPECT_FALSE(std::signbit(NormalizeDegrees(-0.00000000001)));
    EXPECT_EQ(NormalizeDegrees(std::numeric_limits<double>::quiet_NaN()), 0.0);
    EXPECT_EQ(NormalizeDegrees(std::numeric_limits<double>::infinity()), 0.0);
}

TEST(RotatePointDeg, TurnsAboutTheCentre) {
    double x = 0, y = 0;
    RotatePointDeg(2, 1, 1, 1, 90, x, y);
    EXPECT_EQ(x, 1.0);
    EXPECT_EQ(y, 2.0);
    RotatePointDeg(3, 4, 1, 1, 0, x, y);
    EXPECT_EQ(x, 3.0);
    EXPECT_EQ(y, 4.0);
    // cos of the double nearest 90 degrees is not 0; the residue survives where it exceeds half an ulp.
    RotatePointDeg(5, 1, 1, 1, -90, x, y);
    EXPECT_NEAR(x, 1.0, 1e-15);
    EXPECT_EQ(y, -3.0);
    RotatePointDeg(1, 0, 0, 0, 180, x, y);
    EXPECT_EQ(x, -1.0);
    EXPECT_NEAR(y, 0.0, 1e-15);
    RotatePointDeg(10, 0, 0, 0, 30, x, y);
    EXPECT_NEAR(x, 8.660254037844386, 1e-14);
    EXPECT_NEAR(y, 5.0, 1e-14);
}

TEST(RoundToEpsilon, RoundsToMultiplesOfOneTenBillionth) {
    EXPECT_EQ(RoundToEpsilon(0.12345678901234), 0.1234567890);
    EXPECT_EQ(RoundToEpsilon(-2.00000000007), -2.0000000001);
    EXPECT_EQ(RoundToEpsilon(0.4e-10), 0.0);
    EXPECT_EQ(RoundToEpsilon(-0.4e-10), 0.0);
    EXPECT_EQ(RoundToEpsilon(359.99999999999994), 360.0);
    EXPECT_EQ(RoundToEpsilon(45.0), 45.0);
}

TEST(SjisTextWidth, AddsCharacterWidthsAndSpacingBetweenCharacters) {
    EXPECT_EQ(SjisTextWidth("\x31\x82\xA0\x32", 3, 1), 7.5);
    EXPECT_EQ(SjisTextWidth("1", 3, 1), 1.5);
    EXPECT_EQ(SjisTextWidth("", 3, 1), 0.0);
    EXPECT_EQ(SjisTextWidth("寸", 3, 1), 3.0);
    EXPECT_EQ(SjisTextWidth("寸法", 3, 1), 7.0);
    EXPECT_EQ(SjisTextWidth("ab", 2, 0.5), 2.25);
    EXPECT_EQ(SjisTextWidth("\t1", 3, 1), 2.0);
    EXPECT_EQ(SjisTextWidth("1\x82", 3, 1), 5.0);
    EXPECT_EQ(SjisTextWidth("\xB1\xB2", 3, 1), 3.5);
}
