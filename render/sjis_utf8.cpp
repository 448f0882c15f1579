// Shift-JIS to UTF-8 through the C library's code page 932 tables, and escaping for XML.
#include <iconv.h>

#include <string>

#include "render/Render.h"
#include "util/MyFunc.h"

namespace {

const char kReplacement[] = "\xEF\xBF\xBD"; // U+FFFD

// One character of code page 932 as UTF-8, or empty when the table has no character for it.
std::string ConvertCharacter(iconv_t cd, std::string_view bytes) {
    char in[2] = {};
    bytes.copy(in, sizeof in);
    char out[8] = {};
    char* inPointer = in;
    char* outPointer = out;
    size_t inLeft = bytes.size(), outLeft = sizeof out;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    if (iconv(cd, &inPointer, &inLeft, &outPointer, &outLeft) == static_cast<size_t>(-1) || inLeft != 0)
        return {};
    return std::string(out, outPointer);
}

} // namespace

std::string SjisToUtf8(std::string_view sjis) {
    std::string utf8;
    iconv_t cd = iconv_open("UTF-8", "CP932");
    for (size_t i = 0; i < sjis.size();) {
        const unsigned char b = static_cast<unsigned char>(sjis[i]);
        if (b < 0x80) {
            // XML 1.0 has no place for control characters other than tab and the line ends.
            if (b >= 0x20 || b == '\t') utf8 += static_cast<char>(b);
            ++i;
            continue;
        }
        const size_t length = IsSjisLeadByte(b) && i + 1 < sjis.size() ? 2 : 1;
        std::string character;
        if (cd != reinterpret_cast<iconv_t>(-1)) character = ConvertCharacter(cd, sjis.substr(i, length));
        utf8 += character.empty() ? std::string(kReplacement) : character;
        i += length;
    }
    if (cd != reinterpret_cast<iconv_t>(-1)) iconv_close(cd);
    return utf8;
}

std::string XmlEscape(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    for (char c : utf8) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        default:
            out += c;
        }
    }
    return out;
}
