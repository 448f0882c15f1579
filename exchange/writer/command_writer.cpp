// The command writer's operations: attribute commands sent only on change, entity commands always.
#include <charconv>
#include <cmath>
#include <cstdint>
#include <string>
#include <string_view>

#include "exchange/JwwGaibu.h"
#include "exchange/text_keywords.h"
#include "util/MyFunc.h"

namespace {

std::string DecimalText(int32_t v) {
    char buffer[16];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, v);
    return std::string(buffer, result.ptr);
}

// Jw_cad reads layer groups and layers as one hexadecimal digit; values outside 0..15 go out
// unchecked, a negative one as its 32-bit pattern rather than with a sign.
std::string HexText(int32_t v) {
    char buffer[16];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, static_cast<uint32_t>(v), 16);
    std::string text(buffer, result.ptr);
    for (char& c : text)
        if (c >= 'a' && c <= 'f') c = static_cast<char>(c - 'a' + 'A');
    return text;
}

// Whether the attribute's command is due; a set force flag makes any value due.
bool Changed(TAttributeKind kind, bool differs) {
    return AttributeState().Force[kind] || differs;
}

void Emitted(TAttributeKind kind) {
    AttributeState().Force[kind] = false;
}

// Sends keyword + text when the integer attribute is due, and keeps value as the one last sent.
bool EmitIfChanged(TAttributeKind kind, int32_t& last, int32_t value, std::string_view keyword,
                   const std::string& text) {
    if (!Changed(kind, value != last)) return false;
    AddCommand(std::string(keyword) + text);
    last = value;
    Emitted(kind);
    return true;
}

bool NoDirection(double dx, double dy) {
    return std::fabs(dx) <= kCommandTolerance<double> && std::fabs(dy) <= kCommandTolerance<double>;
}

bool Degenerate(double x1, double y1, double x2, double y2) {
    return std::fabs(x2 - x1) < kCommandTolerance<double> && std::fabs(y2 - y1) < kCommandTolerance<double>;
}

std::string Coordinates(double a, double b, double c, double d) {
    return FormatGeneral(a) + " " + FormatGeneral(b) + " " + FormatGeneral(c) + " " + FormatGeneral(d);
}

// The head of a text line ends in an opening double quote, which makes the writer join it with
// the text entry that follows; the host takes the rest of the line as the text.
std::string TextHead(std::string_view keyword, double x, double y, double dx, double dy) {
    return std::string(keyword) + " " + Coordinates(x, y, dx, dy) + " \"";
}

// The length of the dimension line rounded to 1e-8, in extended precision as the host's own
// dimension values are.
double RoundedLength(double x1, double y1, double x2, double y2) {
    const long double d = PointDistanceExtended(x1, y1, x2, y2);
    return static_cast<double>(std::trunc(d / kCommandTolerance<long double> + 0.5L) *
                               kCommandTolerance<long double>);
}

} // namespace

void ResetCommandCaches() {
    TAttributeState& state = AttributeState();
    state.LayerGroup = 0;
    state.Layer = 0;
    state.LineColor = 1;
    state.LineType = 1;
    state.LineWidth = 0;
    state.TextType = 1;
    state.FreeText = kDefaultFreeText;
    state.CcCode = 0;
    state.FontName = kDefaultFontName;
    state.PnColor = 1;
    state.SolidColor = 0;
    state.Force.fill(true);
}

void SetLayerGroup(int32_t group) {
    TAttributeState& state = AttributeState();
    // A layer number only means something within its group: after a new group the layer is sent
    // again even when its number stays the same.
    if (EmitIfChanged(akLayerGroup, state.LayerGroup, group, "lg", HexText(group)))
        state.Force[akLayer] = true;
}

void SetLayer(int32_t layer) {
    EmitIfChanged(akLayer, AttributeState().Layer, layer, "ly", HexText(layer));
}

void SetLineColor(int32_t color) {
    EmitIfChanged(akLineColor, AttributeState().LineColor, color, "lc", DecimalText(color));
}

