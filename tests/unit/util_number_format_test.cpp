// Writing real numbers as text: the general form and the fixed and grouped decimal forms.
#include <gtest/gtest.h>

#include <limits>

#include "util/MyFunc.h"

TEST(FormatGeneral, WritesPlainTextWithAtMostFifteenDigits) {
    EXPECT_EQ(FormatGeneral(100.0), "100");
    EXPECT_EQ(FormatGeneral(0.1 + 0.2), "0.3");
    EXPECT_EQ(FormatGeneral(-2.5), "-2.5");
    EXPECT_EQ(FormatGeneral(12.5), "12.5");
    EXPECT_EQ(FormatGeneral(30000000.0), "30000000");
    EXPECT_EQ(FormatGeneral(-40496.8595011236), "-40496.8595011236");
    EXPECT_EQ(FormatGeneral(1.0 / 3.0), "0.333333333333333");
    EXPECT_EQ(FormatGeneral(2.0 / 3.0), "0.666666666666667");
    EXPECT_EQ(FormatGeneral(0.000123), "0.000123");
    EXPECT_EQ(FormatGeneral(999999999999999.0), "999999999999999");
    EXPECT_EQ(FormatGeneral(123456.789), "123456.789");
}

TEST(FormatGeneral, SwitchesToScientificOutsideTheFifteenDigitRange) {
    EXPECT_EQ(FormatGeneral(0.0001), "0.0001");
    EXPECT_EQ(FormatGeneral(0.00001), "1E-5");
    EXPECT_EQ(FormatGeneral(1e15), "1E15");
    EXPECT_EQ(FormatGeneral(1.5e20), "1.5E20");
    EXPECT_EQ(FormatGeneral(-1.5e-7), "-1.5E-7");
    EXPECT_EQ(FormatGeneral(1e100), "1E100");
    EXPECT_EQ(FormatGeneral(1e-300), "1E-300");
    EXPECT_EQ(FormatGeneral(123456789012345678.0), "1.23456789012346E17");
    EXPECT_EQ(FormatGeneral(5e-324), "4.94065645841247E-324");
}

TEST(FormatGeneral, DecidesTheFormAfterRounding) {
    EXPECT_EQ(FormatGeneral(999999999999999.9), "1E15");
    EXPECT_EQ(FormatGeneral(-999999999999999.9), "-1E15");
    EXPECT_EQ(FormatGeneral(0.00009999999999999999), "0.0001");
    EXPECT_EQ(FormatGeneral(9.9999999999999999), "10");
}

TEST(FormatGeneral, ZeroAndNonFiniteValuesGiveZero) {
    EXPECT_EQ(FormatGeneral(0.0), "0");
    EXPECT_EQ(FormatGeneral(-0.0), "0");
    EXPECT_EQ(FormatGeneral(std::numeric_limits<double>::quiet_NaN()), "0");
    EXPECT_EQ(FormatGeneral(std::numeric_limits<double>::infinity()), "0");
    EXPECT_EQ(FormatGeneral(-std::numeric_limits<double>::infinity()), "0");
}

TEST(FormatFixed, WritesExactlyNDecimalsRoundingHalvesAwayFromZero) {
    EXPECT_EQ(FormatFixed(0, 2.5), "3");
    EXPECT_EQ(FormatFixed(0, -2.5), "-3");
    EXPECT_EQ(FormatFixed(3, 3.0), "3.000");
    EXPECT_EQ(FormatFixed(1, 2.25), "2.3");
    EXPECT_EQ(FormatFixed(2, 0.125), "0.13");
    EXPECT_EQ(FormatFixed(2, 1.005), "1.00");
    EXPECT_EQ(FormatFixed(0, 0.5), "1");
    EXPECT_EQ(FormatFixed(0, 0.49999999999999994), "0");
    EXPECT_EQ(FormatFixed(1, 9.96), "10.0");
    EXPECT_EQ(FormatFixed(3, 0.0), "0.000");
    EXPECT_EQ(FormatFixed(0, 0.0), "0");
    EXPECT_EQ(FormatFixed(4, 0.00005), "0.0001");
    EXPECT_EQ(FormatFixed(8, 1234.5), "1234.50000000");
    EXPECT_EQ(FormatFixed(2, 1234567.891), "1234567.89");
}

TEST(FormatFixed, KeepsEighteenSignificantDigitsOfLargeValues) {
    EXPECT_EQ(FormatFixed(8, 999999999999999.9), "999999999999999.87500000");
    EXPECT_EQ(FormatFixed(2, 999999999999999.9), "999999999999999.88");
    EXPECT_EQ(FormatFixed(0, 999999999999999.9), "1000000000000000");
    EXPECT_EQ(FormatFixed(3, 1e15), "1000000000000000.000");
    EXPECT_EQ(FormatFixed(0, 1e20), "100000000000000000000");
}

TEST(FormatFixed, ZeroResultsAndOddArgumentsStaySafe) {
    EXPECT_EQ(FormatFixed(2, -0.001), "0.00");
    EXPECT_EQ(FormatFixed(0, -0.0), "0");
    EXPECT_EQ(FormatFixed(2, std::numeric_limits<double>::quiet_NaN()), "0.00");
    EXPECT_EQ(FormatFixed(1, std::numeric_limits<double>::infinity()), "0.0");
    EXPECT_EQ(FormatFixed(-1, 2.5), "3");
    EXPECT_EQ(FormatFixed(30, 0.5), "0.500000000000000000");
}

TEST(FormatGrouped, SeparatesThousandsWithCommas) {
    EXPECT_EQ(FormatGrouped(0, 1234567.0), "1,234,567");
    EXPECT_EQ(FormatGrouped(2, 999.999), "1,000.00");
    EXPECT_EQ(FormatGrouped(2, 1234567.891), "1,234,567.89");
    EXPECT_EQ(FormatGrouped(0, 999.0), "999");
    EXPECT_EQ(FormatGrouped(0, 1000.0), "1,000");
    EXPECT_EQ(FormatGrouped(1, -1234.56), "-1,234.6");
    EXPECT_EQ(FormatGrouped(0, 0.4), "0");
    EXPECT_EQ(FormatGrouped(3, 123456.0), "123,456.000");
    EXPECT_EQ(FormatGrouped(0, 999999.5), "1,000,000");
    EXPECT_EQ(FormatGrouped(2, 12.345), "12.35");
}
