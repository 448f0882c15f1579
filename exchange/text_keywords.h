// Inside the exchange unit: the text keywords in the order of their kind numbers, for the reader and the
// writer.
#pragma once

#include <array>
#include <cstdint>
#include <iterator>
#include <string_view>

inline constexpr std::string_view kTextKeywords[] = {"ch", "cv", "cs", "cr", "co",
                                                     "cp", "ct", "ck", "cz", "c2"};
inline constexpr int32_t kTextKindCount = static_cast<int32_t>(std::size(kTextKeywords));

// Every text keyword is "c" and one more byte: the kinds by that byte, -1 where none.
inline constexpr std::array<int8_t, 256> kTextKindBySecondByte = [] {
    std::array<int8_t, 256> kinds{};
    kinds.fill(-1);
    for (int32_t k = 0; k < kTextKindCount; ++k)
        kinds[static_cast<unsigned char>(kTextKeywords[k][1])] = static_cast<int8_t>(k);
    return kinds;
}();
static_assert([] {
    for (std::string_view keyword : kTextKeywords)
        if (keyword.size() != 2 || keyword[0] != 'c') return false;
    return true;
}());

// The kind of a text keyword, or -1 for any other token.
inline int32_t TextKindOf(std::string_view keyword) {
    if (keyword.size() != 2 || keyword[0] != 'c') return -1;
    return kTextKindBySecondByte[static_cast<unsigned char>(keyword[1])];
}

// The keyword of a kind; a kind out of range is written as a plain text, "ch".
inline std::string_view TextKeyword(int32_t kind) {
    return kind >= 0 && kind < kTextKindCount ? kTextKeywords[kind] : kTextKeywords[0];
}
