// The shapes of the end marks and of the host's other point markers, as one table that every picture
// of them is drawn from: the SVG renderer's and the dialog's lists. No platform types.
#pragma once

#include <span>

// Nominal sizes in paper mm at size factor 1: boxes and dots 2.5 mm across, arrows 7.5 mm long and
// 2.5 mm wide; the room the tool reserves for each mark when it decides whether marks fit between the
// ends of a dimension. The host's own sizes may differ.
constexpr double kMarkerHalfSize = 1.25;
constexpr double kMarkerArrowLength = 7.5;
constexpr double kMarkerDotRadius = 0.3; // the small dot of code -3 and of a plain point

// A point of a shape in its own frame: paper mm at size factor 1, x along the mark's angle, y up,
// the origin on the marked point.
struct TShapePoint {
    double X = 0, Y = 0;
};

enum class TShapeFill {
    None,  // an outline: what lies under it shows through
    Paper, // filled with the background: it covers what lies under it (the host's "blanked" marks)
    Ink,   // filled with the line colour
};

enum class TShapePartKind {
    Stroke,   // a line from Points[0] to Points[1]
    Polyline, // an open line through Points
    Polygon,  // a closed outline through Points, filled as Fill says
    Circle,   // centred on the origin, Radius across; filled as Fill says
    Curve,    // a cubic curve from Points[0] through the controls Points[1] and Points[2] to Points[3]
};

struct TShapePart {
    TShapePartKind Kind = TShapePartKind::Stroke;
    std::span<const TShapePoint> Points;
    double Radius = 0;
    TShapeFill Fill = TShapeFill::None;
};

// The parts of marker code (-7..-1, 1..11), drawn in this order; empty for a code that names no marker.
std::span<const TShapePart> MarkerShape(int code);

// The end-mark kinds of the dialog's lists, in their order: 0 the line arrow, which the tool draws as
// two lines, and 1 to 11 the point markers of those codes.
constexpr int kEndMarkKinds = 12;
// The parts of an end-mark kind as drawn at the end of a dimension line that comes from the left (the
// mark's angle 0): the tips of the arrows on the origin. Empty outside 0..11.
std::span<const TShapePart> EndMarkShape(int kind);

// The frame every end-mark picture fits in (paper mm, y up): the longest arrow and a little of the
// dimension line behind it, so that the line is seen running into the mark or stopping at it; the
// boxes and dots around the point; the integral sign's S reaches a little past the slash's square.
struct TShapeBounds {
    double Left = 0, Bottom = 0, Right = 0, Top = 0;
};
constexpr TShapeBounds kEndMarkPictureBounds{-8.5, -1.4, 1.4, 1.4};
