// Full-width conversion of Shift-JIS text, and on Windows a comparison with the system's mapping.
#include <gtest/gtest.h>

#include <string>

#include "util/MyFunc.h"

#ifdef _WIN32
#include <windows.h>
#endif

TEST(ToFullWidth, ConvertsTheCharactersOfANumber) {
    EXPECT_EQ(ToFullWidth("1,234.5"), "\x82\x50\x81\x43\x82\x51\x82\x52\x82\x53\x81\x44\x82\x54");
    EXPECT_EQ(ToFullWidth("0123456789"), "\x82\x4F\x82\x50\x82\x51\x82\x52\x82\x53"
                                         "\x82\x54\x82\x55\x82\x56\x82\x57\x82\x58");
    EXPECT_EQ(ToFullWidth("-0.5"), "\x81\x7C\x82\x4F\x81\x44\x82\x54");
    EXPECT_EQ(ToFullWidth(""), "");
}

TEST(ToFullWidth, ConvertsPrintableAscii) {
    EXPECT_EQ(ToFullWidth(" "), "\x81\x40");
    EXPECT_EQ(ToFullWidth("Az"), "\x82\x60\x82\x9A");
    EXPECT_EQ(ToFullWidth("!?"), "\x81\x49\x81\x48");
    EXPECT_EQ(ToFullWidth("\"'"), "\xFA\x57\xFA\x56");
    EXPECT_EQ(ToFullWidth("~`"), "\x81\x60\x81\x4D");
    EXPECT_EQ(ToFullWidth("{|}"), "\x81\x6F\x81\x62\x81\x70");
    EXPECT_EQ(ToFullWidth("/=@_"), "\x81\x5E\x81\x81\x81\x97\x81\x51");
    EXPECT_EQ(ToFullWidth("\\"), "\\");
    EXPECT_EQ(ToFullWidth("a\tb"), "\x82\x81\t\x82\x82");
}

TEST(ToFullWidth, ConvertsHalfWidthKatakanaWithVoicingMarks) {
    EXPECT_EQ(ToFullWidth("ｱｲｳｴｵ"), "アイウエオ");
    EXPECT_EQ(ToFullWidth("ｶﾞｷﾞﾀﾞﾂﾞﾄﾞ"), "ガギダヅド");
    EXPECT_EQ(ToFullWidth("ﾊﾞﾊﾟﾎﾞﾎﾟ"), "バパボポ");
    EXPECT_EQ(ToFullWidth("ｳﾞ"), "\x83\x94");
    EXPECT_EQ(ToFullWidth("ｦｧｯｰﾝ"), "ヲァッーン");
    EXPECT_EQ(ToFullWidth("｡｢｣､･"), "。「」、・");
    EXPECT_EQ(ToFullWidth("ﾞﾟ"), "\x81\x4A\x81\x4B");
    EXPECT_EQ(ToFullWidth("ｱﾞﾜﾞｶﾟ"), "ア゛ワ゛カ゜");
}

TEST(ToFullWidth, ConvertsHiraganaToKatakanaAndKeepsOtherCharacters) {
    EXPECT_EQ(ToFullWidth("ひらがな"), "ヒラガナ");
    EXPECT_EQ(ToFullWidth("ぁみむん"), "\x83\x40\x83\x7E\x83\x80\x83\x93");
    EXPECT_EQ(ToFullWidth("ゝゞ"), "ヽヾ");
    EXPECT_EQ(ToFullWidth("寸法ＡＢ"), "寸法ＡＢ");
    EXPECT_EQ(ToFullWidth("表"), "表");
}

TEST(ToFullWidth, ConvertsLongTextPieceByPiece) {
    std::string sevens;
    for (int i = 0; i < 300; ++i) sevens += "\x82\x56";
    EXPECT_EQ(ToFullWidth(std::string(300, '7')), sevens);

    // A character crossing byte 126 starts the next piece and is converted whole.
    std::string ones;
    for (int i = 0; i < 125; ++i) ones += "\x82\x50";
    EXPECT_EQ(ToFullWidth(std::string(125, '1') + "あ"), ones + "ア");
}

TEST(ToFullWidth, AVoicingMarkStartingAPieceStaysAMark) {
    std::string ones;
    for (int i = 0; i < 125; ++i) ones += "\x82\x50";
    EXPECT_EQ(ToFullWidth(std::string(124, '1') + "ｶﾞ"), ones.substr(0, 248) + "ガ");
    EXPECT_EQ(ToFullWidth(std::string(125, '1') + "ｶﾞ"), ones + "カ゛");
}

#ifdef _WIN32
namespace {

// Windows' own mapping of a Shift-JIS text through UTF-16, under the Japanese locale.
std::string WindowsFullWidth(const std::string& text) {
    wchar_t wide[64];
    const int wideLength = MultiByteToWideChar(932, 0, text.data(), static_cast<int>(text.size()), wide, 64);
    wchar_t mapped[64];
    const int mappedLength =
        LCMapStringW(0x0411, LCMAP_FULLWIDTH | LCMAP_KATAKANA, wide, wideLength, mapped, 64);
    char narrow[128];
    const int narrowLength = WideCharToMultiByte(932, 0, mapped, mappedLength, narrow, 128, nullptr, nullptr);
    return std::string(narrow, static_cast<size_t>(narrowLength > 0 ? narrowLength : 0));
}

} // namespace

TEST(ToFullWidth, AgreesWithWindowsOnAsciiAndKana) {
    for (int c = 0x20; c <= 0x7E; ++c) {
        const std::string one(1, static_cast<char>(c));
        EXPECT_EQ(ToFullWidth(one), WindowsFullWidth(one)) << "byte " << c;
    }
    // The lone voicing marks are left out: Windows maps them to combining marks that
    // code page 932 cannot hold.
    for (int c = 0xA1; c <= 0xDD; ++c) {
        const std::string one(1, static_cast<char>(c));
        EXPECT_EQ(ToFullWidth(one), WindowsFullWidth(one)) << "byte " << c;
    }
    for (const char* text : {"ｶﾞ", "ﾄﾞ", "ﾊﾞ", "ﾎﾟ", "ｳﾞ", "ひらがな", "ゝゞ", "1,234.5-"}) {
        EXPECT_EQ(ToFullWidth(text), WindowsFullWidth(text)) << text;
    }
}
#endif
