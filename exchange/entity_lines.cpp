// Builds the entity records from their lines: segments, circles, arcs, texts, points, blocks, solids.
#include <algorithm>
#include <cstring>

#include "exchange/entity_store.h"
#include "exchange/entity_store_access.h"
#include "exchange/token_numbers.h"
#include "util/MyFunc.h"

namespace {

double Real(const TLineTokens& t, int32_t i) {
    return TokenToReal(t[i]);
}

// Every stored entity consumes the "hhp" number and the z flags that were meant for it.
void EndEntity(bool endsGroups) {
    TAttributeState& a = AttributeState();
    a.ZFlags = 0;
    a.HhpNumber = 0;
    if (endsGroups) {
        a.InPolyline = false;
        a.DimensionPending = false;
    }
}

void CopyCut(TRecordText& field, std::string_view text) {
    const size_t n = std::min<size_t>(text.size(), kMaxRecordText);
    if (n > 0) std::memcpy(field.Bytes, text.data(), n);
    field.Length = static_cast<uint8_t>(n);
}

void FillText(TJwwEntTxt& txt, const TLineTokens& t, int32_t kind) {
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
    CopyCut(txt.FontName, a.FontName);
    CopyCut(txt.Text, t[5]);
}

} // namespace

void StoreLineSegment(const TLineTokens& t) {
    TAttributeState& a = AttributeState();
    // After "msg" the host sends the dimension line as a bare segment; it waits for its "cs" text.
    TJwwEntLin& line = a.DimensionPending ? MutablePendingDimensionLine() : AddLineRecord();
    if (a.DimensionPending) FillEntityHead(line.Head);
    line.PolylineNo = !a.DimensionPending && a.InPolyline ? a.PolylineCount : 0;
    line.X1 = Real(t, 0);
    line.Y1 = Real(t, 1);
    line.X2 = Real(t, 2);
    line.Y2 = Real(t, 3);
    EndEntity(false);
}

void StoreCircle(const TLineTokens& t) {
    TJwwEntCir& c = AddCircleRecord();
    c.X = Real(t, 1);
    c.Y = Real(t, 2);
    c.Radius = Real(t, 3);
    EndEntity(true);
}

void StoreArc(const TLineTokens& t) {
    TJwwEntArc& arc = AddArcRecord();
    arc.X = Real(t, 1);
    arc.Y = Real(t, 2);
    arc.Radius = Real(t, 3);
    for (int32_t i = 0; i < 4; ++i) arc.Values[i] = Real(t, 4 + i);
    EndEntity(true);
}

void StoreText(const TLineTokens& t, int32_t kind) {
    if (kind == 2 && AttributeState().DimensionPending) {
        TJwwEntDim& dim = AddDimensionRecord();
        dim.Line = PendingDimensionLine();
        dim.Line.PolylineNo = 0;
        FillEntityHead(dim.Text.Head);
        FillText(dim.Text, t, kind);
    } else {
        FillText(AddTextRecord(), t, kind);
    }
    EndEntity(true);
}

void StorePoint(const TLineTokens& t) {
    TJwwEntPnt& p = AddPointRecord();
    p.Head.Color = AttributeState().PnColor;
    p.X = Real(t, 1);
    p.Y = Real(t, 2);
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
    const int32_t color = AttributeState().SolidColor;
    switch (kind) {
    case ekSc: {
        TJwwEntSc& s = AddScRecord();
        s.SolidColor = color;
        for (int32_t i = 0; i < 7; ++i) s.Values[i] = Real(t, 1 + i);
        s.Code = TextToInt(t[8]);
        break;
    }
    case ekSe: {
        TJwwEntSe& s = AddSeRecord();
        s.SolidColor = color;
        for (int32_t i = 0; i < 7; ++i) s.Values[i] = Real(t, 1 + i);
        s.Code = TextToInt(t[8]);
        break;
    }
    case ekSo: {
        TJwwEntSo& s = AddSoRecord();
        s.SolidColor = color;
        for (int32_t i = 0; i < 8; ++i) s.Values[i] = Real(t, 1 + i);
        break;
    }
    default: {
        TJwwEntSg& s = AddSgRecord();
        s.SolidColor = color;
        for (int32_t i = 0; i < 8; ++i) s.Values[i] = Real(t, 1 + i);
        break;
    }
    }
    EndEntity(true);
}
