// Splitting exchange-file lines: separators, quotes, equals signs and Shift-JIS pairs.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "exchange/line_tokenizer.h"

namespace {

std::vector<std::string> Tokens(std::string_view line) {
    std::string scratch(line.size(), '\0');
    TLineTokens t;
    TokenizeExchangeLine(line, scratch.data(), t);
    std::vector<std::string> out;
    for (int32_t i = 0; i < t.Count; ++i) out.emplace_back(t[i]);
    return out;
}

using V = std::vector<std::string>;

} // namespace

TEST(ExchangeTokenizer, SplitsAtBlanksAndTabs) {
    EXPECT_EQ(Tokens(""), V({""}));
    EXPECT_EQ(Tokens(" \t "), V({""}));
    EXPECT_EQ(Tokens("hk 30"), V({"hk", "30"}));
    EXPECT_EQ(Tokens("  hp2   -40496.8595011236\t19256.27"), V({"hp2", "-40496.8595011236", "19256.27"}));
    EXPECT_EQ(Tokens("ci 0 0 5 "), V({"ci", "0", "0", "5", ""}));
    EXPECT_EQ(Tokens("ci 0 0 5\t\t"), V({"ci", "0", "0", "5", ""}));
}

TEST(ExchangeTokenizer, QuoteAndEqualsSignEndSplitting) {
    EXPECT_EQ(Tokens("ch 0 0 1 0 \"two words"), V({"ch", "0", "0", "1", "0", "two words"}));
    EXPECT_EQ(Tokens("ch 0 0 1 0 two words"), V({"ch", "0", "0", "1", "0", "two", "words"}));
    EXPECT_EQ(Tokens("file=C:\\work\\plan a.jww"), V({"file=C:\\work\\plan a.jww"}));
    EXPECT_EQ(Tokens("BL 1 2 \"a \"b\" =c"), V({"BL", "1", "2", "a \"b\" =c"}));
    EXPECT_EQ(Tokens("a\"b c"), V({"ab c"}));
    EXPECT_EQ(Tokens("x \"a\tb"), V({"x", "ab"}));
    EXPECT_EQ(Tokens("x \""), V({"x", ""}));
}

TEST(ExchangeTokenizer, KeepsDoubleByteCharactersWhole) {
    // 0x95 0x5C is one character although its second byte is a backslash.
    EXPECT_EQ(Tokens("\x95\x5C\x8E\xA6"), V({"\x95\x5C\x8E\xA6"}));
    // A lead byte swallows the blank or quote after it, which then neither splits nor quotes.
    EXPECT_EQ(Tokens("a\x82 b c"), V({"a\x82 b", "c"}));
    EXPECT_EQ(Tokens("a\x82\"b c"), V({"a\x82\"b", "c"}));
    EXPECT_EQ(Tokens("\xE0=x y"), V({"\xE0=x", "y"}));
    EXPECT_EQ(Tokens("\xFD\t"), V({"\xFD\t"}));
    // A lead byte with nothing after it is dropped.
    EXPECT_EQ(Tokens("ab\x82"), V({"ab"}));
    EXPECT_EQ(Tokens("ab \x9F"), V({"ab", ""}));
}

TEST(ExchangeTokenizer, DropsControlBytesAndFeFf) {
    EXPECT_EQ(Tokens(std::string_view("a\0b\x01\x1F"
                                      "c",
                                      6)),
              V({"abc"}));
    EXPECT_EQ(Tokens("a\xFE\xFF"
                     "b"),
              V({"ab"}));
    EXPECT_EQ(Tokens("\xA0\xDF\x7F"), V({"\xA0\xDF\x7F"}));
    EXPECT_EQ(Tokens("\x01 \x02"), V({""}));
}

TEST(ExchangeTokenizer, IgnoresTokensBeyondTheThirtySecond) {
    std::string line;
    for (int i = 0; i < 40; ++i) line += std::to_string(i) + " ";
    const V tokens = Tokens(line);
    ASSERT_EQ(tokens.size(), 32u);
    EXPECT_EQ(tokens[0], "0");
    EXPECT_EQ(tokens[31], "31");
    const V exactly32 =
        Tokens("1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17 18 19 20 21 22 23 24 25 26 27 28 29 30 31 32");
    ASSERT_EQ(exactly32.size(), 32u);
    EXPECT_EQ(exactly32[31], "32");
}
