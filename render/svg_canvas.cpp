// SVG elements and the document around them, with numbers written the same way on every machine.
#include "render/svg_canvas.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "render/Render.h"

namespace {

// The SVG's y for a host y: SVG's y axis points down.
double SvgY(double y) {
    return -y;
}

void Extend(TSvgCanvas& canvas, double x, double y) {
    if (canvas.Empty) {
        canvas.MinX = canvas.MaxX = x;
        canvas.MinY = canvas.MaxY = y;
        canvas.Empty = false;
        return;
    }
    canvas.MinX = std::min(canvas.MinX, x);
    canvas.MaxX = std::max(canvas.MaxX, x);
    canvas.MinY = std::min(canvas.MinY, y);
    canvas.MaxY = std::max(canvas.MaxY, y);
}

void Indent(TSvgCanvas& canvas) {
    canvas.Body.append(static_cast<size_t>(canvas.Depth) * 2, ' ');
}

void AppendPoint(std::string& out, TPaperPoint p) {
    out += SvgNumber(p.X);
    out += ' ';
    out += SvgNumber(SvgY(p.Y));
}

const char* FillAttribute(TFill fill) {
    switch (fill) {
    case TFill::White:
        return " fill=\"white\"";
    case TFill::Black:
        return " fill=\"black\"";
    case TFill::None:
        break;
    }
    return "";
}

// The host's font name as a CSS family, first in a list of Japanese Gothic fonts that one of the
// machines that show the picture has. Quotes and backslashes cannot stand in a quoted CSS name.
std::string FontFamily(std::string_view fontName, bool& italic) {
    italic = !fontName.empty() && fontName.back() == '/';
    if (italic) fontName.remove_suffix(1);
    if (fontName.size() >= 2 && fontName.front() == '<' && fontName.back() == '>')
        fontName = fontName.substr(1, fontName.size() - 2);
    std::string name;
    for (char c : fontName)
        if (c != '\'' && c != '"' && c != '\\') name += c;
    std::string family;
    if (!name.empty()) family = "'" + name + "', ";
    return family + "'MS Gothic', 'IPAGothic', 'IPAexGothic', 'Noto Sans CJK JP', sans-serif";
}

} // namespace

std::string SvgNumber(double v) {
    if (!std::isfinite(v)) return "0";
    char buffer[400];
    auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, v, std::chars_format::fixed, 3);
    if (ec != std::errc()) return "0";
    std::string text(buffer, end);
    while (text.back() == '0') text.pop_back();
    if (text.back() == '.') text.pop_back();
    if (text == "-0") text = "0";
    return text;
}

std::string_view DashPattern(int lineType) {
    // Nominal patterns in the order of the host's line types: dotted lines 1 to 3, chain lines,
    // double-dotted chain lines and the auxiliary line.
    switch (lineType) {
    case 2:
        return "0.6 0.6";
    case 3:
        return "1.5 0.8";
    case 4:
        return "3 1";
    case 5:
        return "6 1 0.6 1";
    case 6:
        return "10 1 0.6 1";
    case 7:
        return "6 1 0.6 1 0.6 1";
    case 8:
        return "10 1 0.6 1 0.6 1";
    case 9:
        return "0.3 0.9";
    default:
        return "";
    }
}

void CanvasLine(TSvgCanvas& canvas, TPaperPoint a, TPaperPoint b, int lineType) {
    Extend(canvas, a.X, SvgY(a.Y));
    Extend(canvas, b.X, SvgY(b.Y));
    Indent(canvas);
    std::string& out = canvas.Body;
    out += "<line x1=\"" + SvgNumber(a.X) + "\" y1=\"" + SvgNumber(SvgY(a.Y)) + "\" x2=\"" + SvgNumber(b.X) +
           "\" y2=\"" + SvgNumber(SvgY(b.Y)) + "\"";
    std::string_view dashes = DashPattern(lineType);
    if (!dashes.empty()) {
        out += " stroke-dasharray=\"";
        out += dashes;
        out += "\"";
    }
    out += "/>\n";
}

void CanvasPolygon(TSvgCanvas& canvas, const TPaperPoint* points, int count, bool closed, TFill fill) {
    if (count < 2) return;
    std::string data;
    for (int i = 0; i < count; ++i) {
        Extend(canvas, points[i].X, SvgY(points[i].Y));
        data += i == 0 ? "M" : " L";
        AppendPoint(data, points[i]);
    }
    if (closed) data += " Z";
    Indent(canvas);
    canvas.Body += "<path d=\"" + data + "\"" + FillAttribute(fill) + "/>\n";
}

