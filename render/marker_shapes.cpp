// Point markers in the SVG: each part of the code's shape turned and scaled onto the paper. Blanked
// parts are white (they cover the line under them), filled ones black.
#include "render/marker_shapes.h"

#include <cmath>
#include <vector>

namespace {

struct TMarkerFrame {
    TPaperPoint Centre;
    double Size = 1, Cos = 1, Sin = 0;

    TPaperPoint At(TShapePoint p) const {
        return {Centre.X + Size * (Cos * p.X - Sin * p.Y), Centre.Y + Size * (Sin * p.X + Cos * p.Y)};
    }
};

TFill SvgFill(TShapeFill fill) {
    switch (fill) {
    case TShapeFill::Paper:
        return TFill::White;
    case TShapeFill::Ink:
        return TFill::Black;
    case TShapeFill::None:
        break;
    }
    return TFill::None;
}

void DrawPart(TSvgCanvas& canvas, const TMarkerFrame& frame, const TShapePart& part) {
    std::vector<TPaperPoint> points;
    for (TShapePoint p : part.Points) points.push_back(frame.At(p));
    switch (part.Kind) {
    case TShapePartKind::Stroke:
        CanvasLine(canvas, points[0], points[1], 1);
        break;
    case TShapePartKind::Polyline:
    case TShapePartKind::Polygon:
        CanvasPolygon(canvas, points.data(), static_cast<int>(points.size()),
                      part.Kind == TShapePartKind::Polygon, SvgFill(part.Fill));
        break;
    case TShapePartKind::Circle:
        CanvasCircle(canvas, frame.Centre, part.Radius * frame.Size, SvgFill(part.Fill));
        break;
    case TShapePartKind::Curve:
        CanvasCurve(canvas, points[0], points[1], points[2], points[3]);
        break;
    }
}

} // namespace

bool DrawMarker(TSvgCanvas& canvas, int code, TPaperPoint centre, double size, double angle) {
    const std::span<const TShapePart> shape = MarkerShape(code);
    if (shape.empty()) return false;
    const double radians = angle / 180 * 3.14159265358979323846;
    const TMarkerFrame frame{centre, std::abs(size), std::cos(radians), std::sin(radians)};
    for (const TShapePart& part : shape) DrawPart(canvas, frame, part);
    return true;
}
