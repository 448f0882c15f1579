// The value text of a dimension: number, unit, affixes, text type, angle, underline and leader.
#include <gtest/gtest.h>

#include <string>

#include "exchange/JwwGaibu.h"
#include "tool/value_text.h"

namespace {

TDimensionOptions Plain(int precision, int rounding = 2) {
    TDimensionOptions o;
    o.PrecisionIndex = precision;
    o.RoundingMode = rounding;
    return o;
}

TDimensionOptions With(TDimensionOptions o, auto change) {
    change(o);
    return o;
}

TEST(ValueText, BuildsNumberWithAffixesUnitAndSeparators) {
    const auto commasMm = With(Plain(2), [](auto& o) {
        o.ThousandsCommas = true;
        o.AppendUnit = true;
        o.Prefix = "L=";
    });
    const auto metres = With(Plain(3), [](auto& o) {
        o.UnitIndex = 1;
        o.AppendUnit = true;
    });
    const auto metresKeep = With(metres, [](auto& o) { o.ZeroDisplay = 1; });
    const auto fullWidth = With(Plain(1), [](auto& o) {
        o.FullWidthDigits = true;
        o.AppendUnit = true;
        o.ThousandsCommas = true;
        o.Prefix = "W";
        o.Suffix = "(参考)";
    });
    EXPECT_EQ(BuildValueText(1234.5678, commasMm), "L=1,234.57mm");
    EXPECT_EQ(BuildValueText(2500, metres), "2.5ｍ");
    EXPECT_EQ(BuildValueText(2500, metresKeep), "2.500ｍ");
    EXPECT_EQ(BuildValueText(1234.5, fullWidth), "W１，２３４．５mm(参考)");
    EXPECT_EQ(BuildValueText(100, Plain(0)), "100");
    EXPECT_EQ(BuildValueText(100, With(Plain(0), [](auto& o) { o.ZeroDisplay = 1; })), "100");
}

TEST(ValueText, RoundsByModeAtTheShownDecimal) {
    const auto keep = [](int mode) { return With(Plain(1, mode), [](auto& o) { o.ZeroDisplay = 1; }); };
    EXPECT_EQ(BuildValueText(12.305, keep(1)), "12.3"); // 123.05 + 0.9 stays below 124
    EXPECT_EQ(BuildValueText(12.34, keep(1)), "12.4");
    EXPECT_EQ(BuildValueText(12.39, keep(0)), "12.3");
    EXPECT_EQ(BuildValueText(12.25, keep(2)), "12.3");
    EXPECT_EQ(BuildValueText(12.24, keep(2)), "12.2");
    EXPECT_EQ(BuildValueText(2999.96, With(Plain(1), [](auto& o) { o.UnitIndex = 1; })), "3");
}

TEST(ValueText, CutsTrailingZerosOnlyAfterThePoint) {
    EXPECT_EQ(BuildValueText(12.5, Plain(3)), "12.5");
    EXPECT_EQ(BuildValueText(12, Plain(3)), "12");
    EXPECT_EQ(BuildValueText(10, Plain(1)), "10");
    EXPECT_EQ(BuildValueText(0.05, Plain(2)), "0.05");
    EXPECT_EQ(BuildValueText(1200, With(Plain(2), [](auto& o) { o.ThousandsCommas = true; })), "1,200");
    EXPECT_EQ(BuildValueText(1e15, Plain(8)), "1000000000000000");
    EXPECT_EQ(BuildValueText(1e15, With(Plain(8), [](auto& o) { o.ZeroDisplay = 1; })),
              "1000000000000000.00000000");
}

TEST(ValueText, KeepsALongTextWholeForTheUnderline) {
    // The command list cuts the written line at 255 bytes; the text itself and the underline's
    // width stay those of the whole text.
    const auto longPrefix = With(Plain(0), [](auto& o) {
        o.Prefix = std::string(254, 'A');
        o.FullWidthDigits = true;
    });
    EXPECT_EQ(BuildValueText(5, longPrefix), std::string(254, 'A') + "５");
}

TEST(ValueText, SelectsTheTextTypeOfTheListOrTheHost) {
    THostParameters host;
    host.TextTypes[4] = {4.5, 5, 0.5, 6};
    host.TextTypes[1] = {3, 3, 0, 2};
    host.HostFreeText = {2.5, 2.5, 0.25, 3};
    host.HostTextType = 4;
    const auto pick = [&](int index) {
        const TValueTextType t = SelectValueTextType(index, host);
        return std::to_string(t.Type) + " " + std::to_string(t.Size.Width) + " " +
               std::to_string(t.Size.Color);
    };
    EXPECT_EQ(pick(1), "1 3.000000 2");
    EXPECT_EQ(pick(4), "4 4.500000 6");
    EXPECT_EQ(pick(0), "4 4.500000 6");
    EXPECT_EQ(pick(11), "4 4.500000 6");
    EXPECT_EQ(pick(-1), "4 4.500000 6");
    host.HostTextType = 0;
    EXPECT_EQ(pick(0), "0 2.500000 3");
    host.HostTextType = 12;
    EXPECT_EQ(pick(0), "1 3.000000 2");
    host.HostTextType = -3;
    EXPECT_EQ(pick(0), "1 3.000000 2");
}

TEST(ValueText, NeverStandsUpsideDown) {
    EXPECT_EQ(ValueTextAngle(0), 0);
    EXPECT_EQ(ValueTextAngle(135), 315);
    EXPECT_EQ(ValueTextAngle(200), 20);
    EXPECT_EQ(ValueTextAngle(270), 90);
    EXPECT_EQ(ValueTextAngle(300), 300);
    EXPECT_EQ(ValueTextAngle(90), 90);
    EXPECT_EQ(ValueTextAngle(180), 0);
    EXPECT_EQ(ValueTextAngle(-90), 90);
    EXPECT_EQ(ValueTextAngle(90.5), 270.5);
}

TEST(ValueText, LeadsToTheUnderlineEndNearerTheMiddle) {
    const TPoint a1{0, 20}, a2{100, 20};
    const auto right = PlaceValueText(0, a1, a2, {120, 40}, 10, 0.5);
    const auto left = PlaceValueText(0, a1, a2, {10, 40}, 10, 0.5);
    const auto negativeGap = PlaceValueText(0, a1, a2, {120, 40}, 10, -0.5);
    const auto expect = [](const TSegment& s, double x1, double y1, double x2, double y2) {
        EXPECT_DOUBLE_EQ(s.From.X, x1);
        EXPECT_DOUBLE_EQ(s.From.Y, y1);
        EXPECT_DOUBLE_EQ(s.To.X, x2);
        EXPECT_DOUBLE_EQ(s.To.Y, y2);
    };
    expect(right.Underline, 119.5, 39.5, 130.5, 39.5);
    expect(right.Leader, 50, 20, 119.5, 39.5);
    expect(left.Underline, 9.5, 39.5, 20.5, 39.5);
    expect(left.Leader, 50, 20, 20.5, 39.5);
    expect(negativeGap.Underline, 120.5, 40.5, 129.5, 40.5);
    EXPECT_DOUBLE_EQ(right.Direction.X, 10);
    EXPECT_DOUBLE_EQ(right.Direction.Y, 0);
}

TEST(ValueText, TurnsTheUnderlineWithTheText) {
    // Axis 90: the text runs upward, so "below" the text is to its right.
    const auto up = PlaceValueText(90, {-20, 0}, {-20, 100}, {10, 30}, 10, 0.5);
    EXPECT_NEAR(up.Underline.From.X, 10.5, 1e-12);
    EXPECT_NEAR(up.Underline.From.Y, 29.5, 1e-12);
    EXPECT_NEAR(up.Underline.To.X, 10.5, 1e-12);
    EXPECT_NEAR(up.Underline.To.Y, 40.5, 1e-12);
    EXPECT_NEAR(up.Leader.To.Y, 40.5, 1e-12); // the text ends before the middle at y 50
    EXPECT_NEAR(up.Direction.X, 0, 1e-12);
    EXPECT_NEAR(up.Direction.Y, 10, 1e-12);
}

} // namespace
