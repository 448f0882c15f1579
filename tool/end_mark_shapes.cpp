// The one table of mark shapes: each marker code's parts in its own frame.
#include "tool/end_mark_shapes.h"

namespace {

using enum TShapePartKind;
using enum TShapeFill;

constexpr double h = kMarkerHalfSize, l = kMarkerArrowLength;
constexpr double s60 = 0.8660254037844386; // sin 60 degrees

// The arrows share one outline: the tip on the point, the body behind it.
constexpr TShapePoint kArrow[] = {{0, 0}, {-l, h}, {-l, -h}};
constexpr TShapePoint kOpenArrow[] = {{-l, h}, {0, 0}, {-l, -h}};
constexpr TShapePoint kBox[] = {{-h, -h}, {h, -h}, {h, h}, {-h, h}};
constexpr TShapePoint kTriangle[] = {{0, h}, {-s60 * h, -0.5 * h}, {s60 * h, -0.5 * h}};
constexpr TShapePoint kRising[] = {{-h, -h}, {h, h}};
constexpr TShapePoint kFalling[] = {{-h, h}, {h, -h}};
constexpr TShapePoint kAcross[] = {{-h, 0}, {h, 0}};
constexpr TShapePoint kUpright[] = {{0, -h}, {0, h}};
constexpr TShapePoint kAsteriskRising[] = {{-0.5 * h, -s60* h}, {0.5 * h, s60* h}};
constexpr TShapePoint kAsteriskFalling[] = {{-0.5 * h, s60* h}, {0.5 * h, -s60* h}};
// An S along the diagonal that the slash takes.
constexpr TShapePoint kIntegral[] = {{-h, -h}, {0.4 * h, -1.6 * h}, {-0.4 * h, 1.6 * h}, {h, h}};
// The line arrow's two lines with the dialog's default length and angle, 3 mm back from the tip at
// 15 degrees either side of the line: 3 cos 15° and 3 sin 15°.
constexpr TShapePoint kLineArrowUpper[] = {{0, 0}, {-2.897777478867205, 0.7764571353075622}};
constexpr TShapePoint kLineArrowLower[] = {{0, 0}, {-2.897777478867205, -0.7764571353075622}};

// clang-format off
constexpr TShapePart kLineArrow[]      = {{Stroke, kLineArrowUpper}, {Stroke, kLineArrowLower}};
constexpr TShapePart kBlankedArrow[]   = {{Polygon, kArrow, 0, Paper}};
constexpr TShapePart kBlankedBox[]     = {{Polygon, kBox, 0, Paper}};
constexpr TShapePart kBlankedDot[]     = {{Circle, {}, h, Paper}};
// A ring around a dot, the dimension line showing through.
constexpr TShapePart kOrigin[]         = {{Circle, {}, h, None}, {Circle, {}, kMarkerDotRadius, Ink}};
constexpr TShapePart kFilledBox[]      = {{Polygon, kBox, 0, Ink}};
constexpr TShapePart kFilledArrow[]    = {{Polygon, kArrow, 0, Ink}};
constexpr TShapePart kFilledDot[]      = {{Circle, {}, h, Ink}};
constexpr TShapePart kIntegralSign[]   = {{Curve, kIntegral}};
constexpr TShapePart kOpenArrowMark[]  = {{Polyline, kOpenArrow}};
constexpr TShapePart kSlash[]          = {{Stroke, kRising}};
// An outline the dimension line shows through.
constexpr TShapePart kUnfilledArrow[]  = {{Polygon, kArrow, 0, None}};
constexpr TShapePart kAsterisk[]       = {{Stroke, kAcross}, {Stroke, kAsteriskRising}, {Stroke, kAsteriskFalling}};
constexpr TShapePart kRing[]           = {{Circle, {}, h, None}};
constexpr TShapePart kDot[]            = {{Circle, {}, kMarkerDotRadius, Ink}};
constexpr TShapePart kPlus[]           = {{Stroke, kAcross}, {Stroke, kUpright}};
constexpr TShapePart kSquare[]         = {{Polygon, kBox, 0, None}};
constexpr TShapePart kTriangleMark[]   = {{Polygon, kTriangle, 0, None}};
constexpr TShapePart kCross[]          = {{Stroke, kRising}, {Stroke, kFalling}};

// Marker codes -7..11 at index code + 7; code 0 names no marker.
constexpr std::span<const TShapePart> kMarkers[] = {
    kCross, kTriangleMark, kSquare, kPlus, kDot, kRing, kAsterisk,       // -7 .. -1
    {},                                                                  //  0
    kBlankedArrow, kBlankedBox, kBlankedDot, kOrigin, kFilledBox,       //  1 ..  5
    kFilledArrow, kFilledDot, kIntegralSign, kOpenArrowMark, kSlash,    //  6 .. 10
    kUnfilledArrow,                                                      // 11
};
// clang-format on

} // namespace

std::span<const TShapePart> MarkerShape(int code) {
    if (code < -7 || code > 11) return {};
    return kMarkers[code + 7];
}

std::span<const TShapePart> EndMarkShape(int kind) {
    if (kind == 0) return kLineArrow;
    return kind >= 1 && kind < kEndMarkKinds ? MarkerShape(kind) : std::span<const TShapePart>{};
}
