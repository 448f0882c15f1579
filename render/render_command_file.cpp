// Reads the host's file for its scales and text sizes, then the tool's answer through the same
// exchange reader, and draws every entity the answer holds.
#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "exchange/JwwGaibu.h"
#include "render/Render.h"
#include "render/marker_shapes.h"
#include "render/svg_canvas.h"
#include "util/MyFunc.h"

namespace {

// Each line without its line end; the host ends lines with CR LF, a lone LF is taken as well.
std::vector<std::string_view> SplitLines(std::string_view bytes) {
    std::vector<std::string_view> lines;
    while (!bytes.empty()) {
        size_t end = bytes.find('\n');
        std::string_view line = bytes.substr(0, end);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        lines.push_back(line);
        if (end == std::string_view::npos) break;
        bytes.remove_prefix(end + 1);
    }
    return lines;
}

// The line's words up to its first double quote, where a text begins.
std::vector<std::string_view> Words(std::string_view line) {
    line = line.substr(0, line.find('"'));
    std::vector<std::string_view> words;
    size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
        size_t start = i;
        while (i < line.size() && line[i] != ' ' && line[i] != '\t') ++i;
        if (i > start) words.push_back(line.substr(start, i - start));
    }
    return words;
}

// A number as the host and the tool write them: sign, digits, point, exponent.
bool IsNumber(std::string_view t) {
    size_t i = 0;
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
    size_t digits = 0;
    while (i < t.size() && t[i] >= '0' && t[i] <= '9') ++i, ++digits;
    if (i < t.size() && t[i] == '.') {
        ++i;
        while (i < t.size() && t[i] >= '0' && t[i] <= '9') ++i, ++digits;
    }
    if (digits == 0) return false;
    if (i < t.size() && (t[i] == 'e' || t[i] == 'E')) {
        ++i;
        if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
        size_t exponent = 0;
        while (i < t.size() && t[i] >= '0' && t[i] <= '9') ++i, ++exponent;
        if (exponent == 0) return false;
    }
    return i == t.size();
}

bool StartsWith(std::string_view s, std::string_view prefix) {
    return s.substr(0, prefix.size()) == prefix;
}

// Lines that change attributes or frame a group: the reader applies them and nothing is drawn.
bool IsAttributeLine(std::string_view keyword) {
    for (std::string_view prefix : {"lg", "ly", "lc", "lt", "lw", "cn", "cc", "pn", "hhp"})
        if (StartsWith(keyword, prefix)) return true;
    for (std::string_view word : {"z1", "z2", "z3", "z4", "z5", "msg", "#", "pl"})
        if (keyword == word) return true;
    return false;
}

// The kinds an entity keyword may store; empty for a word that is no entity keyword.
std::vector<int32_t> KindsOf(std::string_view keyword) {
    for (std::string_view word : {"ch", "cv", "cs", "cr", "co", "cp", "ct", "ck", "cz", "c2"})
        if (keyword == word) return {ekTxt, ekDim};
    if (keyword == "pt") return {ekPnt, ekMrk};
    if (keyword == "ci") return {ekCir, ekArc};
    if (keyword == "BL") return {ekBlk};
    if (keyword == "sl") return {ekSl2, ekSl3, ekSl4};
    if (keyword == "sc") return {ekSc};
    if (keyword == "se") return {ekSe};
    if (keyword == "so") return {ekSo};
    if (keyword == "sg") return {ekSg};
    return {};
}

// The drawing length of one paper mm in the entity's layer group; 0 when the host gave none usable.
double ScaleOf(const TJwwEntHead& head) {
    const double s = HostParameters().GroupScale[static_cast<size_t>(head.LayerGroup & 15)];
    return std::isfinite(s) && std::abs(s) > 1e-12 ? s : 0;
}

bool IsFinite(std::initializer_list<double> values) {
    for (double v : values)
        if (!std::isfinite(v)) return false;
    return true;
}

bool DrawLine(TSvgCanvas& canvas, const TJwwEntLin& line) {
    const double s = ScaleOf(line.Head);
    if (s == 0 || !IsFinite({line.X1 / s, line.Y1 / s, line.X2 / s, line.Y2 / s})) return false;
    CanvasLine(canvas, {line.X1 / s, line.Y1 / s}, {line.X2 / s, line.Y2 / s}, line.Head.LineType);
    return true;
}

// Texts "ch" and "cs" (and the text of a dimension entity); the other text kinds are the host's own.
bool DrawText(TSvgCanvas& canvas, const TJwwEntTxt& text) {
    const double s = ScaleOf(text.Head);
    if (s == 0 || (text.Kind != 0 && text.Kind != 2)) return false;
    if (!IsFinite({text.X / s, text.Y / s, text.Width, text.Height, text.Spacing})) return false;
    const double angle = VectorAngleDeg(text.Dx, text.Dy);
    const double width = SjisTextWidth(text.Text.View(), text.Width, text.Spacing);
    CanvasText(canvas, {text.X / s, text.Y / s}, angle >= 360 ? 0 : angle, width, text.Height,
               SjisToUtf8(text.FontName.View()), SjisToUtf8(text.Text.View()));
    return true;
}

