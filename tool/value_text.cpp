// Builds and places the dimension value text.
#include "tool/value_text.h"

#include "util/MyFunc.h"

namespace {

// RoundByMode counts an index outside 0..13 as 0; the decimals written follow the same rule so
// that the text always shows exactly the digits that were rounded.
int ShownDecimals(int32_t precisionIndex) {
    return precisionIndex >= 0 && precisionIndex <= 13 ? precisionIndex : 0;
}

// Cuts trailing zeros of the decimals, and the point itself when nothing is left after it.
std::string CutTrailingZeros(const std::string& number) {
    const auto point = number.find('.');
    if (point == std::string::npos) return number;
    std::size_t cut = number.size();
    for (std::size_t i = number.size(); i > point; --i) {
        const char c = number[i - 1];
        if (c != '0' && c != '.') break;
        cut = i - 1;
    }
    return number.substr(0, cut);
}

} // namespace

TValueTextType SelectValueTextType(int32_t textTypeIndex, const THostParameters& host) {
    TValueTextType chosen;
    if (textTypeIndex >= 1 && textTypeIndex <= 10) {
        chosen.Type = textTypeIndex;
        chosen.Size = host.TextTypes[textTypeIndex];
        return chosen;
    }
    // Any other index means the host's current type: the list holds nothing beyond No10, and
    // the host would fall back to its current type for an unknown one as well.
    chosen.Type = host.HostTextType;
    if (chosen.Type == 0) {
        chosen.Size = host.HostFreeText;
        return chosen;
    }
    if (chosen.Type < 1 || chosen.Type > 10) chosen.Type = 1;
    chosen.Size = host.TextTypes[chosen.Type];
    return chosen;
}

std::string BuildValueText(double length, const TDimensionOptions& options) {
    const bool metres = options.UnitIndex == 1;
    const double value = metres ? length / 1000 : length;
    const int decimals = ShownDecimals(options.PrecisionIndex);
    const double rounded = RoundByMode(decimals, options.RoundingMode, value);
    std::string number =
        options.ThousandsCommas ? FormatGrouped(decimals, rounded) : FormatFixed(decimals, rounded);
    if (options.ZeroDisplay == 0) number = CutTrailingZeros(number);
    if (options.FullWidthDigits) number = ToFullWidth(number);

    std::string text = options.Prefix + number;
    if (options.AppendUnit) text += metres ? "ｍ" : "mm";
    text += options.Suffix;
    return text;
}

double ValueTextAngle(double axisAngle) {
    double angle = NormalizeDegrees(axisAngle);
    if (angle >= 180) angle -= 180;
    if (angle > 90.00000001) angle += 180;
    return angle;
}

TValueTextPlacement PlaceValueText(double axisAngle, TPoint a1, TPoint a2, TPoint textPoint,
                                   double drawnWidth, double gap) {
    TValueTextPlacement placed;
    placed.Angle = ValueTextAngle(axisAngle);
    const TPoint along = UnitVector(placed.Angle);
    placed.Direction = {10 * along.X, 10 * along.Y};

    // One gap before the text origin and one below it, turned with the text.
    const TPoint corner = RotateAbout({-gap, -gap}, {0, 0}, placed.Angle);
    const TPoint start = {textPoint.X + corner.X, textPoint.Y + corner.Y};
    const TPoint end = Advance(start, drawnWidth + 2 * gap, along);
    placed.Underline = {start, end};

    const TPoint middle = {(a1.X + a2.X) / 2, (a1.Y + a2.Y) / 2};
    const TPoint endInTextFrame = RotateAbout(end, middle, -placed.Angle);
    placed.Leader = {middle, endInTextFrame.X > middle.X ? start : end};
    return placed;
}
