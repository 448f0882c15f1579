// The SVG being drawn: elements in paper millimetres with y pointing up as in the host, flipped
// into SVG's y-down frame here, and the extent that fits the viewBox.
#pragma once

#include <string>
#include <string_view>

struct TSvgCanvas {
    std::string Body;
    bool Empty = true;
    double MinX = 0, MinY = 0, MaxX = 0, MaxY = 0; // SVG coordinates of everything drawn
    int Depth = 2;                                 // indentation of the next element
};

enum class TFill { None, White, Black };

// A point in paper mm with y up, as the host measures it; the canvas flips y.
struct TPaperPoint {
    double X = 0, Y = 0;
};

// Dash pattern of one of the host's line types (paper mm); empty for a solid line.
std::string_view DashPattern(int lineType);

void CanvasLine(TSvgCanvas& canvas, TPaperPoint a, TPaperPoint b, int lineType);
// A polygon (closed) or polyline through the points.
void CanvasPolygon(TSvgCanvas& canvas, const TPaperPoint* points, int count, bool closed, TFill fill);
void CanvasCircle(TSvgCanvas& canvas, TPaperPoint centre, double radius, TFill fill);
// A cubic curve from a through the control points b and c to d.
void CanvasCurve(TSvgCanvas& canvas, TPaperPoint a, TPaperPoint b, TPaperPoint c, TPaperPoint d);
// A text line starting at origin (its lower left corner), turned by angle degrees counter-clockwise,
// stretched to width: the host sets each character in its cell, whatever the font's own widths.
// fontName is UTF-8 ("<ＭＳ ゴシック>" as the host writes it, or empty); text is UTF-8.
void CanvasText(TSvgCanvas& canvas, TPaperPoint origin, double angle, double width, double height,
                std::string_view fontName, std::string_view text);
void CanvasBeginGroup(TSvgCanvas& canvas, std::string_view className);
void CanvasEndGroup(TSvgCanvas& canvas);

// The whole document: black on white, the drawing's extent plus a fixed margin as the viewBox.
std::string CanvasDocument(const TSvgCanvas& canvas);

constexpr double kSvgMargin = 5;        // paper mm around the drawing
constexpr double kSvgStrokeWidth = 0.2; // paper mm, every line alike
