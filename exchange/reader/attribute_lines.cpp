// The attribute lines: layer group, layer, colour, line type, width, font and text type, with first-seen.
#include "exchange/reader/line_rules.h"

#include "util/MyFunc.h"

namespace {

// The host states its current attributes before the first entity, so the first line of a
// kind carries the host's value; the flag is shared with the command writer as its force flag.
bool TakeFirstSeen(TAttributeKind kind) {
    bool& flag = AttributeState().Force[kind];
    const bool first = flag;
    flag = false;
    return first;
}

// One hexadecimal digit after the two-letter keyword; anything else is group or layer 0.
int32_t HexDigitAt(std::string_view s, size_t pos) {
    const int digit = pos < s.size() ? HexDigitValue(s[pos]) : -1;
    return digit < 0 ? 0 : digit;
}

// Every attribute line sets the running value and ends a polyline; the first of its kind also
// gives the host's current value.
void SetAttribute(TAttributeKind kind, int32_t& hostValue, int32_t& runningValue, int32_t value) {
    if (TakeFirstSeen(kind)) hostValue = value;
    runningValue = value;
    AttributeState().InPolyline = false;
}

TTextTypeSize FreeTextFrom(const TLineTokens& t) {
    return TTextTypeSize{TextToFloat(t[1]), TextToFloat(t[2]), TextToFloat(t[3]), TextToInt(t[4])};
}

} // namespace

void ApplyLayerGroupLine(const TLineTokens& t) {
    THostParameters& host = HostParameters();
    TAttributeState& a = AttributeState();
    const int32_t g = HexDigitAt(t[0], 2);
    SetAttribute(akLayerGroup, host.HostLayerGroup, a.LayerGroup, g);
    if (t.Count >= 2) host.GroupValues[g] = TextToInt(t[1]);
}

void ApplyLayerLine(const TLineTokens& t) {
    THostParameters& host = HostParameters();
    TAttributeState& a = AttributeState();
    SetAttribute(akLayer, host.HostLayer, a.Layer, HexDigitAt(t[0], 2));
    if (t.Count >= 2) host.LayerValues[a.LayerGroup * 16 + a.Layer] = TextToInt(t[1]);
}

void ApplyColorLine(const TLineTokens& t) {
    TAttributeState& a = AttributeState();
    const int32_t c = TextToInt(t[0].substr(2));
    SetAttribute(akLineColor, HostParameters().HostLineColor, a.LineColor, c);
    // Colour 10 is the host's solid colour; the token after it is the colour value of the solids.
    if (c == 10 && t.Count >= 2) a.SolidColor = TextToInt(t[1]);
}

void ApplyLineTypeLine(const TLineTokens& t) {
    SetAttribute(akLineType, HostParameters().HostLineType, AttributeState().LineType,
                 TextToInt(t[0].substr(2)));
}

void ApplyLineWidthLine(const TLineTokens& t) {
    THostParameters& host = HostParameters();
    SetAttribute(akLineWidth, host.HostLineWidth, AttributeState().LineWidth, TextToInt(t[0].substr(2)));
    host.LineWidthSeen = true;
}

void ApplyFontLine(const TLineTokens& t) {
    THostParameters& host = HostParameters();
    TAttributeState& a = AttributeState();
    const std::string_view name = t[0].substr(3);
    if (host.HostFontName.empty()) host.HostFontName.assign(name);
    a.FontName.assign(name);
    a.InPolyline = false;
}

void ApplyTextTypeLine(const TLineTokens& t) {
    THostParameters& host = HostParameters();
    TAttributeState& a = AttributeState();
    const int32_t n = TextToInt(t[0].substr(2));
    const bool withFreeSize = n == 0 && t.Count >= 5;
    if (TakeFirstSeen(akTextType)) {
        host.HostTextType = n;
        if (withFreeSize) host.HostFreeText = FreeTextFrom(t);
    }
    a.TextType = n;
    if (withFreeSize) a.FreeText = FreeTextFrom(t);
    a.InPolyline = false;
}

void ApplyIndicatedPointLine(const TLineTokens& t) {
    const std::string_view key = t[0];
    int32_t kind = 0;
    std::string_view number = key.substr(2);
    static constexpr std::string_view kSuffixes[] = {"-", "ln", "ci", "ch"};
    for (int32_t k = 0; k < 4; ++k) {
        const size_t p = key.find(kSuffixes[k]);
        if (p == std::string_view::npos) continue;
        kind = k + 1;
        number = p > 2 ? key.substr(2, p - 2) : std::string_view();
    }
    const int32_t n = TextToInt(number);
    if (n < 1 || n > 99) return;
    THostParameters& host = HostParameters();
    host.Points[n] = TIndicatedPoint{true, TextToFloat(t[1]), TextToFloat(t[2]), kind};
    ++host.PointCount;
}

void ApplyEntityNumberLine(const TLineTokens& t) {
    const std::string_view key = t[0];
    std::string_view number = key.substr(3);
    for (std::string_view suffix : {std::string_view("ln"), std::string_view("ci"), std::string_view("ch")}) {
        const size_t p = key.find(suffix);
        if (p != std::string_view::npos && p > 3) number = key.substr(3, p - 3);
    }
    AttributeState().HhpNumber = TextToInt(number);
}