bool DrawEntity(TSvgCanvas& canvas, TEntityOrder entry) {
    switch (entry.Kind) {
    case ekLin:
        return DrawLine(canvas, LineEntity(entry.Index));
    case ekTxt:
        return DrawText(canvas, TextEntity(entry.Index));
    case ekDim: {
        const TJwwEntDim& dimension = DimensionEntity(entry.Index);
        CanvasBeginGroup(canvas, "dimension");
        const bool lineDrawn = DrawLine(canvas, dimension.Line);
        const bool textDrawn = DrawText(canvas, dimension.Text);
        CanvasEndGroup(canvas);
        return lineDrawn && textDrawn;
    }
    case ekMrk: {
        const TJwwEntMrk& marker = MarkerEntity(entry.Index);
        const double s = ScaleOf(marker.Head);
        if (s == 0 || !IsFinite({marker.X / s, marker.Y / s, marker.Scale, marker.Angle})) return false;
        // A size factor of zero reads as 1, as the tool's writer makes it.
        const double size = std::abs(marker.Scale) > 1e-8 ? marker.Scale : 1;
        return DrawMarker(canvas, marker.Code, {marker.X / s, marker.Y / s}, size, marker.Angle);
    }
    case ekPnt: {
        const TJwwEntPnt& point = PointEntity(entry.Index);
        const double s = ScaleOf(point.Head);
        if (s == 0 || !IsFinite({point.X / s, point.Y / s})) return false;
        CanvasCircle(canvas, {point.X / s, point.Y / s}, kMarkerDotRadius, TFill::Black);
        return true;
    }
    case ekCir: {
        const TJwwEntCir& circle = CircleEntity(entry.Index);
        const double s = ScaleOf(circle.Head);
        if (s == 0 || !IsFinite({circle.X / s, circle.Y / s, circle.Radius / s})) return false;
        CanvasCircle(canvas, {circle.X / s, circle.Y / s}, circle.Radius / s, TFill::None);
        return true;
    }
    default: // arcs, blocks and solids: their values are the host's to interpret
        return false;
    }
}

} // namespace

std::string RenderCommandFile(std::string_view hostBytes, std::string_view answerBytes,
                              TRenderReport& report) {
    report = {};
    InitExchangeData();
    for (std::string_view line : SplitLines(hostBytes)) ParseExchangeLine(line);
    // The host's selection is not part of the answer, and the answer starts from the attributes
    // the tool's writer assumes.
    const int32_t firstAnswerEntity = EntityOrderCount();
    AttributeState() = TAttributeState{};
    ResetCommandCaches();

    std::vector<bool> ignored; // by order position: stored, but not as the keyword means
    for (std::string_view line : SplitLines(answerBytes)) {
        const std::vector<std::string_view> words = Words(line);
        const std::string_view keyword = words.empty() ? std::string_view() : words[0];
        if (keyword == "hq") {
            report.NotDrawn = true;
            continue;
        }
        if (keyword.find('=') == std::string_view::npos && IsAttributeLine(keyword)) {
            ParseExchangeLine(line);
            continue;
        }
        const std::vector<int32_t> kinds = KindsOf(keyword);
        const bool isSegment = kinds.empty() && line.find('"') == std::string_view::npos &&
                               words.size() == 4 && IsNumber(words[0]) && IsNumber(words[1]) &&
                               IsNumber(words[2]) && IsNumber(words[3]);
        if (!isSegment && kinds.empty()) {
            ++report.Skipped;
            continue;
        }
        const int32_t before = EntityOrderCount();
        ParseExchangeLine(line);
        if (isSegment) continue; // a segment after "msg" is held for the dimension entity
        bool stored = false;
        for (int32_t position = before; position < EntityOrderCount(); ++position) {
            const int32_t kind = EntityOrderAt(position).Kind;
            const bool expected = std::find(kinds.begin(), kinds.end(), kind) != kinds.end();
            ignored.resize(static_cast<size_t>(position) + 1, false);
            ignored[static_cast<size_t>(position)] = !expected;
            stored = stored || expected;
        }
        if (!stored) ++report.Skipped;
    }

    TSvgCanvas canvas;
    for (int32_t position = firstAnswerEntity; position < EntityOrderCount() && !report.NotDrawn;
         ++position) {
        if (static_cast<size_t>(position) < ignored.size() && ignored[static_cast<size_t>(position)])
            continue;
        if (!DrawEntity(canvas, EntityOrderAt(position))) ++report.Skipped;
    }
    FreeExchangeData();
    return CanvasDocument(canvas);
}
