// Shift-JIS byte-string helpers: stripping blanks and copying whole characters out of a byte window.
#include <cstdint>
#include <cstring>

#include "util/MyFunc.h"

std::string StripBlanks(std::string_view text) {
    std::string result;
    const size_t n = text.size();
    size_t i = 0;
    while (i < n) {
        const auto b = static_cast<unsigned char>(text[i]);
        if (IsSjisLeadByte(b)) {
            // A lead byte at the very end has no partner; it is kept as it is.
            const size_t width = i + 1 < n ? 2 : 1;
            const bool fullWidthBlank =
                width == 2 && b == 0x81 && static_cast<unsigned char>(text[i + 1]) == 0x40;
            if (!fullWidthBlank) result.append(text.substr(i, width));
            i += width;
        } else {
            if (b > 0x20) result.push_back(static_cast<char>(b));
            ++i;
        }
    }
    return result;
}

TSjisCopy CopySjis(std::string_view s, int start, int count) {
    TSjisCopy copy;
    const int64_t n = static_cast<int64_t>(s.size());
    if (n == 0 || start < 1 || start > n || count <= 0) return copy;
    // 64 bits, so that a count near the int limit cannot wrap the window's end.
    const int64_t first = start;
    const int64_t last = first + count - 1;
    int64_t i = 1;
    while (i <= n && i <= last) {
        const auto b = static_cast<unsigned char>(s[static_cast<size_t>(i - 1)]);
        // A lead byte that ends the text has no partner: it counts as a character of its own.
        if (IsSjisLeadByte(b) && i < n) {
            if (i >= first && i + 1 <= last) {
                copy.Text.append(s.substr(static_cast<size_t>(i - 1), 2));
                copy.Taken += 2;
            }
            i += 2;
        } else {
            if (i >= first && i <= last) {
                copy.Text.push_back(static_cast<char>(b));
                copy.Taken += 1;
            }
            i += 1;
        }
    }
    return copy;
}

void CopyToCharBuffer(char* buffer, std::string_view text) {
    if (buffer == nullptr) return;
    if (!text.empty()) std::memcpy(buffer, text.data(), text.size());
    buffer[text.size()] = '\0';
}
