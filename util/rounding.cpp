// Rounding of the dimension value at the chosen precision, in the dialog's three modes.
#include <cmath>

#include "util/MyFunc.h"

double RoundByMode(int precisionIndex, int mode, double v) {
    if (!std::isfinite(v)) return 0.0;
    long double factor = 1.0L;
    if (precisionIndex >= 1 && precisionIndex <= 13) {
        for (int i = 0; i < precisionIndex; ++i) factor *= 10.0L;
    }
    const long double a = std::fabs(static_cast<long double>(v)) * factor;
    long double r;
    if (mode == 0) {
        r = std::trunc(a);
    } else if (mode == 1) {
        // 0.9, not 1: a remainder of at most a tenth of the unit is dropped rather than rounded up.
        r = std::trunc(a + 0.9L);
    } else {
        r = std::trunc(a + 0.5L);
    }
    const long double magnitude = r / factor;
    const double result = static_cast<double>(v < 0 ? -magnitude : magnitude);
    return std::isfinite(result) ? result : v;
}
