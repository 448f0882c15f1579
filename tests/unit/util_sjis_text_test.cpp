// Shift-JIS byte-string helpers: stripping blanks, copying whole characters, zero-terminated copies.
#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "util/MyFunc.h"

using namespace std::string_literals;

TEST(StripBlanks, RemovesBlanksAndControlBytesEverywhere) {
    EXPECT_EQ(StripBlanks("\x81\x40 \t\r\n\x81\x40"), "");
    EXPECT_EQ(StripBlanks("1 2"), "12");
    EXPECT_EQ(StripBlanks(" L= "), "L=");
    EXPECT_EQ(StripBlanks("寸法　値"), "寸法値");
    EXPECT_EQ(StripBlanks("a\0b"s), "ab");
    EXPECT_EQ(StripBlanks(""), "");
}

TEST(StripBlanks, KeepsEveryOtherCharacterWhole) {
    EXPECT_EQ(StripBlanks("表示"), "表示");
    EXPECT_EQ(StripBlanks("\x88\x20"), "\x88\x20");
    EXPECT_EQ(StripBlanks("\x82\x40"), "\x82\x40");
    EXPECT_EQ(StripBlanks("\x81\x81\x40"), "\x81\x81\x40");
    EXPECT_EQ(StripBlanks("a\x7F"), "a\x7F");
    EXPECT_EQ(StripBlanks("\xB1 \xB2"), "\xB1\xB2");
    EXPECT_EQ(StripBlanks("A \x81"), "A\x81");
}

TEST(CopySjis, TakesOnlyWholeCharactersInsideTheWindow) {
    const std::string s = "\x31\x82\xA0\x32";
    struct Case {
        int start, count;
        const char* text;
        int taken;
    };
    const Case cases[] = {
        {1, 2, "\x31", 1},
        {2, 2, "\x82\xA0", 2},
        {3, 2, "\x32", 1},
        {1, 4, "\x31\x82\xA0\x32", 4},
        {1, 3, "\x31\x82\xA0", 3},
        {2, 1, "", 0},
        {4, 1, "\x32", 1},
        {4, 9, "\x32", 1},
        {1, INT_MAX, "\x31\x82\xA0\x32", 4},
    };
    for (const Case& c : cases) {
        const TSjisCopy copy = CopySjis(s, c.start, c.count);
        EXPECT_EQ(copy.Text, c.text) << "start " << c.start << " count " << c.count;
        EXPECT_EQ(copy.Taken, c.taken) << "start " << c.start << " count " << c.count;
    }
}

TEST(CopySjis, EmptyTextOrWindowOutsideTheTextTakesNothing) {
    EXPECT_EQ(CopySjis("", 1, 1).Taken, 0);
    EXPECT_EQ(CopySjis("abc", 0, 2).Taken, 0);
    EXPECT_EQ(CopySjis("abc", -5, 9).Taken, 0);
    EXPECT_EQ(CopySjis("abc", 4, 1).Taken, 0);
    EXPECT_EQ(CopySjis("abc", 1, 0).Taken, 0);
    EXPECT_EQ(CopySjis("abc", 1, -1).Taken, 0);
    EXPECT_EQ(CopySjis("abc", INT_MAX, INT_MAX).Taken, 0);
    EXPECT_EQ(CopySjis("abc", 1, 0).Text, "");
}

TEST(CopySjis, ALeadByteEndingTheTextIsCopiedAlone) {
    EXPECT_EQ(CopySjis("1\x82", 2, 5).Text, "\x82");
    EXPECT_EQ(CopySjis("1\x82", 2, 5).Taken, 1);
    EXPECT_EQ(CopySjis("1\x82", 1, 1).Text, "1");
}

TEST(CopyToCharBuffer, CopiesTheBytesAndAZero) {
    char buffer[8] = {'x', 'x', 'x', 'x', 'x', 'x', 'x', 'x'};
    CopyToCharBuffer(buffer, "a\x82\xA0");
    EXPECT_EQ(std::string(buffer, 5), "a\x82\xA0\0x"s);
    CopyToCharBuffer(buffer, "");
    EXPECT_EQ(std::string(buffer, 2), "\0\x82"s);
}
