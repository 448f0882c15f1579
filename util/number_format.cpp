// Writing real numbers as text: the general form of every number in commands and settings,
// and the fixed-decimal forms of the dimension value.
#include "util/MyFunc.h"
#include "util/decimal_digits.h"

namespace {

// The fixed forms round the decimal digits themselves, so a half rounds away from zero
// exactly as written (2.25 -> 2.3) whatever the binary residue below the 18th digit.
constexpr int kFixedSignificantDigits = 18;
constexpr int kMaxDecimals = 18;

// Rounds the digits at `decimals` places after the point, a first dropped digit of 5 or more
// rounding the magnitude up.
void RoundAtDecimals(TDecimalDigits& d, int decimals) {
    const long keep = static_cast<long>(d.PointPosition) + decimals;
    if (keep >= static_cast<long>(d.Digits.size())) return;
    if (keep < 0) {
        d = TDecimalDigits{};
        return;
    }
    const bool up = d.Digits[static_cast<size_t>(keep)] >= '5';
    d.Digits.resize(static_cast<size_t>(keep));
    if (up) {
        size_t i = d.Digits.size();
        while (i > 0 && d.Digits[i - 1] == '9') d.Digits[--i] = '0';
        if (i == 0) {
            d.Digits.insert(d.Digits.begin(), '1');
            ++d.PointPosition;
        } else {
            ++d.Digits[i - 1];
        }
    }
    while (!d.Digits.empty() && d.Digits.back() == '0') d.Digits.pop_back();
    if (d.Digits.empty()) d = TDecimalDigits{};
}

char DigitAt(const TDecimalDigits& d, long position) {
    if (position < 0 || position >= static_cast<long>(d.Digits.size())) return '0';
    return d.Digits[static_cast<size_t>(position)];
}

std::string FormatDecimals(int decimals, double v, bool grouped) {
    if (decimals < 0) decimals = 0;
    if (decimals > kMaxDecimals) decimals = kMaxDecimals;
    TDecimalDigits d = ToDecimalDigits(v, kFixedSignificantDigits);
    RoundAtDecimals(d, decimals);

    std::string text;
    // A value that rounds to zero carries no sign: "-0.00" is no measurement.
    if (d.Negative && !d.Digits.empty()) text.push_back('-');
    if (d.Digits.empty() || d.PointPosition <= 0) {
        text.push_back('0');
    } else {
        const long integerDigits = d.PointPosition;
        for (long i = 0; i < integerDigits; ++i) {
            if (grouped && i > 0 && (integerDigits - i) % 3 == 0) text.push_back(',');
            text.push_back(DigitAt(d, i));
        }
    }
    if (decimals > 0) {
        text.push_back('.');
        for (long i = 0; i < decimals; ++i) text.push_back(DigitAt(d, d.PointPosition + i));
    }
    return text;
}

} // namespace

std::string FormatGeneral(double v) {
    const TDecimalDigits d = ToDecimalDigits(v, 15);
    if (d.Digits.empty()) return "0";

    std::string text;
    if (d.Negative) text.push_back('-');
    const int e = d.PointPosition;
    const int count = static_cast<int>(d.Digits.size());
    if (e >= -3 && e <= 15) {
        if (e <= 0) {
            text += "0.";
            text.append(static_cast<size_t>(-e), '0');
            text += d.Digits;
        } else if (count <= e) {
            text += d.Digits;
            text.append(static_cast<size_t>(e - count), '0');
        } else {
            text.append(d.Digits, 0, static_cast<size_t>(e));
            text.push_back('.');
            text.append(d.Digits, static_cast<size_t>(e), std::string::npos);
        }
        return text;
    }

    text.push_back(d.Digits[0]);
    if (count > 1) {
        text.push_back('.');
        text.append(d.Digits, 1, std::string::npos);
    }
    text.push_back('E');
    int exponent = e - 1;
    if (exponent < 0) {
        text.push_back('-');
        exponent = -exponent;
    }
    char reversed[8];
    int n = 0;
    do {
        reversed[n++] = static_cast<char>('0' + exponent % 10);
        exponent /= 10;
    } while (exponent > 0 && n < 8);
    while (n > 0) text.push_back(reversed[--n]);
    return text;
}

std::string FormatFixed(int decimals, double v) {
    return FormatDecimals(decimals, v, false);
}

std::string FormatGrouped(int decimals, double v) {
    return FormatDecimals(decimals, v, true);
}
