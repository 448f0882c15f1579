// Reading integers and reals from the bytes of exchange-file, dialog and settings texts.
#include <cmath>
#include <cstdint>
#include <iterator>
#include <limits>

#include "util/MyFunc.h"

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// 10^e in extended precision. 10^0..10^27 are exact (5^27 fits the 64-bit mantissa), so the table
// holds the very values that repeated squaring gives; larger powers keep the squaring and its roundings.
long double PowerOfTen(int64_t e) {
    static constexpr long double kExact[] = {
        1e0L,  1e1L,  1e2L,  1e3L,  1e4L,  1e5L,  1e6L,  1e7L,  1e8L,  1e9L,  1e10L, 1e11L, 1e12L, 1e13L,
        1e14L, 1e15L, 1e16L, 1e17L, 1e18L, 1e19L, 1e20L, 1e21L, 1e22L, 1e23L, 1e24L, 1e25L, 1e26L, 1e27L};
    if (e >= 0 && e < static_cast<int64_t>(std::size(kExact))) return kExact[e];
    long double result = 1.0L;
    long double base = 10.0L;
    while (e > 0) {
        if (e & 1) result *= base;
        e >>= 1;
        if (e > 0) base *= base;
    }
    return result;
}

// Both readers allow leading half-width blanks and one sign; returns whether the sign was "-".
bool SkipBlanksAndSign(std::string_view text, size_t& i) {
    while (i < text.size() && text[i] == ' ') ++i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) return text[i++] == '-';
    return false;
}

} // namespace

int HexDigitValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

int32_t TextToInt(std::string_view text) {
    size_t i = 0;
    const size_t n = text.size();
    const bool negative = SkipBlanksAndSign(text, i);

    bool hex = false;
    if (i < n && (text[i] == '$' || text[i] == 'x' || text[i] == 'X')) {
        hex = true;
        i += 1;
    } else if (i + 1 < n && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
        hex = true;
        i += 2;
    }

    if (i >= n) return 0;
    if (hex) {
        if (n - i > 8) return 0;
        uint32_t pattern = 0;
        for (; i < n; ++i) {
            const int d = HexDigitValue(text[i]);
            if (d < 0) return 0;
            pattern = pattern * 16u + static_cast<uint32_t>(d);
        }
        // The digits are a bit pattern ("$FFFFFFFF" is -1); a "-" negates it in 32 bits.
        if (negative) pattern = 0u - pattern;
        return static_cast<int32_t>(pattern);
    }

    const uint64_t limit = negative ? 2147483648ull : 2147483647ull;
    uint64_t value = 0;
    for (; i < n; ++i) {
        if (!IsDigit(text[i])) return 0;
        value = value * 10u + static_cast<uint64_t>(text[i] - '0');
        if (value > limit) return 0;
    }
    return negative ? static_cast<int32_t>(0u - static_cast<uint32_t>(value)) : static_cast<int32_t>(value);
}

double TextToFloat(std::string_view text) {
    // Beyond this many significant digits the extended accumulator would only lose the
    // later digits to rounding anyway; stopping there keeps it finite for any length.
    constexpr int kMaxSignificantDigits = 4000;
    // Exponents are saturated here; any value this far out is 0 or not a finite double.
    constexpr int64_t kExponentLimit = 100000;

    size_t i = 0;
    const size_t n = text.size();
    const bool negative = SkipBlanksAndSign(text, i);

    long double accumulator = 0.0L;
    int significant = 0;
    int64_t scale = 0; // power of ten applied to the accumulated digits
    bool anyDigit = false;
    for (; i < n && IsDigit(text[i]); ++i) {
        anyDigit = true;
        if (significant < kMaxSignificantDigits) {
            accumulator = accumulator * 10.0L + static_cast<long double>(text[i] - '0');
            if (accumulator != 0.0L) ++significant;
        } else if (scale < kExponentLimit) {
            ++scale;
        }
    }
    if (i < n && text[i] == '.') {
        ++i;
        for (; i < n && IsDigit(text[i]); ++i) {
            anyDigit = true;
            if (significant < kMaxSignificantDigits) {
                accumulator = accumulator * 10.0L + static_cast<long double>(text[i] - '0');
                if (accumulator != 0.0L) ++significant;
                if (scale > -kExponentLimit) --scale;
            }
        }
    }
    if (!anyDigit) return 0.0;

    if (i < n && (text[i] == 'E' || text[i] == 'e')) {
        ++i;
        bool exponentNegative = false;
        if (i < n && (text[i] == '+' || text[i] == '-')) {
            exponentNegative = text[i] == '-';
            ++i;
        }
        if (i >= n || !IsDigit(text[i])) return 0.0;
        int64_t exponent = 0;
        for (; i < n && IsDigit(text[i]); ++i) {
            if (exponent < kExponentLimit) exponent = exponent * 10 + (text[i] - '0');
        }
        scale += exponentNegative ? -exponent : exponent;
    }
    if (i != n) return 0.0;
    if (accumulator == 0.0L) return 0.0;

    long double value = accumulator;
    if (scale > 0) value *= PowerOfTen(scale);
    if (scale < 0) value /= PowerOfTen(-scale);
    const double result = static_cast<double>(negative ? -value : value);
    // An infinite coordinate would reach the host as text it cannot read: it reads as 0 instead.
    if (!std::isfinite(result)) return 0.0;
    return result;
}
