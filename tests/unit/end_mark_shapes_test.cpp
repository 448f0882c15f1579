// The mark shapes' one table: each end-mark kind's own drawing, and the frame the dialog's pictures
// of them fit in.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <set>
#include <string>

#include "tool/end_mark_shapes.h"

namespace {

std::string Number(double v) {
    char text[32];
    std::snprintf(text, sizeof text, "%.3f", v);
    std::string s = text;
    while (s.back() == '0') s.pop_back();
    if (s.back() == '.') s.pop_back();
    return s == "-0" ? "0" : s;
}

// A shape as one line of text: each part's kind, fill and points (or radius).
std::string Describe(std::span<const TShapePart> shape) {
    static const char* const kinds[] = {"stroke", "polyline", "polygon", "circle", "curve"};
    static const char* const fills[] = {"", " paper", " ink"};
    std::string text;
    for (const TShapePart& part : shape) {
        if (!text.empty()) text += " | ";
        text += kinds[static_cast<int>(part.Kind)];
        text += fills[static_cast<int>(part.Fill)];
        if (part.Kind == TShapePartKind::Circle) text.append(" r").append(Number(part.Radius));
        for (TShapePoint p : part.Points)
            text.append(" ").append(Number(p.X)).append(",").append(Number(p.Y));
    }
    return text;
}

TEST(EndMarkShapes, GiveEachKindItsOwnDrawing) {
    const char* const expected[kEndMarkKinds] = {
        "stroke 0,0 -2.898,0.776 | stroke 0,0 -2.898,-0.776", // 線矢印: two lines, 3 mm at 15°
        "polygon paper 0,0 -7.5,1.25 -7.5,-1.25",             // △ blanked arrow: covers the line
        "polygon paper -1.25,-1.25 1.25,-1.25 1.25,1.25 -1.25,1.25",
        "circle paper r1.25",
        "circle r1.25 | circle ink r0.3",
        "polygon ink -1.25,-1.25 1.25,-1.25 1.25,1.25 -1.25,1.25",
        "polygon ink 0,0 -7.5,1.25 -7.5,-1.25",
        "circle ink r1.25",
        "curve -1.25,-1.25 0.5,-2 -0.5,2 1.25,1.25",
        "polyline -7.5,1.25 0,0 -7.5,-1.25",
        "stroke -1.25,-1.25 1.25,1.25",
        "polygon 0,0 -7.5,1.25 -7.5,-1.25", // △ unfilled arrow: the line shows through
    };
    std::set<std::string> seen;
    for (int kind = 0; kind < kEndMarkKinds; ++kind) {
        const std::string drawing = Describe(EndMarkShape(kind));
        EXPECT_EQ(drawing, expected[kind]) << "kind " << kind;
        EXPECT_TRUE(seen.insert(drawing).second) << "kind " << kind << " draws like another kind";
    }
    EXPECT_TRUE(EndMarkShape(-1).empty());
    EXPECT_TRUE(EndMarkShape(kEndMarkKinds).empty());
    // The point-marker kinds are the host's markers of the same code; code 0 and codes past the
    // host's range name none.
    for (int kind = 1; kind < kEndMarkKinds; ++kind)
        EXPECT_EQ(EndMarkShape(kind).data(), MarkerShape(kind).data()) << kind;
    for (int code : {-8, 0, 12}) EXPECT_TRUE(MarkerShape(code).empty()) << code;
    for (int code = -7; code <= -1; ++code) EXPECT_FALSE(MarkerShape(code).empty()) << code;
}

// The dialog scales every picture by the same frame: a part outside it would be cut off.
TEST(EndMarkShapes, FitThePictureFrame) {
    const TShapeBounds& frame = kEndMarkPictureBounds;
    const auto inside = [&](double x, double y) {
        return x >= frame.Left && x <= frame.Right && y >= frame.Bottom && y <= frame.Top;
    };
    for (int kind = 0; kind < kEndMarkKinds; ++kind)
        for (const TShapePart& part : EndMarkShape(kind)) {
            if (part.Kind == TShapePartKind::Circle) {
                EXPECT_TRUE(inside(-part.Radius, -part.Radius) && inside(part.Radius, part.Radius)) << kind;
            } else if (part.Kind == TShapePartKind::Curve) {
                const TShapePoint* p = part.Points.data();
                for (int step = 0; step <= 100; ++step) {
                    const double t = step / 100.0, u = 1 - t;
                    const double x = u * u * u * p[0].X + 3 * u * u * t * p[1].X + 3 * u * t * t * p[2].X +
                                     t * t * t * p[3].X;
                    const double y = u * u * u * p[0].Y + 3 * u * u * t * p[1].Y + 3 * u * t * t * p[2].Y +
                                     t * t * t * p[3].Y;
                    EXPECT_TRUE(inside(x, y)) << kind << " at t=" << t;
                }
            } else {
                for (TShapePoint p : part.Points) EXPECT_TRUE(inside(p.X, p.Y)) << kind;
            }
        }
    // Some dimension line shows behind the longest arrow.
    EXPECT_LT(frame.Left, -kMarkerArrowLength);
}

} // namespace
