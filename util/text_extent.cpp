// Drawn width of a Shift-JIS text in the host's text model: full-width characters are w wide,
// half-width ones w/2, with the spacing d (or d/2) only between characters.
#include "util/MyFunc.h"

double SjisTextWidth(std::string_view s, double w, double d) {
    double width = 0.0;
    const size_t n = s.size();
    size_t i = 0;
    while (i < n) {
        const auto b = static_cast<unsigned char>(s[i]);
        if (IsSjisLeadByte(b)) {
            width += w;
            i += 2;
            if (i < n) width += d;
        } else {
            if (b >= 0x20) width += w * 0.5;
            i += 1;
            if (i < n) width += d * 0.5;
        }
    }
    return width;
}
