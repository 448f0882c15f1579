// Reading integers and reals from text: accepted forms, malformed text and out-of-range values.
#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "util/MyFunc.h"

TEST(TextToInt, ReadsDecimalIntegers) {
    EXPECT_EQ(TextToInt("12"), 12);
    EXPECT_EQ(TextToInt(" 12"), 12);
    EXPECT_EQ(TextToInt("+7"), 7);
    EXPECT_EQ(TextToInt("-35"), -35);
    EXPECT_EQ(TextToInt("0"), 0);
    EXPECT_EQ(TextToInt("00000000000000000012"), 12);
    EXPECT_EQ(TextToInt("2147483647"), 2147483647);
    EXPECT_EQ(TextToInt("-2147483648"), INT_MIN);
}

TEST(TextToInt, ReadsHexadecimalBitPatterns) {
    EXPECT_EQ(TextToInt("$A"), 10);
    EXPECT_EQ(TextToInt("$f"), 15);
    EXPECT_EQ(TextToInt("x1f"), 31);
    EXPECT_EQ(TextToInt("X1F"), 31);
    EXPECT_EQ(TextToInt("0X1f"), 31);
    EXPECT_EQ(TextToInt("-0x10"), -16);
    EXPECT_EQ(TextToInt("$FFFFFFFF"), -1);
    EXPECT_EQ(TextToInt("$80000000"), INT_MIN);
    EXPECT_EQ(TextToInt("-$80000000"), INT_MIN);
    EXPECT_EQ(TextToInt("-$1"), -1);
}

TEST(TextToInt, MalformedOrOutOfRangeTextReadsAsZero) {
    EXPECT_EQ(TextToInt(""), 0);
    EXPECT_EQ(TextToInt("12 "), 0);
    EXPECT_EQ(TextToInt("3.5"), 0);
    EXPECT_EQ(TextToInt("1,000"), 0);
    EXPECT_EQ(TextToInt("1e3"), 0);
    EXPECT_EQ(TextToInt("\t12"), 0);
    EXPECT_EQ(TextToInt("- 1"), 0);
    EXPECT_EQ(TextToInt("-"), 0);
    EXPECT_EQ(TextToInt("+"), 0);
    EXPECT_EQ(TextToInt("2147483648"), 0);
    EXPECT_EQ(TextToInt("-2147483649"), 0);
    EXPECT_EQ(TextToInt("99999999999999999999999"), 0);
    EXPECT_EQ(TextToInt("$"), 0);
    EXPECT_EQ(TextToInt("0x"), 0);
    EXPECT_EQ(TextToInt("$G"), 0);
    EXPECT_EQ(TextToInt("$123456789"), 0);
    EXPECT_EQ(TextToInt("12\x82\x50"), 0);
}

TEST(TextToFloat, ReadsDecimalAndExponentForms) {
    EXPECT_EQ(TextToFloat("3.5"), 3.5);
    EXPECT_EQ(TextToFloat("1E3"), 1000.0);
    EXPECT_EQ(TextToFloat(".5"), 0.5);
    EXPECT_EQ(TextToFloat("12."), 12.0);
    EXPECT_EQ(TextToFloat("  -2.5e-3"), -0.0025);
    EXPECT_EQ(TextToFloat("+1e+2"), 100.0);
    EXPECT_EQ(TextToFloat("1e+06"), 1000000.0);
    EXPECT_EQ(TextToFloat("0"), 0.0);
    EXPECT_EQ(TextToFloat("-40496.8595011236"), -40496.8595011236);
    EXPECT_EQ(TextToFloat("34262.8515141222"), 34262.8515141222);
    EXPECT_EQ(TextToFloat("0.1"), 0.1);
    EXPECT_EQ(TextToFloat("1.7976931348623157e308"), 1.7976931348623157e308);
}

TEST(TextToFloat, MalformedTextReadsAsZero) {
    EXPECT_EQ(TextToFloat(""), 0.0);
    EXPECT_EQ(TextToFloat("1,000"), 0.0);
    EXPECT_EQ(TextToFloat("3.5 "), 0.0);
    EXPECT_EQ(TextToFloat("-"), 0.0);
    EXPECT_EQ(TextToFloat("."), 0.0);
    EXPECT_EQ(TextToFloat("e5"), 0.0);
    EXPECT_EQ(TextToFloat("1e"), 0.0);
    EXPECT_EQ(TextToFloat("1e+"), 0.0);
    EXPECT_EQ(TextToFloat("1.5.2"), 0.0);
    EXPECT_EQ(TextToFloat("3,5"), 0.0);
    EXPECT_EQ(TextToFloat("\t3"), 0.0);
    EXPECT_EQ(TextToFloat("inf"), 0.0);
    EXPECT_EQ(TextToFloat("nan"), 0.0);
    EXPECT_EQ(TextToFloat("0x10"), 0.0);
}

// An infinite coordinate would reach the host as text it cannot read, so it reads as 0.
TEST(TextToFloat, ValuesBeyondAFiniteDoubleReadAsZero) {
    EXPECT_EQ(TextToFloat("1e999"), 0.0);
    EXPECT_EQ(TextToFloat("-1e999"), 0.0);
    EXPECT_EQ(TextToFloat("1.8e308"), 0.0);
    EXPECT_EQ(TextToFloat("1e99999999999"), 0.0);
    EXPECT_EQ(TextToFloat("1e-99999999999"), 0.0);
    EXPECT_EQ(TextToFloat("0e99999999999"), 0.0);
    EXPECT_EQ(TextToFloat(std::string(6000, '9')), 0.0);
}

TEST(TextToFloat, LongDigitStringsStayExact) {
    EXPECT_EQ(TextToFloat(std::string("1").append(5000, '0').append("e-5000")), 1.0);
    EXPECT_EQ(TextToFloat(std::string("0.").append(400, '0').append("1e401")), 1.0);
    EXPECT_EQ(TextToFloat(std::string(100000, '0') + "2.5"), 2.5);
    EXPECT_EQ(TextToFloat(std::string("2.5").append(100000, '0')), 2.5);
}

TEST(TextToFloat, ScalesByExactPowersOfTen) {
    // Digits times an exact power of ten, rounded once to a double.
    EXPECT_EQ(TextToFloat("1E0"), 1.0);
    EXPECT_EQ(TextToFloat("25E-2"), 0.25);
    EXPECT_EQ(TextToFloat("7E19"), 7e19);
    EXPECT_EQ(TextToFloat("3E22"), 3e22);
    EXPECT_EQ(TextToFloat("123456789E10"), 1.23456789e18);
    EXPECT_EQ(TextToFloat("1E27"), 1e27);
    EXPECT_EQ(TextToFloat("1.5E27"), 1.5e27);
    EXPECT_EQ(TextToFloat("-0.0625E2"), -6.25);
}
