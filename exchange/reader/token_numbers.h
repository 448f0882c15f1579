// Inside the exchange unit: reals of exchange-file tokens, with a quick path for the host's plain decimals.
#pragma once

#include <cstdint>
#include <cstring>
#include <string_view>

#include "util/MyFunc.h"

namespace token_numbers {

// Eight digits at once (p must have 8 readable bytes): false unless all eight are '0'..'9'.
// The bytes are taken in file order, so the lowest byte of the word is the first digit.
inline bool AppendEightDigits(const char* p, uint64_t& digits) {
    uint64_t word;
    std::memcpy(&word, p, 8);
    // A byte is a digit when its high nibble is 3 and adding 6 keeps it there.
    if ((((word & 0xF0F0F0F0F0F0F0F0ull) |
          (((word + 0x0606060606060606ull) & 0xF0F0F0F0F0F0F0F0ull) >> 4))) != 0x3333333333333333ull)
        return false;
    word -= 0x3030303030303030ull;
    word = word * 10 + (word >> 8); // pairs of digits
    word = (((word & 0x000000FF000000FFull) * (100 + (1000000ull << 32))) +
            (((word >> 16) & 0x000000FF000000FFull) * (1 + (10000ull << 32)))) >>
           32;
    digits = digits * 100000000u + static_cast<uint32_t>(word);
    return true;
}

// Appends the run of decimal digits at p to digits and returns where the run ends. Past 19
// digits the sum wraps, but then the caller hands the text to TextToFloat anyway.
inline const char* AppendDigits(const char* p, const char* end, uint64_t& digits) {
    while (end - p >= 8 && AppendEightDigits(p, digits)) p += 8;
    for (; p < end; ++p) {
        const unsigned d = static_cast<unsigned char>(*p) - static_cast<unsigned>('0');
        if (d > 9) break;
        digits = digits * 10 + d;
    }
    return p;
}

} // namespace token_numbers

// The host writes coordinates as plain decimals ("-40496.8595011236"). For those the digits are
// gathered in an integer and divided once in extended precision. Up to 19 digits the integer is
// below 2^64 and so exact, as TextToFloat's extended accumulator is, and 10^0..10^19 are exact in
// extended precision: the same arithmetic, and so the same bits, as TextToFloat, at a fraction of
// its cost per digit. Anything else goes to TextToFloat.
inline double TokenToReal(std::string_view text) {
    const char* p = text.data();
    const char* const end = p + text.size();
    bool negative = false;
    if (p < end && (*p == '-' || *p == '+')) negative = *p++ == '-';
    uint64_t digits = 0;
    const char* const whole = p;
    p = token_numbers::AppendDigits(p, end, digits);
    int count = static_cast<int>(p - whole), decimals = 0;
    if (p < end && *p == '.') {
        const char* const fraction = ++p;
        p = token_numbers::AppendDigits(p, end, digits);
        decimals = static_cast<int>(p - fraction);
        count += decimals;
    }
    if (p != end || count == 0 || count > 19) return TextToFloat(text);
    if (digits == 0) return 0.0;
    static constexpr long double kPowers[] = {1e0L,  1e1L,  1e2L,  1e3L,  1e4L,  1e5L,  1e6L,
                                              1e7L,  1e8L,  1e9L,  1e10L, 1e11L, 1e12L, 1e13L,
                                              1e14L, 1e15L, 1e16L, 1e17L, 1e18L, 1e19L};
    long double value = static_cast<long double>(digits);
    if (decimals > 0) value /= kPowers[decimals];
    return static_cast<double>(negative ? -value : value);
}
