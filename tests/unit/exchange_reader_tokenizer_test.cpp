// Splitting exchange-file lines: separators, quotes, equals signs and Shift-JIS pairs.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "exchange/reader/line_tokenizer.h"

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

TEST(ExchangeTokenizer, ASpecialByteInEveryPositionOfALongRun) {
    // Runs of 20 digits are scanned many bytes at a time; whatever stops them must be seen there.
    const std::string digits = "01234567890123456789";
    for (size_t at = 0; at < 16; ++at) {
        const std::string head = digits.substr(0, at), tail = digits.substr(at + 1);
        std::string s = digits;
        s[at] = ' ';
        // Blank or tab: two tokens (one if it comes first).
        EXPECT_EQ(FileLines(s + "\n"), at == 0 ? L({{tail}}) : L({{head, tail}})) << at;
        EXPECT_EQ(Tokens(s), at == 0 ? V({tail}) : V({head, tail})) << at;
        s[at] = '\t';
        EXPECT_EQ(Tokens(s), at == 0 ? V({tail}) : V({head, tail})) << at;
        // A control byte, 0xFE or 0xFF is dropped and the bytes after it move down.
        for (const char dropped : {'\x01', '\r', '\x1F', '\xFE', '\xFF'}) {
            s[at] = dropped;
            EXPECT_EQ(Tokens(s), V({head + tail})) << at;
            EXPECT_EQ(FileLines(s + "\n"), L({{head + tail}})) << at;
        }
        s[at] = '\n';
        EXPECT_EQ(Tokens(s), V({head + tail})) << at;
        EXPECT_EQ(FileLines(s), L({{head}, {tail}})) << at;
        // A quote ends splitting and goes; an equals sign ends splitting and stays.
        s[at] = '"';
        EXPECT_EQ(Tokens(s + " x"), V({head + tail + " x"})) << at;
        s[at] = '=';
        EXPECT_EQ(Tokens(s + " x"), V({head + "=" + tail + " x"})) << at;
        // A half-width kana byte is kept as it is; a lead byte takes the next digit with it.
        s[at] = '\xA0';
        EXPECT_EQ(Tokens(s), V({s})) << at;
        s[at] = '\x82';
        EXPECT_EQ(FileLines(s + " 5\n"), L({{s, "5"}})) << at;
    }
}

TEST(ExchangeTokenizer, RunsEndingAtTheEndOfTheBlock) {
    for (size_t n = 1; n <= 34; ++n) {
        const std::string run(n, '9');
        EXPECT_EQ(FileLines(run), L({{run}})) << n;
        EXPECT_EQ(FileLines(" " + run), L({{run}})) << n;
        EXPECT_EQ(FileLines("\x01" + run), L({{run}})) << n;
        EXPECT_EQ(FileLines("a\"" + run), L({{"a" + run}})) << n;
        EXPECT_EQ(Tokens(run + " " + run), V({run, run})) << n;
    }
}

TEST(ExchangeTokenizer, TokensAfterSeparatorsAndDroppedBytes) {
    // Leading, repeated and mixed separators; a trailing one leaves an empty last token.
    EXPECT_EQ(Tokens("  -6059.66923758388 \t -32433.8621925563"),
              V({"-6059.66923758388", "-32433.8621925563"}));
    EXPECT_EQ(Tokens(" 1 2 "), V({"1", "2", ""}));
    // A dropped byte after a separator: the rest of that token moves down, the next one does not.
    EXPECT_EQ(Tokens(" 1234\x01"
                     "5678901234567890 9"),
              V({"12345678901234567890", "9"}));
    EXPECT_EQ(FileLines(" 12\r34 56789012345678\r\n 7\n"), L({{"1234", "56789012345678"}, {"7"}}));
    // Text after a quote is copied down whole, blanks and all, past dropped bytes anywhere.
    EXPECT_EQ(FileLines("ch 1 0 \"expansion\x01 joint of the east wing\r\n"),
              L({{"ch", "1", "0", "expansion joint of the east wing"}}));
    EXPECT_EQ(Tokens("\"abcdefghijklmnop\x7Fqrstuvwxyz\x02"
                     "0123456789ABCDEFGHIJ"),
              V({"abcdefghijklmnop\x7Fqrstuvwxyz0123456789ABCDEFGHIJ"}));
    // The 32nd token ends the line even with separators in front of every token.
    std::string many;
    for (int i = 0; i < 40; ++i) many += "  t" + std::to_string(i);
    const L lines = FileLines(many + "\r\nz\n");
    ASSERT_EQ(lines.size(), 2u);
    ASSERT_EQ(lines[0].size(), 32u);
    EXPECT_EQ(lines[0][0], "t0");
    EXPECT_EQ(lines[0][31], "t31");
    EXPECT_EQ(lines[1], V({"z"}));
}
