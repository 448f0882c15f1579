// Inside the exchange unit: reals of exchange-file tokens, with a quick path for the host's plain decimals.
#pragma once

#include <cstdint>
#include <string_view>

#include "util/MyFunc.h"

// The host writes coordinates as plain decimals ("-40496.8595011236"). For those the digits are
// gathered in an integer and divided once in extended precision: the same arithmetic, and so the
// same bits, as TextToFloat, at a fraction of its cost per digit. Anything else goes to TextToFloat.
inline double TokenToReal(std::string_view text) {
    const char* p = text.data();
    const char* const end = p + text.size();
    bool negative = false;
    if (p < end && (*p == '-' || *p == '+')) negative = *p++ == '-';
    uint64_t digits = 0;
    int count = 0, decimals = 0;
    bool point = false;
    for (; p < end; ++p) {
        const unsigned d = static_cast<unsigned char>(*p) - '0';
        if (d <= 9) {
            digits = digits * 10 + d;
            ++count;
            decimals += point;
        } else if (*p == '.' && !point) {
            point = true;
        } else {
            return TextToFloat(text);
        }
    }
    if (count == 0 || count > 19) return TextToFloat(text);
    if (digits == 0) return 0.0;
    static constexpr long double kPowers[] = {1e0L,  1e1L,  1e2L,  1e3L,  1e4L,  1e5L,  1e6L,
                                              1e7L,  1e8L,  1e9L,  1e10L, 1e11L, 1e12L, 1e13L,
                                              1e14L, 1e15L, 1e16L, 1e17L, 1e18L, 1e19L};
    long double value = static_cast<long double>(digits);
    if (decimals > 0) value /= kPowers[decimals];
    return static_cast<double>(negative ? -value : value);
}
