// Builds the entity records from their lines: segments, circles, arcs, texts, points, blocks, solids.
#include <algorithm>
#include <cstring>
#include <tuple>

#include "exchange/reader/entity_lines.h"
#include "exchange/reader/token_numbers.h"
#include "exchange/store/entity_store.h"
#include "util/MyFunc.h"

namespace {

double Real(const TLineTokens& t, int32_t i) {
    return TokenToReal(t[i]);
}

// The texts go into the arena before the record is made, so that a failed allocation leaves no
// half-made record behind.
struct TKeptTexts {
    TRecordText FontName, Text;
};

void FillText(TJwwEntTxt& txt, const TLineTokens& t, int32_t kind, const TKeptTexts& kept) {
    const TAttributeState& a = AttributeState();
    txt.Kind = kind;
    txt.CcCode = a.CcCode;
    txt.TextType = a.TextType;
    const TTextTypeSize& size =
        a.TextType >= 1 && a.TextType <= 10 ? HostParameters().TextTypes[a.TextType] : a.FreeText;
    txt.Width = size.Width;
    txt.Height = size.Height;
    txt.Spacing = size.Spacing;
    txt.Head.Color = size.Color;
    txt.X = Real(t, 1);
    txt.Y = Real(t, 2);
    txt.Dx = Real(t, 3);
    txt.Dy = Real(t, 4);
    txt.FontName = kept.FontName;
    txt.Text = kept.Text;
}

// "sc" and "se" carry seven values and a code, "so" and "sg" eight values.
template <class T> void FillValueSolid(T& s, const TLineTokens& t) {
    constexpr int32_t kValues = static_cast<int32_t>(std::tuple_size_v<decltype(s.Values)>);
    s.SolidColor = AttributeState().SolidColor;
    for (int32_t i = 0; i < kValues; ++i) s.Values[i] = Real(t, 1 + i);
    if constexpr (requires { s.Code; }) s.Code = TextToInt(t[1 + kValues]);
}

} // namespace

void EndEntity(bool endsGroups) {
    TAttributeState& a = AttributeState();
    a.ZFlags = 0;
    a.HhpNumber = 0;
    if (endsGroups) {
        a.InPolyline = false;
        a.DimensionPending = false;
    }
}

void StoreLineSegment(const TLineTokens& t) {
    StoreSegment(Real(t, 0), Real(t, 1), Real(t, 2), Real(t, 3));
}

void StoreSegment(double x1, double y1, double x2, double y2) {
    TAttributeState& a = AttributeState();
    // After "msg" the host sends the dimension line as a bare segment; it waits for its "cs" text.
    TJwwEntLin& line = a.DimensionPending ? MutablePendingDimensionLine() : AddLineRecord();
    if (a.DimensionPending) FillEntityHead(line.Head);
    line.PolylineNo = !a.DimensionPending && a.InPolyline ? a.PolylineCount : 0;
    line.X1 = x1;
    line.Y1 = y1;
    line.X2 = x2;
    line.Y2 = y2;
    EndEntity(false);
}

void StoreCircle(const TLineTokens& t) {
    StoreCircle(Real(t, 1), Real(t, 2), Real(t, 3));
}

void StoreCircle(double x, double y, double radius) {
    TJwwEntCir& c = AddCircleRecord();
    c.X = x;
    c.Y = y;
    c.Radius = radius;
    EndEntity(true);
}

void StoreArc(const TLineTokens& t) {
    double v[7];
    for (int32_t i = 0; i < 7; ++i) v[i] = Real(t, 1 + i);
    StoreArc(v);
}

void StoreArc(const double (&v)[7]) {
    TJwwEntArc& arc = AddArcRecord();
    arc.X = v[0];
    arc.Y = v[1];
    arc.Radius = v[2];
    for (int32_t i = 0; i < 4; ++i) arc.Values[i] = v[3 + i];
    EndEntity(true);
}

void StoreText(const TLineTokens& t, int32_t kind) {
    const TRecordText font = KeepFontName(AttributeState().FontName);
    if (kind == 2 && AttributeState().DimensionPending) {
        const TKeptTexts kept{font, KeepRecordText(t[5])};
        TJwwEntDim& dim = AddDimensionRecord();
        dim.Line = PendingDimensionLine();
        dim.Line.PolylineNo = 0;
        FillEntityHead(dim.Text.Head);
        FillText(dim.Text, t, kind, kept);
    } else {
        // The store copies the text itself; until then the record points into the line.
        const std::string_view text = t[5].substr(0, kMaxRecordText);
        TJwwEntTxt txt;
        FillEntityHead(txt.Head);
        FillText(txt, t, kind, TKeptTexts{font, TRecordText{text.data(), static_cast<uint8_t>(text.size())}});
        AddTextRecord(txt);
    }
    EndEntity(true);
}

void StorePoint(const TLineTokens& t) {
    StorePoint(Real(t, 1), Real(t, 2));
}

void StorePoint(double x, double y) {
    TJwwEntPnt& p = AddPointRecord();
    p.Head.Color = AttributeState().PnColor;
    p.X = x;
    p.Y = y;
    EndEntity(true);
}

void StoreMarker(const TLineTokens& t) {
    TJwwEntMrk& m = AddMarkerRecord();
    m.Head.Color = AttributeState().PnColor;
    m.X = Real(t, 1);
    m.Y = Real(t, 2);
    m.Scale = Real(t, 3);
    m.Angle = Real(t, 4);
    m.Code = TextToInt(t[5]);
    EndEntity(true);
}

void StoreBlock(const TLineTokens& t) {
    // The name is built before the record so that a failed allocation leaves no half-made entry.
    std::string name(t[3]);
    TJwwEntBlk& b = AddBlockRecord();
    b.X = Real(t, 1);
    b.Y = Real(t, 2);
    b.Name = std::move(name);
    EndEntity(true);
}

void StoreValueSolid(const TLineTokens& t, TEntityKind kind) {
    switch (kind) {
    case ekSc:
        FillValueSolid(AddScRecord(), t);
        break;
    case ekSe:
        FillValueSolid(AddSeRecord(), t);
        break;
    case ekSo:
        FillValueSolid(AddSoRecord(), t);
        break;
    default:
        FillValueSolid(AddSgRecord(), t);
        break;
    }
    EndEntity(true);
}