void SetLineType(int32_t lineType) {
    EmitIfChanged(akLineType, AttributeState().LineType, lineType, "lt", DecimalText(lineType));
}

void SetLineWidth(int32_t width) {
    const THostParameters& host = HostParameters();
    // Widths go back only when the host sent its own ("lw" in the exchange file).
    if (!host.LineWidthSeen) return;
    if (width == -1) width = host.HostLineWidth;
    if (width < 0 || width > 30000) width = 0;
    EmitIfChanged(akLineWidth, AttributeState().LineWidth, width, "lw", DecimalText(width));
}

void SetTextType(int32_t type, int32_t color, double width, double height, double spacing) {
    const THostParameters& host = HostParameters();
    if (type < 0 || type > 10) {
        type = host.HostTextType;
        if (type == 0) {
            width = host.HostFreeText.Width;
            height = host.HostFreeText.Height;
            spacing = host.HostFreeText.Spacing;
            color = host.HostFreeText.Color;
        }
    }
    TAttributeState& state = AttributeState();
    const TTextTypeSize& last = state.FreeText;
    bool freeSizeDiffers = type == 0 && (width != last.Width || height != last.Height ||
                                         spacing != last.Spacing || color != last.Color);
    if (!Changed(akTextType, type != state.TextType || freeSizeDiffers)) return;
    if (type != 0) {
        AddCommand("cn" + DecimalText(type));
    } else {
        AddCommand("cn0 " + Coordinates(width, height, spacing, color));
        state.FreeText = TTextTypeSize{width, height, spacing, color};
    }
    state.TextType = type;
    Emitted(akTextType);
}

void SetCcCode(int32_t code) {
    if (code < 0 || code > 8) code = 0;
    EmitIfChanged(akCcCode, AttributeState().CcCode, code, "cc", DecimalText(code));
}

void SetTextFont(std::string_view fontName) {
    if (fontName.empty() || fontName == "<>") fontName = HostParameters().HostFontName;
    TAttributeState& state = AttributeState();
    if (!Changed(akTextFont, fontName != state.FontName)) return;
    std::string name(fontName); // may alias the host's name; copy before the state changes
    AddCommand("cn\"$" + name);
    state.FontName = std::move(name);
    Emitted(akTextFont);
}

void SetPnColor(int32_t color) {
    EmitIfChanged(akPnColor, AttributeState().PnColor, color, "pn", DecimalText(color));
}

void AddZFlags(uint8_t bits) {
    if (bits & 1) AddCommand("z1");
    if (bits & 2) AddCommand("z2");
    if (bits & 4) AddCommand("z3");
    if ((bits & 8) && !(bits & 16)) AddCommand("z4");
    if (bits & 16) AddCommand("z5");
}

void AddLine(double x1, double y1, double x2, double y2) {
    if (Degenerate(x1, y1, x2, y2)) return;
    AddCommand(Coordinates(x1, y1, x2, y2));
}

void AddPoint(int32_t code, double x, double y, double scale, double angle) {
    if (code < -7 || code > 11) code = -3;
    if (std::fabs(scale) <= kCommandTolerance<double>) scale = 1;
    AddCommand("pt " + Coordinates(x, y, scale, angle) + " " + DecimalText(code));
}

void AddText(int32_t kind, std::string_view text, double x, double y, double dx, double dy) {
    if (NoDirection(dx, dy) || StripBlanks(text).empty()) return;
    AddCommand(TextHead(TextKeyword(kind), x, y, dx, dy));
    AddCommand(text);
}

void AddDimension(std::string_view text, double x1, double y1, double x2, double y2, double x, double y,
                  double dx, double dy) {
    if (Degenerate(x1, y1, x2, y2) || NoDirection(dx, dy)) return;
    std::string value =
        StripBlanks(text).empty() ? FormatGeneral(RoundedLength(x1, y1, x2, y2)) : std::string(text);
    AddCommand("msg");
    AddCommand(Coordinates(x1, y1, x2, y2));
    AddCommand(TextHead("cs", x, y, dx, dy));
    AddCommand(value);
}
