// "sl" solids: corners that coincide reduce a four- or three-corner solid to fewer corners.
#include <cmath>

#include "exchange/reader/entity_lines.h"
#include "exchange/reader/token_numbers.h"
#include "exchange/store/entity_store.h"
#include "util/MyFunc.h"

namespace {

struct TCorner {
    double X = 0, Y = 0;
};

bool SameCorner(const TCorner& a, const TCorner& b) {
    return std::abs(a.X - b.X) <= kGeometryTolerance<double> &&
           std::abs(a.Y - b.Y) <= kGeometryTolerance<double>;
}

void AddSolid2(const TCorner& p, const TCorner& q) {
    TJwwEntSl2& s = AddSolid2Record();
    s.SolidColor = AttributeState().SolidColor;
    s.X1 = p.X, s.Y1 = p.Y, s.X2 = q.X, s.Y2 = q.Y;
}

void AddSolid3(const TCorner& p, const TCorner& q, const TCorner& r) {
    TJwwEntSl3& s = AddSolid3Record();
    s.SolidColor = AttributeState().SolidColor;
    s.X1 = p.X, s.Y1 = p.Y, s.X2 = q.X, s.Y2 = q.Y, s.X3 = r.X, s.Y3 = r.Y;
}

void AddSolid4(const TCorner& p, const TCorner& q, const TCorner& r, const TCorner& s4) {
    TJwwEntSl4& s = AddSolid4Record();
    s.SolidColor = AttributeState().SolidColor;
    s.X1 = p.X, s.Y1 = p.Y, s.X2 = q.X, s.Y2 = q.Y, s.X3 = r.X, s.Y3 = r.Y, s.X4 = s4.X, s.Y4 = s4.Y;
}

void AddThreeCornerSolid(const TCorner& p1, const TCorner& p2, const TCorner& p3) {
    if (SameCorner(p1, p2))
        AddSolid2(p1, p3);
    else if (SameCorner(p2, p3))
        AddSolid2(p1, p2);
    else
        AddSolid3(p1, p2, p3);
}

void AddFourCornerSolid(const TCorner& p1, const TCorner& p2, const TCorner& p3, const TCorner& p4) {
    const bool e12 = SameCorner(p1, p2), e13 = SameCorner(p1, p3), e14 = SameCorner(p1, p4);
    const bool e23 = SameCorner(p2, p3), e24 = SameCorner(p2, p4), e34 = SameCorner(p3, p4);
    if (e12 && e13)
        AddSolid2(p1, p4);
    else if (e23 && e24)
        AddSolid2(p1, p2);
    else if (e12 && e34)
        AddSolid2(p1, p3);
    else if (e14 || e24 || e34)
        AddSolid3(p1, p2, p3);
    else if (e13 || e23)
        AddSolid3(p1, p2, p4);
    else if (e12)
        AddSolid3(p1, p3, p4);
    else
        AddSolid4(p1, p2, p3, p4);
}

} // namespace

void StoreSlSolid(const TLineTokens& t) {
    TCorner p[4];
    for (int32_t i = 0; i < 4; ++i) p[i] = TCorner{TokenToReal(t[1 + 2 * i]), TokenToReal(t[2 + 2 * i])};
    if (t.Count == 5)
        AddSolid2(p[0], p[1]);
    else if (t.Count == 7)
        AddThreeCornerSolid(p[0], p[1], p[2]);
    else
        AddFourCornerSolid(p[0], p[1], p[2], p[3]);
    EndEntity(true);
}
