// Everything a read leaves, every value bit for bit, in one string: two reads of the same bytes (line by
// line, in blocks of any size, by the quick paths or the general one) must give the same string. And
// the check that the store is whole, whatever stopped the reading.
#pragma once

#include <bit>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "exchange/JwwGaibu.h"

// The fuzzer measures the code under test, not its own checks: they get no coverage counters, which
// would cost time on every input and add nothing to find.
#if defined(__clang__)
#define TARVEL_NOT_FUZZED __attribute__((no_sanitize("coverage")))
#else
#define TARVEL_NOT_FUZZED
#endif

namespace store_fingerprint {

struct TWriter {
    std::string Out;
    template <class T> void Raw(const T& v) { Out.append(reinterpret_cast<const char*>(&v), sizeof v); }
    void Values(std::initializer_list<double> values) {
        for (double v : values) Raw(v);
    }
    template <size_t N> void Values(const std::array<double, N>& values) {
        for (double v : values) Raw(v);
    }
    void Text(std::string_view text) {
        Raw(text.size());
        Out += text;
    }
    void Head(const TJwwEntHead& h) {
        for (int32_t v : {h.HhpNumber, h.LayerGroup, h.Layer, h.Color, h.LineType, h.LineWidth, h.ZFlags})
            Raw(v);
    }
    void Line(const TJwwEntLin& l) {
        Head(l.Head);
        Raw(l.PolylineNo);
        Values({l.X1, l.Y1, l.X2, l.Y2});
    }
    void Txt(const TJwwEntTxt& t) {
        Head(t.Head);
        for (int32_t v : {t.Kind, t.CcCode, t.TextType}) Raw(v);
        Values({t.Width, t.Height, t.Spacing, t.X, t.Y, t.Dx, t.Dy});
        Text(t.FontName.View());
        Text(t.Text.View());
    }
    void Size(const TTextTypeSize& s) {
        Values({s.Width, s.Height, s.Spacing});
        Raw(s.Color);
    }
    template <class T> void Solid(const T& s) {
        Head(s.Head);
        Raw(s.SolidColor);
        Values(s.Values);
    }
};

// One record of every kind, in file order, then the host parameters and the running attributes.
TARVEL_NOT_FUZZED inline std::string StoreFingerprint() {
    TWriter w;
    for (int32_t i = 0; i < EntityOrderCount(); ++i) {
        const TEntityOrder o = EntityOrderAt(i);
        w.Raw(o.Kind);
        w.Raw(o.Index);
        switch (o.Kind) {
        case ekLin:
            w.Line(LineEntity(o.Index));
            break;
        case ekCir: {
            const TJwwEntCir& c = CircleEntity(o.Index);
            w.Head(c.Head);
            w.Values({c.X, c.Y, c.Radius});
            break;
        }
        case ekArc: {
            const TJwwEntArc& a = ArcEntity(o.Index);
            w.Head(a.Head);
            w.Values({a.X, a.Y, a.Radius});
            w.Values(a.Values);
            break;
        }
        case ekTxt:
            w.Txt(TextEntity(o.Index));
            break;
        case ekPnt: {
            const TJwwEntPnt& p = PointEntity(o.Index);
            w.Head(p.Head);
            w.Values({p.X, p.Y});
            break;
        }
        case ekMrk: {
            const TJwwEntMrk& m = MarkerEntity(o.Index);
            w.Head(m.Head);
            w.Values({m.X, m.Y, m.Scale, m.Angle});
            w.Raw(m.Code);
            break;
        }
        case ekDim: {
            const TJwwEntDim& d = DimensionEntity(o.Index);
            w.Head(d.Head);
            w.Line(d.Line);
            w.Txt(d.Text);
            break;
        }
        case ekBlk: {
            const TJwwEntBlk& b = BlockEntity(o.Index);
            w.Head(b.Head);
            w.Values({b.X, b.Y});
            w.Text(b.Name);
            break;
        }
        case ekSl2: {
            const TJwwEntSl2& s = Solid2Entity(o.Index);
            w.Head(s.Head);
            w.Raw(s.SolidColor);
            w.Values({s.X1, s.Y1, s.X2, s.Y2});
            break;
        }
        case ekSl3: {
            const TJwwEntSl3& s = Solid3Entity(o.Index);
            w.Head(s.Head);
            w.Raw(s.SolidColor);
            w.Values({s.X1, s.Y1, s.X2, s.Y2, s.X3, s.Y3});
            break;
        }
        case ekSl4: {
            const TJwwEntSl4& s = Solid4Entity(o.Index);
            w.Head(s.Head);
            w.Raw(s.SolidColor);
            w.Values({s.X1, s.Y1, s.X2, s.Y2, s.X3, s.Y3, s.X4, s.Y4});
            break;
        }
        case ekSc:
            w.Solid(ScEntity(o.Index));
            w.Raw(ScEntity(o.Index).Code);
            break;
        case ekSe:
            w.Solid(SeEntity(o.Index));
            w.Raw(SeEntity(o.Index).Code);
            break;
        case ekSo:
            w.Solid(SoEntity(o.Index));
            break;
        case ekSg:
            w.Solid(SgEntity(o.Index));
            break;
        }
    }
    for (int k = ekLin; k <= ekSg; ++k) w.Raw(EntityCount(static_cast<TEntityKind>(k)));
    w.Line(PendingDimensionLine());

    const THostParameters& h = HostParameters();
    w.Values({h.AxisAngle, h.PaperWidth, h.PaperHeight});
    w.Text(h.DrawingFileName);
    w.Values(h.GroupScale);
    w.Values(h.HnValues);
    for (const TTextTypeSize& s : h.TextTypes) w.Size(s);
    w.Raw(h.BzFlag);
    for (int32_t v : {h.HostLayerGroup, h.HostLayer, h.HostLineColor, h.HostLineType, h.HostLineWidth,
                      h.HostTextType, h.PointCount})
        w.Raw(v);
    w.Size(h.HostFreeText);
    w.Text(h.HostFontName);
    w.Raw(h.LineWidthSeen);
    // The tables are mostly at their defaults: only the entries that are not, each with its index.
    w.Raw(h.GroupValues.size());
    for (size_t i = 0; i < h.GroupValues.size(); ++i)
        if (h.GroupValues[i] != 0 || !h.GroupNames[i].empty()) {
            w.Raw(i);
            w.Raw(h.GroupValues[i]);
            w.Text(h.GroupNames[i]);
        }
    w.Raw(h.LayerValues.size());
    for (size_t i = 0; i < h.LayerValues.size(); ++i)
        if (h.LayerValues[i] != 0 || !h.LayerNames[i].empty()) {
            w.Raw(i);
            w.Raw(h.LayerValues[i]);
            w.Text(h.LayerNames[i]);
        }
    w.Raw(h.Points.size());
    for (size_t i = 0; i < h.Points.size(); ++i) {
        const TIndicatedPoint& p = h.Points[i];
        if (!p.IsSet && p.Kind == 0 && std::bit_cast<uint64_t>(p.X) == 0 && std::bit_cast<uint64_t>(p.Y) == 0)
            continue;
        w.Raw(i);
        w.Raw(p.IsSet);
        w.Values({p.X, p.Y});
        w.Raw(p.Kind);
    }

    const TAttributeState& a = AttributeState();
    for (int32_t v : {a.HhpNumber, a.LayerGroup, a.Layer, a.LineColor, a.LineType, a.LineWidth, a.TextType,
                      a.CcCode, a.ZFlags, a.PnColor, a.SolidColor, a.PolylineCount})
        w.Raw(v);
    w.Size(a.FreeText);
    w.Text(a.FontName);
    w.Raw(a.InPolyline);
    w.Raw(a.DimensionPending);
    for (bool force : a.Force) w.Raw(force);
    return w.Out;
}

// The store is whole: each kind holds no more than its capacity, and the order list names every record
// exactly once, each kind's records in the order they were made.
TARVEL_NOT_FUZZED inline bool OrderListNamesEveryRecordOnce() {
    int32_t total = 0;
    for (int k = ekLin; k <= ekSg; ++k) {
        const int32_t n = EntityCount(static_cast<TEntityKind>(k));
        if (n < 0 || n > EntityCapacity(static_cast<TEntityKind>(k))) return false;
        total += n;
    }
    if (total != EntityOrderCount()) return false;
    int32_t next[ekSg + 1] = {};
    for (int32_t i = 0; i < EntityOrderCount(); ++i) {
        const TEntityOrder o = EntityOrderAt(i);
        if (o.Kind < ekLin || o.Kind > ekSg || o.Index != next[o.Kind]++) return false;
    }
    return true;
}

} // namespace store_fingerprint

using store_fingerprint::OrderListNamesEveryRecordOnce;
using store_fingerprint::StoreFingerprint;
