// Coordinates of entity lines: the quick decimal path must agree with the general number reader.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>

#include "exchange/reader/token_numbers.h"

namespace {

bool SameBits(double a, double b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

} // namespace

TEST(ExchangeTokenNumbers, ReadsPlainDecimals) {
    EXPECT_EQ(TokenToReal("-40496.8595011236"), -40496.8595011236);
    EXPECT_EQ(TokenToReal("19256.2733412202"), 19256.2733412202);
    EXPECT_EQ(TokenToReal("0"), 0);
    EXPECT_EQ(TokenToReal("+5."), 5);
    EXPECT_EQ(TokenToReal(".25"), 0.25);
    EXPECT_EQ(TokenToReal("30000000"), 30000000);
    EXPECT_EQ(TokenToReal("1e+06"), 1000000);
    EXPECT_EQ(TokenToReal("1e999"), 0);
    EXPECT_EQ(TokenToReal("nan"), 0);
    EXPECT_EQ(TokenToReal("-"), 0);
    EXPECT_EQ(TokenToReal("1.2.3"), 0);
    EXPECT_EQ(TokenToReal(""), 0);
    EXPECT_TRUE(SameBits(TokenToReal("-0"), 0.0));
}

TEST(ExchangeTokenNumbers, AgreesBitForBitWithTextToFloat) {
    for (const char* text :
         {"-40496.8595011236", "0.1", "0.3", "2.675", "9007199254740993", "1234567890123456789",
          "12345678901234567890", "0.000000000000000000001", "99999999999999999.99", "-0.0000000001",
          "1.0000000000000002", "4503599627370496.5", "0.1000000000000000055511",
          "00000000000000000000000000012.5", "-.5", "7.", "12345678.87654321", "-99999999.99999999",
          "0000000012345678", "1234567890123456.789", "00000000000000000001", "0.0000000000000000001",
          // Rounded twice in extended precision, these end one unit away from
          // the double quotient.
          "690.8295344", "46256081.2700282", "65929.77592439", "0.00000982", "0.0000000000291",
          "-0.000000000242685", "0.0001061126130", "0.0245020924699618", "0.9562622016374",
          "0.0000000000009329789", "0.22894052396207"})
        EXPECT_TRUE(SameBits(TokenToReal(text), TextToFloat(text))) << text;
}

// Random plain decimals of up to sixteen digits, the point anywhere: among them are a few hundred whose
// extended quotient is rounded twice, and every one must still come out as TextToFloat has it.
TEST(ExchangeTokenNumbers, AgreesWithTextToFloatOnRandomDecimals) {
    std::mt19937_64 random(20261209);
    int differing = 0;
    for (int i = 0; i < 300000 && differing < 10; ++i) {
        std::string text = (random() & 1) ? "-" : "";
        const int count = 1 + static_cast<int>(random() % 16);
        const int point = static_cast<int>(random() % static_cast<uint64_t>(count + 1));
        for (int d = 0; d < count; ++d) {
            if (d == point) text += '.';
            text += static_cast<char>('0' + random() % 10);
        }
        if (!SameBits(TokenToReal(text), TextToFloat(text))) {
            ++differing;
            ADD_FAILURE() << text;
        }
    }
}

TEST(ExchangeTokenNumbers, ReadsDigitsEightAtATime) {
    EXPECT_EQ(TokenToReal("12345678"), 12345678);
    EXPECT_EQ(TokenToReal("1234567812345678"), 1234567812345678);
    EXPECT_EQ(TokenToReal("12345678.25"), 12345678.25);
    EXPECT_EQ(TokenToReal("9999999999999999999"), 1e19);
    EXPECT_EQ(TokenToReal("00000000000000000001"), 1);
    EXPECT_EQ(TokenToReal("87654321.5"), 87654321.5);
    // A group of eight with one byte that is no digit: the whole token is malformed.
    EXPECT_EQ(TokenToReal("1234567:"), 0);
    EXPECT_EQ(TokenToReal("1234567/"), 0);
    EXPECT_EQ(TokenToReal("1234567\xFA"), 0);
    EXPECT_EQ(TokenToReal("\xFA\xFA\xFA\xFA\xFA\xFA\xFA\xFA"), 0);
    EXPECT_EQ(TokenToReal("12345678 "), 0);
    EXPECT_EQ(TokenToReal("1234.5678x"), 0);
}

// Sixteen bytes are read at once where they are there: the point anywhere among them, the number
// ending inside them, right at their end, or past them, with what the host writes after it.
TEST(ExchangeTokenNumbers, ReadsSixteenBytesAtOnce) {
    const std::string digits = "9876543210123456789";
    for (size_t length = 1; length <= 19; ++length)
        for (size_t point = 0; point <= length; ++point)
            for (const char* sign : {"", "-", "+"})
                for (const char* after :
                     {"", " 1 2 3 4 5 6 7 8 9 0 1 2 3 4 5 6", "\r\n", "e+06 0 0 0 0 0 0 0 0"}) {
                    std::string number(sign);
                    number.append(digits, 0, point);
                    if (point < length) number += '.';
                    number.append(digits, point, length - point);
                    const std::string text = number + after;
                    double value = -1;
                    const char* end = ReadPlainDecimal(text.data(), text.data() + text.size(), value);
                    ASSERT_EQ(end, text.data() + number.size()) << text;
                    EXPECT_TRUE(SameBits(value, TextToFloat(number))) << text;
                }
    // Sixteen digits and a point is one byte too many for the quick read; the long way reads it.
    EXPECT_EQ(TokenToReal("1234567890123456.5"), 1234567890123456.5);
    EXPECT_EQ(TokenToReal("0.00000000000001250"), 0.0000000000000125);
    // No digit at all, with sixteen bytes to read.
    double value = -1;
    const std::string noDigits = ". 1234567890123456";
    EXPECT_EQ(ReadPlainDecimal(noDigits.data(), noDigits.data() + noDigits.size(), value), nullptr);
    const std::string zero = "-0.000000000000000 1";
    EXPECT_EQ(ReadPlainDecimal(zero.data(), zero.data() + zero.size(), value), zero.data() + 18);
    EXPECT_TRUE(SameBits(value, 0.0));
}
