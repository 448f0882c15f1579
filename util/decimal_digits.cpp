// Decimal digits of a double through std::to_chars, which is locale-free on every target.
#include "util/decimal_digits.h"

#include <charconv>
#include <cmath>

TDecimalDigits ToDecimalDigits(double v, int significant) {
    TDecimalDigits result;
    if (!std::isfinite(v) || v == 0.0) return result;
    if (significant < 1) significant = 1;
    if (significant > 18) significant = 18;

    // Scientific form "-d.ddde-XXX" needs at most 1 + 18 + 1 + 5 bytes.
    char buffer[48];
    const auto written =
        std::to_chars(buffer, buffer + sizeof buffer, v, std::chars_format::scientific, significant - 1);
    if (written.ec != std::errc()) return result;

    const char* p = buffer;
    const char* const end = written.ptr;
    if (p < end && *p == '-') {
        result.Negative = true;
        ++p;
    }
    for (; p < end && *p != 'e'; ++p) {
        if (*p >= '0' && *p <= '9') result.Digits.push_back(*p);
    }
    int exponent = 0;
    bool exponentNegative = false;
    if (p < end && *p == 'e') ++p;
    if (p < end && (*p == '+' || *p == '-')) exponentNegative = *p++ == '-';
    for (; p < end; ++p) exponent = exponent * 10 + (*p - '0');
    result.PointPosition = (exponentNegative ? -exponent : exponent) + 1;

    while (!result.Digits.empty() && result.Digits.back() == '0') result.Digits.pop_back();
    if (result.Digits.empty()) result = TDecimalDigits{};
    return result;
}
