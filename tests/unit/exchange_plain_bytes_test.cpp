// Runs of plain bytes: found a word or sixteen bytes at a time, ended by every byte that needs a look.
#include <gtest/gtest.h>

#include <string>

#include "exchange/reader/plain_bytes.h"

namespace {

// Every byte that ends a run: control bytes, blank, tab, line feed, quote, equals sign, 0x80 up.
const unsigned char kStoppers[] = {0x00, 0x01, '\t', '\n', '\r', 0x1F, ' ',  '"',  '=', 0x80,
                                   0x81, 0x9F, 0xA0, 0xDF, 0xE0, 0xFC, 0xFD, 0xFE, 0xFF};

size_t SkipPlainAt(const std::string& s) {
    return static_cast<size_t>(plain_bytes::SkipPlain(s.data(), s.data() + s.size()) - s.data());
}
size_t SkipWordsAt(const std::string& s) {
    return static_cast<size_t>(plain_bytes::SkipPlainWords(s.data(), s.data() + s.size()) - s.data());
}

} // namespace

TEST(PlainBytes, PlainIsBangToDeleteButQuoteAndEquals) {
    EXPECT_FALSE(plain_bytes::IsPlain(0x20));
    EXPECT_TRUE(plain_bytes::IsPlain(0x21));
    EXPECT_FALSE(plain_bytes::IsPlain(0x22));
    EXPECT_TRUE(plain_bytes::IsPlain(0x3C));
    EXPECT_FALSE(plain_bytes::IsPlain(0x3D));
    EXPECT_TRUE(plain_bytes::IsPlain(0x3E));
    EXPECT_TRUE(plain_bytes::IsPlain(0x7F));
    EXPECT_FALSE(plain_bytes::IsPlain(0x80));
    int plain = 0;
    for (int b = 0; b < 256; ++b) plain += plain_bytes::IsPlain(static_cast<unsigned char>(b));
    EXPECT_EQ(plain, 0x7F - 0x21 + 1 - 2); // 93
}

TEST(PlainBytes, WordMaskFlagsExactlyTheBytesThatAreNotPlain) {
    // Little-endian words: the first byte in memory is the lowest.
    EXPECT_EQ(plain_bytes::NotPlainMask(0x4142434445464748ull), 0u);
    EXPECT_EQ(plain_bytes::NotPlainMask(0x7F7E3E3C21217F21ull), 0u);
    EXPECT_EQ(plain_bytes::NotPlainMask(0x2041414141414141ull), 0x8000000000000000ull);
    EXPECT_EQ(plain_bytes::NotPlainMask(0x41414141414141FFull), 0x0000000000000080ull);
    EXPECT_EQ(plain_bytes::NotPlainMask(0x3D4122413D002041ull), 0x8000800080808000ull);
    // 0xA2 and 0xBD have the quote and the equals sign below the high bit; 0xFF carries nothing over.
    EXPECT_EQ(plain_bytes::NotPlainMask(0x41A241BD41FF4141ull), 0x0080008000800000ull);
    EXPECT_EQ(plain_bytes::NotPlainMask(0xFFFFFFFFFFFFFFFFull), 0x8080808080808080ull);
    for (int b = 0; b < 256; ++b) {
        const uint64_t word = (0x4141414141414141ull & ~(0xFFull << 24)) | (static_cast<uint64_t>(b) << 24);
        EXPECT_EQ(plain_bytes::NotPlainMask(word),
                  plain_bytes::IsPlain(static_cast<unsigned char>(b)) ? 0u : 0x80000000u)
            << b;
    }
}

TEST(PlainBytes, RunsEndAtTheFirstStopperInEveryPosition) {
    for (const unsigned char stop : kStoppers) {
        for (size_t at = 0; at < 40; ++at) {
            std::string s(40, '7');
            s[at] = static_cast<char>(stop);
            s[39] = ' '; // and a second stopper after it
            const size_t expected = at;
            EXPECT_EQ(SkipPlainAt(s), expected) << int(stop) << " at " << at;
            EXPECT_EQ(SkipWordsAt(s), expected) << int(stop) << " at " << at;
        }
    }
}

TEST(PlainBytes, RunsOfEveryLengthEndAtTheEnd) {
    for (size_t n = 0; n <= 40; ++n) {
        const std::string s(n, 'x');
        EXPECT_EQ(SkipPlainAt(s), n);
        EXPECT_EQ(SkipWordsAt(s), n);
    }
    EXPECT_EQ(SkipPlainAt("!~<>-+.0123456789:;?@AZaz[\\]^_`{|}\x7F"), 35u);
    EXPECT_EQ(SkipWordsAt("!~<>-+.0123456789:;?@AZaz[\\]^_`{|}\x7F"), 35u);
    // The bytes past end are never looked at.
    const std::string s = "abcdefghijklmnopq rs";
    EXPECT_EQ(plain_bytes::SkipPlain(s.data(), s.data() + 16) - s.data(), 16);
    EXPECT_EQ(plain_bytes::SkipPlainWords(s.data(), s.data() + 9) - s.data(), 9);
}

TEST(PlainBytes, MovesWholeWordsOnlyAndNeverPastAByteUnread) {
    std::string s = "#abcdefghijklmnop qrst";
    const char* in = s.data() + 1;
    char* out = s.data();
    plain_bytes::MovePlainWords(in, out, s.data() + s.size());
    EXPECT_EQ(in - s.data(), 17);
    EXPECT_EQ(out - s.data(), 16);
    EXPECT_EQ(s, "abcdefghijklmnopp qrst");
    // A word with a stopper in it is left alone, and so is a tail shorter than a word.
    std::string t = "##abc=defgh";
    in = t.data() + 2;
    out = t.data();
    plain_bytes::MovePlainWords(in, out, t.data() + t.size());
    EXPECT_EQ(in - t.data(), 2);
    EXPECT_EQ(t, "##abc=defgh");
    std::string u = "#abcdefg";
    in = u.data() + 1;
    out = u.data();
    plain_bytes::MovePlainWords(in, out, u.data() + u.size());
    EXPECT_EQ(in - u.data(), 1);
    EXPECT_EQ(u, "#abcdefg");
}
