// End-mark pictures in GDI, from the same shape table as the SVG pictures of the guide.
#include "app/win32/end_mark_pictures.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "app/win32/win32_base.h"
#include "tool/end_mark_shapes.h"

namespace {

// Paper mm (y up) to the cell's pixels (y down).
struct PictureFrame {
    double Scale = 1, OriginX = 0, OriginY = 0;

    POINT At(TShapePoint p) const {
        return {std::lround(OriginX + Scale * p.X), std::lround(OriginY - Scale * p.Y)};
    }
};

PictureFrame FitBounds(const RECT& cell) {
    const TShapeBounds& bounds = kEndMarkPictureBounds;
    const double width = cell.right - cell.left, height = cell.bottom - cell.top;
    const double boundsWidth = bounds.Right - bounds.Left, boundsHeight = bounds.Top - bounds.Bottom;
    const double scale = std::min(width / boundsWidth, height / boundsHeight);
    return {scale, cell.left + (width - scale * boundsWidth) / 2 - scale * bounds.Left,
            cell.top + (height - scale * boundsHeight) / 2 + scale * bounds.Top};
}

// A line with its last pixel, which GDI leaves out.
void Line(HDC dc, POINT from, POINT to, COLORREF ink) {
    MoveToEx(dc, from.x, from.y, nullptr);
    LineTo(dc, to.x, to.y);
    SetPixelV(dc, to.x, to.y, ink);
}

} // namespace

void PaintEndMark(HDC dc, int kind, const RECT& cell, COLORREF ink, COLORREF paper, int penWidth) {
    const PictureFrame frame = FitBounds(cell);
    const ScopedPen pen(CreatePen(PS_SOLID, std::max(1, penWidth), ink));
    const ScopedBrush inkBrush(CreateSolidBrush(ink)), paperBrush(CreateSolidBrush(paper));
    if (!pen || !inkBrush || !paperBrush) return;
    const ScopedSelection penSelected(dc, pen.get());
    const ScopedSelection brushSelected(dc, GetStockObject(NULL_BRUSH));
    const auto brushOf = [&](TShapeFill fill) -> HGDIOBJ {
        return fill == TShapeFill::Ink     ? inkBrush.get()
               : fill == TShapeFill::Paper ? paperBrush.get()
                                           : GetStockObject(NULL_BRUSH);
    };

    Line(dc, frame.At({kEndMarkPictureBounds.Left, 0}), frame.At({0, 0}), ink);
    for (const TShapePart& part : EndMarkShape(kind)) {
        std::vector<POINT> points;
        for (TShapePoint p : part.Points) points.push_back(frame.At(p));
        const int count = static_cast<int>(points.size());
        switch (part.Kind) {
        case TShapePartKind::Stroke:
            Line(dc, points[0], points[1], ink);
            break;
        case TShapePartKind::Polyline:
            Polyline(dc, points.data(), count);
            SetPixelV(dc, points.back().x, points.back().y, ink);
            break;
        case TShapePartKind::Polygon:
            SelectObject(dc, brushOf(part.Fill));
            Polygon(dc, points.data(), count);
            break;
        case TShapePartKind::Circle: {
            SelectObject(dc, brushOf(part.Fill));
            const POINT centre = frame.At({0, 0});
            const int radius = std::max(1, static_cast<int>(std::lround(part.Radius * frame.Scale)));
            Ellipse(dc, centre.x - radius, centre.y - radius, centre.x + radius + 1, centre.y + radius + 1);
            break;
        }
        case TShapePartKind::Curve:
            PolyBezier(dc, points.data(), static_cast<DWORD>(count));
            break;
        }
    }
}
