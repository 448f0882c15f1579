// Point-marker shapes: each code's outline in its own frame (x along the marker's angle), then
// turned and scaled onto the paper.
#include "render/marker_shapes.h"

#include <cmath>
#include <vector>

namespace {

struct TMarkerFrame {
    TPaperPoint Centre;
    double Size = 1, Cos = 1, Sin = 0;

    TPaperPoint At(double u, double v) const {
        return {Centre.X + Size * (Cos * u - Sin * v), Centre.Y + Size * (Sin * u + Cos * v)};
    }
};

void Polygon(TSvgCanvas& canvas, const TMarkerFrame& frame, std::initializer_list<TPaperPoint> local,
             bool closed, TFill fill) {
    std::vector<TPaperPoint> points;
    for (TPaperPoint p : local) points.push_back(frame.At(p.X, p.Y));
    CanvasPolygon(canvas, points.data(), static_cast<int>(points.size()), closed, fill);
}

void Stroke(TSvgCanvas& canvas, const TMarkerFrame& frame, double u1, double v1, double u2, double v2) {
    CanvasLine(canvas, frame.At(u1, v1), frame.At(u2, v2), 1);
}

// The three arrows share one outline; the tip sits on the centre, the body behind it.
void Arrow(TSvgCanvas& canvas, const TMarkerFrame& frame, bool closed, TFill fill) {
    const double l = kMarkerArrowLength, h = kMarkerHalfSize;
    if (closed)
        Polygon(canvas, frame, {{0, 0}, {-l, h}, {-l, -h}}, true, fill);
    else
        Polygon(canvas, frame, {{-l, h}, {0, 0}, {-l, -h}}, false, fill);
}

void Box(TSvgCanvas& canvas, const TMarkerFrame& frame, TFill fill) {
    const double h = kMarkerHalfSize;
    Polygon(canvas, frame, {{-h, -h}, {h, -h}, {h, h}, {-h, h}}, true, fill);
}

} // namespace

bool DrawMarker(TSvgCanvas& canvas, int code, TPaperPoint centre, double size, double angle) {
    const double radians = angle / 180 * 3.14159265358979323846;
    const TMarkerFrame frame{centre, std::abs(size), std::cos(radians), std::sin(radians)};
    const double h = kMarkerHalfSize, r = kMarkerHalfSize * frame.Size;
    switch (code) {
    case 1: // blanked arrow: what lies under it is covered
        Arrow(canvas, frame, true, TFill::White);
        return true;
    case 2: // blanked box
        Box(canvas, frame, TFill::White);
        return true;
    case 3: // blanked dot
        CanvasCircle(canvas, centre, r, TFill::White);
        return true;
    case 4: // dimension origin: a ring around a dot, the dimension line showing through
        CanvasCircle(canvas, centre, r, TFill::None);
        CanvasCircle(canvas, centre, kMarkerDotRadius * frame.Size, TFill::Black);
        return true;
    case 5: // filled box
        Box(canvas, frame, TFill::Black);
        return true;
    case 6: // filled arrow
        Arrow(canvas, frame, true, TFill::Black);
        return true;
    case 7: // filled dot
        CanvasCircle(canvas, centre, r, TFill::Black);
        return true;
    case 8: // integral sign: an S along the diagonal that the slash takes
        CanvasCurve(canvas, frame.At(-h, -h), frame.At(0.4 * h, -1.6 * h), frame.At(-0.4 * h, 1.6 * h),
                    frame.At(h, h));
        return true;
    case 9: // open arrow
        Arrow(canvas, frame, false, TFill::None);
        return true;
    case 10: // slash
        Stroke(canvas, frame, -h, -h, h, h);
        return true;
    case 11: // unfilled arrow: an outline the dimension line shows through
        Arrow(canvas, frame, true, TFill::None);
        return true;
    case -1: // asterisk: three strokes sixty degrees apart
        Stroke(canvas, frame, -h, 0, h, 0);
        Stroke(canvas, frame, -0.5 * h, -0.8660254037844386 * h, 0.5 * h, 0.8660254037844386 * h);
        Stroke(canvas, frame, -0.5 * h, 0.8660254037844386 * h, 0.5 * h, -0.8660254037844386 * h);
        return true;
    case -2: // circle
        CanvasCircle(canvas, centre, r, TFill::None);
        return true;
    case -3: // dot
        CanvasCircle(canvas, centre, kMarkerDotRadius * frame.Size, TFill::Black);
        return true;
    case -4: // plus
        Stroke(canvas, frame, -h, 0, h, 0);
        Stroke(canvas, frame, 0, -h, 0, h);
        return true;
    case -5: // square
        Box(canvas, frame, TFill::None);
        return true;
    case -6: // triangle standing on its base
        Polygon(canvas, frame,
                {{0, h}, {-0.8660254037844386 * h, -0.5 * h}, {0.8660254037844386 * h, -0.5 * h}}, true,
                TFill::None);
        return true;
    case -7: // X
        Stroke(canvas, frame, -h, -h, h, h);
        Stroke(canvas, frame, -h, h, h, -h);
        return true;
    default:
        return false;
    }
}
