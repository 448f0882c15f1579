// Decimal digits of a double, correctly rounded and free of the C locale, for the formatters.
#pragma once

#include <string>

struct TDecimalDigits {
    bool Negative = false;
    std::string Digits;    // significant digits, no leading zero; empty for zero
    int PointPosition = 0; // value = 0.Digits x 10^PointPosition
};

// v rounded to `significant` digits (1..18), with trailing zeros dropped; non-finite reads as 0.
TDecimalDigits ToDecimalDigits(double v, int significant);
