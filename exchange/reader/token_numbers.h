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

// The host's coordinates are at most sixteen digits and one point ("40496.8595011236" after the
// sign): those are read from two words at once, the point cut out and the digits summed eight at a
// time. Needs 16 readable bytes at p; answers false where the number goes on past them, and the
// caller then reads it the long way.
inline bool ReadSixteenBytes(const char* p, const char* end, uint64_t& digits, int& count, int& decimals,
                             const char*& after) {
    uint64_t low, high;
    std::memcpy(&low, p, 8);
    std::memcpy(&high, p + 8, 8);
    uint64_t lowFlags = NotDigitMask(low), highFlags = NotDigitMask(high);
    const auto firstFlagged = [&lowFlags, &highFlags] {
        return lowFlags != 0    ? std::countr_zero(lowFlags) / 8
               : highFlags != 0 ? 8 + std::countr_zero(highFlags) / 8
                                : 16;
    };
    const int point = firstFlagged();
    const bool hasPoint = point < 16 && p[point] == '.';
    int stop = point;
    if (hasPoint) {
        // The point is the lowest flag: clear it, and the next flag ends the fraction.
        if (point < 8) {
            lowFlags &= lowFlags - 1;
            stop = firstFlagged();
            const uint64_t below = (uint64_t{1} << (8 * point)) - 1;
            low = (low & below) | ((low >> 8) & ~below) | (high << 56);
            high >>= 8;
        } else {
            highFlags &= highFlags - 1;
            stop = firstFlagged();
            const uint64_t below = (uint64_t{1} << (8 * (point - 8))) - 1;
            high = (high & below) | ((high >> 8) & ~below);
        }
    }
    if (stop == 16 && end - p > 16) {
        // The number may end right after the sixteen bytes, as a coordinate with fifteen digits does.
        const char next = p[16];
        if ((next >= '0' && next <= '9') || (!hasPoint && next == '.')) return false;
    }
    count = hasPoint ? stop - 1 : stop;
    decimals = hasPoint ? stop - point - 1 : 0;
    after = p + stop;
    // Digit values, the count digits moved to the top of their word so that the bytes shifted in
    // read as leading zeros. Only bytes past the digits are below '0', and they borrow only from
    // bytes after them, shifted out too.
    low -= kOnes * '0';
    high -= kOnes * '0';
    if (count == 0)
        digits = 0;
    else if (count <= 8)
        digits = EightDigitsValue(low << (8 * (8 - count)));
    else
        digits = uint64_t{EightDigitsValue(low)} * kPowersOfTen[count - 8] +
                 EightDigitsValue(high << (8 * (16 - count)));
    return true;
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
    const char* after = nullptr;
    if (std::endian::native == std::endian::little && end - p >= 16 &&
        token_numbers::ReadSixteenBytes(p, end, digits, count, decimals, after)) {
        p = after;
    } else {
        digits = 0;
        count = 0;
        decimals = 0;
        p = token_numbers::AppendDigits(p, end, digits, count);
        if (p < end && *p == '.') {
            const int whole = count;
            p = token_numbers::AppendDigits(p + 1, end, digits, count);
            decimals = count - whole;
        }
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
