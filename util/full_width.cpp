// Full-width conversion of Shift-JIS text with our own table, so it works on every Windows locale.
#include <array>
#include <cstdint>

#include "util/MyFunc.h"

namespace {

// Full-width forms of 0x20..0x7E in order, two Shift-JIS bytes each.
constexpr char kFullWidthAscii[] =
    "　！＂＃＄％＆＇（）＊＋，－．／０１２３４５６７８９：；＜＝＞？＠ＡＢＣＤＥＦＧＨＩＪＫＬＭＮＯ"
    "ＰＱＲＳＴＵＶＷＸＹＺ［＼］＾＿｀ａｂｃｄｅｆｇｈｉｊｋｌｍｎｏｐｑｒｓｔｕｖｗｘｙｚ｛｜｝～";
// Full-width forms of the half-width katakana and signs 0xA1..0xDF in order.
constexpr char kFullWidthKana[] = "。「」、・ヲァィゥェォャュョッーアイウエオカキクケコサシスセソタチツテトナ"
                                  "ニヌネノハヒフヘホマミムメモヤユヨラリルレロワン゛゜";

#ifndef TARVEL_UTF8_LITERALS
static_assert(sizeof kFullWidthAscii == 95 * 2 + 1 && sizeof kFullWidthKana == 63 * 2 + 1,
              "every entry must be one two-byte character");
// The code points where code-page tables disagree: Windows' CP932 is what Jw_cad runs on.
static_assert(kFullWidthAscii[2 * ('"' - 0x20)] == '\xFA' && kFullWidthAscii[2 * ('"' - 0x20) + 1] == '\x57');
static_assert(kFullWidthAscii[2 * ('-' - 0x20)] == '\x81' && kFullWidthAscii[2 * ('-' - 0x20) + 1] == '\x7C');
static_assert(kFullWidthAscii[2 * ('~' - 0x20)] == '\x81' && kFullWidthAscii[2 * ('~' - 0x20) + 1] == '\x60');
#endif

constexpr unsigned char kVoicedMark = 0xDE;
constexpr unsigned char kSemiVoicedMark = 0xDF;

void AppendPair(std::string& out, const char* pair, int secondByteOffset = 0) {
    out.push_back(pair[0]);
    out.push_back(static_cast<char>(static_cast<unsigned char>(pair[1]) + secondByteOffset));
}

// How far a following voicing mark moves the full-width kana: ｶﾞ -> ガ is the next code,
// ﾊﾟ -> パ the one after; 0 when the pair does not combine.
int VoicingOffset(unsigned char kana, unsigned char mark) {
    const bool kaToTo = kana >= 0xB6 && kana <= 0xC4; // ｶ..ﾄ
    const bool haToHo = kana >= 0xCA && kana <= 0xCE; // ﾊ..ﾎ
    if (mark == kVoicedMark && (kaToTo || haToHo)) return 1;
    if (mark == kSemiVoicedMark && haToHo) return 2;
    return 0;
}

// Hiragana 0x829F..0x82F1 run parallel to katakana from 0x8340, which skips the code 0x837F.
void AppendKatakanaOfHiragana(std::string& out, unsigned char second) {
    int code = 0x40 + (second - 0x9F);
    if (code >= 0x7F) ++code;
    out.push_back('\x83');
    out.push_back(static_cast<char>(code));
}

void ConvertPiece(std::string& out, std::string_view piece) {
    const size_t n = piece.size();
    size_t i = 0;
    while (i < n) {
        const auto b = static_cast<unsigned char>(piece[i]);
        if (IsSjisLeadByte(b) && i + 1 < n) {
            const auto second = static_cast<unsigned char>(piece[i + 1]);
            if (b == 0x82 && second >= 0x9F && second <= 0xF1) {
                AppendKatakanaOfHiragana(out, second);
            } else if (b == 0x81 && (second == 0x54 || second == 0x55)) {
                // The hiragana iteration marks ゝゞ become ヽヾ, two codes lower.
                out.push_back('\x81');
                out.push_back(static_cast<char>(second - 2));
            } else {
                out.append(piece.substr(i, 2));
            }
            i += 2;
        } else if (b == '\\') {
            // In Shift-JIS 0x5C is the yen sign to the user and a backslash to Unicode, so it has
            // no single full-width form; Windows' mapping leaves it as it is, and so do we.
            out.push_back('\\');
            ++i;
        } else if (b >= 0x20 && b <= 0x7E) {
            AppendPair(out, kFullWidthAscii + 2 * (b - 0x20));
            ++i;
        } else if (b >= 0xA1 && b <= 0xDF) {
            const int offset = i + 1 < n ? VoicingOffset(b, static_cast<unsigned char>(piece[i + 1])) : 0;
            if (b == 0xB3 && i + 1 < n && static_cast<unsigned char>(piece[i + 1]) == kVoicedMark) {
                out.append("ヴ");
                i += 2;
            } else {
                AppendPair(out, kFullWidthKana + 2 * (b - 0xA1), offset);
                i += offset != 0 ? 2 : 1;
            }
        } else {
            out.push_back(static_cast<char>(b));
            ++i;
        }
    }
}

} // namespace

std::string ToFullWidth(std::string_view text) {
    // Converted piece by piece, at most 126 bytes and whole characters each, as Jw_cad's
    // helpers have always done: a voicing mark that starts a new piece stays a mark of its own.
    constexpr int kPieceBytes = 126;
    std::string result;
    result.reserve(text.size() * 2);
    std::array<char, 256> buffer{};
    int64_t start = 1;
    while (start <= static_cast<int64_t>(text.size()) && start <= INT32_MAX) {
        const TSjisCopy piece = CopySjis(text, static_cast<int>(start), kPieceBytes);
        if (piece.Taken == 0) break;
        CopyToCharBuffer(buffer.data(), piece.Text);
        ConvertPiece(result, std::string_view(buffer.data(), piece.Text.size()));
        start += piece.Taken;
    }
    return result;
}
