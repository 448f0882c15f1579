// Inside the exchange unit: the text keywords in the order of their kind numbers, for the reader and the
// writer.
#pragma once

#include <cstdint>
#include <iterator>
#include <string_view>

inline constexpr std::string_view kTextKeywords[] = {"ch", "cv", "cs", "cr", "co",
                                                     "cp", "ct", "ck", "cz", "c2"};
inline constexpr int32_t kTextKindCount = static_cast<int32_t>(std::size(kTextKeywords));

// The kind of a text keyword, or -1 for any other token.
inline int32_t TextKindOf(std::string_view keyword) {
    for (int32_t k = 0; k < kTextKindCount; ++k)
        if (keyword == kTextKeywords[k]) return k;
    return -1;
}

// The keyword of a kind; a kind out of range is written as a plain text, "ch".
inline std::string_view TextKeyword(int32_t kind) {
    return kind >= 0 && kind < kTextKindCount ? kTextKeywords[kind] : kTextKeywords[0];
}
