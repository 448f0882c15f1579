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

// Every line of a block as the reader sees it; the tokens must lie inside the block itself.
std::vector<V> FileLines(std::string block) {
    std::vector<V> lines;
    char* p = block.data();
    char* const end = p + block.size();
    while (p < end) {
        TLineTokens t;
        p = TokenizeExchangeFileLine(p, end, t);
        V line;
        for (int32_t i = 0; i < t.Count; ++i) {
            EXPECT_TRUE(t[i].empty() || (t[i].data() >= block.data() && t[i].data() + t[i].size() <= end));
            line.emplace_back(t[i]);
        }
        lines.push_back(line);
    }
    return lines;
}

using L = std::vector<V>;

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

TEST(ExchangeTokenizer, FileLinesEndAtLineFeeds) {
    EXPECT_EQ(FileLines("hk 30\r\n1 2 3 4\n"), L({{"hk", "30"}, {"1", "2", "3", "4"}}));
    EXPECT_EQ(FileLines("a\"b c\r\nd"), L({{"ab c"}, {"d"}}));
    EXPECT_EQ(FileLines("\n\r\n"), L({{""}, {""}}));
    // A lone CR is a control byte inside the line.
    EXPECT_EQ(FileLines("1\r2 3\n"), L({{"12", "3"}}));
    EXPECT_EQ(FileLines(std::string("r\ts\0t\n", 6)), L({{"r", "st"}}));
    // A lead byte before LF or CR LF is the line's last byte and goes; before a lone CR it pairs.
    EXPECT_EQ(FileLines("x\x82\r\ny\x82\rz\n"), L({{"x"}, {"y\x82\rz"}}));
    EXPECT_EQ(FileLines("p\x82\nq\x82"), L({{"p"}, {"q"}}));
    EXPECT_EQ(FileLines("\"s\x82\r\r\n"), L({{"s\x82\r"}}));
    // Past 32 tokens the rest of the line is skipped, not the next line.
    std::string many;
    for (int i = 0; i < 40; ++i) many += "a ";
    const L lines = FileLines(many + "\nz\n");
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], V(32, "a"));
    EXPECT_EQ(lines[1], V({"z"}));
}

TEST(ExchangeTokenizer, AWholeLineKeepsItsLineFeedAsAControlByte) {
    EXPECT_EQ(Tokens("a\nb"), V({"ab"}));
    EXPECT_EQ(Tokens("\x82\n"), V({"\x82\n"}));
    EXPECT_EQ(Tokens("c\x82\r"), V({"c\x82\r"}));
}