void CanvasCircle(TSvgCanvas& canvas, TPaperPoint centre, double radius, TFill fill) {
    radius = std::abs(radius);
    Extend(canvas, centre.X - radius, SvgY(centre.Y) - radius);
    Extend(canvas, centre.X + radius, SvgY(centre.Y) + radius);
    Indent(canvas);
    canvas.Body += "<circle cx=\"" + SvgNumber(centre.X) + "\" cy=\"" + SvgNumber(SvgY(centre.Y)) +
                   "\" r=\"" + SvgNumber(radius) + "\"" + FillAttribute(fill) + "/>\n";
}

void CanvasCurve(TSvgCanvas& canvas, TPaperPoint a, TPaperPoint b, TPaperPoint c, TPaperPoint d) {
    // A cubic curve stays inside the hull of its four points; that is close enough for the viewBox.
    for (TPaperPoint p : {a, b, c, d}) Extend(canvas, p.X, SvgY(p.Y));
    std::string data = "M";
    AppendPoint(data, a);
    data += " C";
    AppendPoint(data, b);
    data += ' ';
    AppendPoint(data, c);
    data += ' ';
    AppendPoint(data, d);
    Indent(canvas);
    canvas.Body += "<path d=\"" + data + "\"/>\n";
}

void CanvasText(TSvgCanvas& canvas, TPaperPoint origin, double angle, double width, double height,
                std::string_view fontName, std::string_view text) {
    const double radians = angle / 180 * 3.14159265358979323846;
    const double c = std::cos(radians), s = std::sin(radians);
    for (TPaperPoint corner :
         {TPaperPoint{0, 0}, TPaperPoint{width, 0}, TPaperPoint{width, height}, TPaperPoint{0, height}})
        Extend(canvas, origin.X + c * corner.X - s * corner.Y, SvgY(origin.Y + s * corner.X + c * corner.Y));

    bool italic = false;
    const std::string family = FontFamily(fontName, italic);
    const std::string x = SvgNumber(origin.X), y = SvgNumber(SvgY(origin.Y));
    std::string& out = canvas.Body;
    Indent(canvas);
    out += "<text x=\"" + x + "\" y=\"" + y + "\"";
    const std::string turn = SvgNumber(-angle);
    if (turn != "0") out += " transform=\"rotate(" + turn + " " + x + " " + y + ")\"";
    out += " font-family=\"" + XmlEscape(family) + "\" font-size=\"" + SvgNumber(height) + "\"";
    if (italic) out += " font-style=\"italic\"";
    if (width > 0) out += " textLength=\"" + SvgNumber(width) + "\" lengthAdjust=\"spacingAndGlyphs\"";
    if (text.find(' ') != std::string_view::npos) out += " xml:space=\"preserve\"";
    out += " fill=\"black\" stroke=\"none\">" + XmlEscape(text) + "</text>\n";
}

void CanvasBeginGroup(TSvgCanvas& canvas, std::string_view className) {
    Indent(canvas);
    canvas.Body += "<g class=\"" + XmlEscape(className) + "\">\n";
    ++canvas.Depth;
}

void CanvasEndGroup(TSvgCanvas& canvas) {
    --canvas.Depth;
    Indent(canvas);
    canvas.Body += "</g>\n";
}

std::string CanvasDocument(const TSvgCanvas& canvas) {
    double minX = 0, minY = 0, width = 0, height = 0;
    if (!canvas.Empty) {
        minX = canvas.MinX;
        minY = canvas.MinY;
        width = canvas.MaxX - canvas.MinX;
        height = canvas.MaxY - canvas.MinY;
    }
    minX -= kSvgMargin;
    minY -= kSvgMargin;
    width += 2 * kSvgMargin;
    height += 2 * kSvgMargin;
    const std::string x = SvgNumber(minX), y = SvgNumber(minY), w = SvgNumber(width), h = SvgNumber(height);
    std::string out = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    out += "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + w + "mm\" height=\"" + h +
           "mm\" viewBox=\"" + x + " " + y + " " + w + " " + h + "\">\n";
    out +=
        "  <rect x=\"" + x + "\" y=\"" + y + "\" width=\"" + w + "\" height=\"" + h + "\" fill=\"white\"/>\n";
    out += "  <g fill=\"none\" stroke=\"black\" stroke-width=\"" + SvgNumber(kSvgStrokeWidth) +
           "\" stroke-linecap=\"round\" stroke-linejoin=\"round\">\n";
    out += canvas.Body;
    out += "  </g>\n</svg>\n";
    return out;
}
