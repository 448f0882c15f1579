// Inside the exchange unit: reals of exchange-file tokens, with a quick path for the host's plain decimals.
#pragma once

#include <bit>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "util/MyFunc.h"

namespace token_numbers {

constexpr uint64_t kOnes = 0x0101010101010101ull;
constexpr uint64_t kHighBits = 0x8080808080808080ull;

// The high bit set in every byte of word that is not '0'..'9', and no other bit.
constexpr uint64_t NotDigitMask(uint64_t word) {
    const uint64_t low = word & ~kHighBits;            // 0x00..0x7F per byte: the additions carry no further
    const uint64_t above = low + kOnes * (0x7F - '9'); // high bit set where low > '9'
    const uint64_t atLeast = low + kOnes * (0x80 - '0'); // high bit set where low >= '0'
    return (word | above | ~atLeast) & kHighBits;
}

// The value of eight digit values, one a byte with the first digit in the lowest byte.
constexpr uint32_t EightDigitsValue(uint64_t word) {
    word = word * 10 + (word >> 8); // pairs of digits
    word = (((word & 0x000000FF000000FFull) * (100 + (1000000ull << 32))) +
            (((word >> 16) & 0x000000FF000000FFull) * (1 + (10000ull << 32)))) >>
           32;
    return static_cast<uint32_t>(word);
}

constexpr uint64_t kPowersOfTen[] = {1, 10, 100, 1000, 10000, 100000, 1000000, 10000000, 100000000};

// Appends the run of decimal digits at p to digits, adds its length to count and returns where the
// run ends. A run is taken up to eight bytes at a time; the bytes read past it (never past end) are
// only looked at. Past 19 digits the sum wraps, but then the caller hands the text to TextToFloat.
inline const char* AppendDigits(const char* p, const char* end, uint64_t& digits, int& count) {
    if constexpr (std::endian::native == std::endian::little) {
        while (end - p >= 8) {
            uint64_t word;
            std::memcpy(&word, p, 8);
            const uint64_t notDigit = NotDigitMask(word);
            const int run = notDigit == 0 ? 8 : std::countr_zero(notDigit) / 8;
            if (run == 0) return p;
            // The digits of the run move to the top; the bytes shifted in read as leading zeros.
            // A byte below '0' after the run borrows only from the bytes after it, shifted out too.
            const uint64_t values = (word - kOnes * '0') << (8 * (8 - run));
            digits = digits * kPowersOfTen[run] + EightDigitsValue(values);
            p += run;
            count += run;
            if (run < 8) return p;
        }
    }
    for (; p < end; ++p) {
        const unsigned d = static_cast<unsigned char>(*p) - static_cast<unsigned>('0');
        if (d > 9) break;
        digits = digits * 10 + d;
        ++count;
    }
    return p;
}

} // namespace token_numbers

// The host writes coordinates as plain decimals ("-40496.8595011236"): a sign, digits, a point and
// digits. For those the digits are gathered in an integer and divided once in extended precision.
// Up to 19 digits the integer is below 2^64 and so exact, as TextToFloat's extended accumulator is,
// and 10^0..10^19 are exact in extended precision: the same arithmetic, and so the same bits, as
// TextToFloat, at a fraction of its cost per digit. Reads such a decimal at p and returns the byte
// after it, or nullptr when p does not start one of at most 19 digits (TextToFloat's case).
inline const char* ReadPlainDecimal(const char* p, const char* end, double& value) {
    bool negative = false;
    if (p < end && (*p == '-' || *p == '+')) negative = *p++ == '-';
    uint64_t digits = 0;
    int count = 0, decimals = 0;
    p = token_numbers::AppendDigits(p, end, digits, count);
    if (p < end && *p == '.') {
        const int whole = count;
        p = token_numbers::AppendDigits(p + 1, end, digits, count);
        decimals = count - whole;
    }
    if (count == 0 || count > 19) return nullptr;
    if (digits == 0) {
        value = 0.0;
        return p;
    }
    static constexpr long double kPowers[] = {1e0L,  1e1L,  1e2L,  1e3L,  1e4L,  1e5L,  1e6L,
                                              1e7L,  1e8L,  1e9L,  1e10L, 1e11L, 1e12L, 1e13L,
                                              1e14L, 1e15L, 1e16L, 1e17L, 1e18L, 1e19L};
    long double v = static_cast<long double>(digits);
    if (decimals > 0) v /= kPowers[decimals];
    value = static_cast<double>(negative ? -v : v);
    return p;
}

inline double TokenToReal(std::string_view text) {
    const char* const end = text.data() + text.size();
    double value;
    const char* const after = ReadPlainDecimal(text.data(), end, value);
    return after != nullptr && after == end ? value : TextToFloat(text);
}
