// Applies one exchange-file line: the keyword table from header lines down to bare line segments.
#include <new>
#include <string>

#include "exchange/reader/line_dispatch.h"

#include "exchange/exchange_state.h"
#include "exchange/reader/entity_lines.h"
#include "exchange/reader/line_rules.h"
#include "exchange/text_keywords.h"
#include "util/MyFunc.h"

namespace {

bool ApplyAttributeLine(const TLineTokens& t) {
    const std::string_view key = t[0];
    TAttributeState& a = AttributeState();
    if (StartsWith(key, "lgn"))
        HostParameters().GroupNames[a.LayerGroup].assign(key.substr(3));
    else if (StartsWith(key, "lyn"))
        HostParameters().LayerNames[a.LayerGroup * 16 + a.Layer].assign(key.substr(3));
    else if (StartsWith(key, "lg"))
        ApplyLayerGroupLine(t);
    else if (StartsWith(key, "ly"))
        ApplyLayerLine(t);
    else if (StartsWith(key, "lc"))
        ApplyColorLine(t);
    else if (StartsWith(key, "lt"))
        ApplyLineTypeLine(t);
    else if (StartsWith(key, "lw"))
        ApplyLineWidthLine(t);
    else if (StartsWith(key, "cn$"))
        ApplyFontLine(t);
    else if (StartsWith(key, "cn"))
        ApplyTextTypeLine(t);
    else if (StartsWith(key, "cc")) {
        const char digit = key.size() > 2 ? key[2] : ' ';
        a.CcCode = digit >= '0' && digit <= '8' ? digit - '0' : 0;
        a.InPolyline = false;
    } else if (key.size() == 2 && key[0] == 'z' && key[1] >= '1' && key[1] <= '5') {
        a.ZFlags |= 1 << (key[1] - '1');
    } else if (StartsWith(key, "pn")) {
        a.PnColor = TextToInt(key.substr(2));
        a.InPolyline = false;
    } else if (key == "pl") {
        ++a.PolylineCount;
        a.InPolyline = true;
        a.DimensionPending = false;
    } else if (key == "msg") {
        a.DimensionPending = true;
        a.InPolyline = false;
    } else if (key == "#") {
        a.InPolyline = false;
        a.DimensionPending = false;
    } else if (StartsWith(key, "hp") && t.Count >= 3) {
        ApplyIndicatedPointLine(t);
    } else if (StartsWith(key, "hhp")) {
        ApplyEntityNumberLine(t);
    } else {
        return false;
    }
    return true;
}

bool ApplyEntityLine(const TLineTokens& t) {
    const std::string_view key = t[0];
    const int32_t n = t.Count;
    if (key == "ci" && n == 4)
        StoreCircle(t);
    else if (key == "ci" && n >= 8)
        StoreArc(t);
    else if (n >= 6 && TextKindOf(key) >= 0)
        StoreText(t, TextKindOf(key));
    else if (key == "pt" && n == 3)
        StorePoint(t);
    else if (key == "pt" && n >= 6)
        StoreMarker(t);
    else if (key == "BL" && n >= 4)
        StoreBlock(t);
    else if (key == "sl" && (n == 5 || n == 7 || n >= 9))
        StoreSlSolid(t);
    else if (key == "sc" && n >= 9)
        StoreValueSolid(t, ekSc);
    else if (key == "se" && n >= 9)
        StoreValueSolid(t, ekSe);
    else if (key == "so" && n >= 9)
        StoreValueSolid(t, ekSo);
    else if (key == "sg" && n >= 9)
        StoreValueSolid(t, ekSg);
    else if (n == 4)
        StoreLineSegment(t);
    else
        return false;
    return true;
}

// Every keyword begins with a letter or "#"; a line that starts otherwise (the bare numbers of
// a segment, most of a large file) can only be a file name or a segment.
bool StartsLikeKeyword(std::string_view key) {
    const char c = key.empty() ? '\0' : key[0];
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '#';
}

// The first byte of token 0 says which group of rules can match at all: header keywords begin
// with "h" or "b", attribute keywords with "l", "c", "z", "p", "m", "#" or "h". Skipping a group
// that cannot match changes nothing, and most lines then meet only the rules of their own kind.
bool MayBeHeaderLine(char first) {
    return first == 'h' || first == 'b';
}
bool MayBeAttributeLine(char first) {
    switch (first) {
    case 'l':
    case 'c':
    case 'z':
    case 'p':
    case 'm':
    case '#':
    case 'h':
        return true;
    default:
        return false;
    }
}

} // namespace

void ApplyExchangeTokens(const TLineTokens& t) {
    if (t.Count == 1 && t[0].empty()) return;
    const std::string_view key = t[0];
    // A file name line may begin with anything, so "file=" is looked for first.
    const bool fileName = key.size() >= 5 && key.find("file=") != std::string_view::npos;
    if (!fileName && !StartsLikeKeyword(key)) {
        if (t.Count == 4) StoreLineSegment(t);
        return;
    }
    const char first = key[0];
    // No header or attribute keyword is a text keyword, so a text line can skip their rules.
    if (t.Count >= 6) {
        if (const int32_t kind = TextKindOf(key); kind >= 0) {
            StoreText(t, kind);
            return;
        }
    }
    if ((fileName || MayBeHeaderLine(first)) && ApplyHeaderLine(t)) return;
    if (MayBeAttributeLine(first) && ApplyAttributeLine(t)) return;
    ApplyEntityLine(t);
}

void ParseExchangeLine(std::string_view line) {
    std::string& scratch = LineScratch();
    try {
        if (scratch.size() < line.size()) scratch.resize(line.size());
        TLineTokens tokens;
        TokenizeExchangeLine(line, scratch.data(), tokens);
        ApplyExchangeTokens(tokens);
    } catch (const std::bad_alloc&) {
        // Out of memory drops this line only; the reader reports it as a failed read.
    }
}
