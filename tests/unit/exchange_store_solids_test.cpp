// "sl" solids and how coinciding corners reduce them.
#include <gtest/gtest.h>

#include <string>

#include "exchange/JwwGaibu.h"

namespace {

// The kind and corners of the one solid an "sl" line stores, as "kind:x,y x,y ...".
std::string SolidOf(std::string_view line) {
    InitExchangeData();
    ParseExchangeLine(line);
    auto pt = [](double x, double y) {
        auto n = [](double v) { return std::to_string(static_cast<int>(v)); };
        return n(x) + "," + n(y);
    };
    std::string s;
    if (EntityCount(ekSl2) == 1) {
        const auto& r = Solid2Entity(0);
        s = "2:" + pt(r.X1, r.Y1) + " " + pt(r.X2, r.Y2);
    } else if (EntityCount(ekSl3) == 1) {
        const auto& r = Solid3Entity(0);
        s = "3:" + pt(r.X1, r.Y1) + " " + pt(r.X2, r.Y2) + " " + pt(r.X3, r.Y3);
    } else if (EntityCount(ekSl4) == 1) {
        const auto& r = Solid4Entity(0);
        s = "4:" + pt(r.X1, r.Y1) + " " + pt(r.X2, r.Y2) + " " + pt(r.X3, r.Y3) + " " + pt(r.X4, r.Y4);
    } else {
        s = "none";
    }
    if (EntityOrderCount() != (s == "none" ? 0 : 1)) s += " (order list wrong)";
    FreeExchangeData();
    return s;
}

} // namespace

TEST(ExchangeStoreSolids, TwoAndThreeCornerLines) {
    EXPECT_EQ(SolidOf("sl 0 0 1 1"), "2:0,0 1,1");
    EXPECT_EQ(SolidOf("sl 0 0 5 0 5 5"), "3:0,0 5,0 5,5");
    EXPECT_EQ(SolidOf("sl 0 0 0 0 5 5"), "2:0,0 5,5");
    EXPECT_EQ(SolidOf("sl 0 0 5 0 5 0"), "2:0,0 5,0");
    EXPECT_EQ(SolidOf("sl 0 0 5 0 0 0"), "3:0,0 5,0 0,0");
    // Within 1e-10 two corners are one.
    EXPECT_EQ(SolidOf("sl 0 0 0.00000000005 -0.00000000005 5 5"), "2:0,0 5,5");
    EXPECT_EQ(SolidOf("sl 0 0 0.0000000002 0 5 5"), "3:0,0 0,0 5,5");
}

TEST(ExchangeStoreSolids, FourCornerReductionsInOrder) {
    EXPECT_EQ(SolidOf("sl 1 1 1 1 1 1 7 8"), "2:1,1 7,8");     // P1 = P2 = P3
    EXPECT_EQ(SolidOf("sl 1 1 2 2 2 2 2 2"), "2:1,1 2,2");     // P2 = P3 = P4
    EXPECT_EQ(SolidOf("sl 0 0 0 0 5 5 5 5"), "2:0,0 5,5");     // P1 = P2, P3 = P4
    EXPECT_EQ(SolidOf("sl 0 0 5 0 5 5 0 0"), "3:0,0 5,0 5,5"); // P4 = P1
    EXPECT_EQ(SolidOf("sl 0 0 5 0 5 5 5 0"), "3:0,0 5,0 5,5"); // P4 = P2
    EXPECT_EQ(SolidOf("sl 0 0 5 0 5 5 5 5"), "3:0,0 5,0 5,5"); // P4 = P3
    EXPECT_EQ(SolidOf("sl 0 0 5 0 0 0 5 5"), "3:0,0 5,0 5,5"); // P3 = P1
    EXPECT_EQ(SolidOf("sl 0 0 5 0 5 0 5 5"), "3:0,0 5,0 5,5"); // P3 = P2
    EXPECT_EQ(SolidOf("sl 0 0 0 0 5 0 5 5"), "3:0,0 5,0 5,5"); // P2 = P1
    EXPECT_EQ(SolidOf("sl 0 0 5 0 5 5 0 5"), "4:0,0 5,0 5,5 0,5");
    EXPECT_EQ(SolidOf("sl 0 0 5 0 5 5 0 5 9 9"), "4:0,0 5,0 5,5 0,5");
}

TEST(ExchangeStoreSolids, OtherTokenCountsAreNoSolid) {
    EXPECT_EQ(SolidOf("sl 0 0 5 0 5"), "none");
    EXPECT_EQ(SolidOf("sl 0 0 5 0 5 5 0"), "none");
    EXPECT_EQ(SolidOf("sl 0 0"), "none");
}

TEST(ExchangeStoreSolids, TakeTheSolidColourAndEndGroups) {
    InitExchangeData();
    ParseExchangeLine("lc10 7");
    ParseExchangeLine("pl");
    ParseExchangeLine("z2");
    ParseExchangeLine("sl 0 0 1 1");
    ASSERT_EQ(EntityCount(ekSl2), 1);
    EXPECT_EQ(Solid2Entity(0).SolidColor, 7);
    EXPECT_EQ(Solid2Entity(0).Head.Color, 10);
    EXPECT_EQ(Solid2Entity(0).Head.ZFlags, 2);
    EXPECT_FALSE(AttributeState().InPolyline);
    EXPECT_EQ(AttributeState().ZFlags, 0);
    FreeExchangeData();
}
