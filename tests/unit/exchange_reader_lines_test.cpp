// Header, attribute, indicated-point and entity-number lines of the exchange file.
#include <gtest/gtest.h>

#include "exchange/JwwGaibu.h"
#include "test_support.h"

namespace {

class ExchangeReaderLines : public ExchangeTest {
  protected:
    void TearDown() override { FreeExchangeData(); }
    static void Lines(std::initializer_list<std::string_view> lines) {
        for (std::string_view line : lines) ParseExchangeLine(line);
    }
    const THostParameters& host = HostParameters();
    const TAttributeState& state = AttributeState();
};

} // namespace

TEST_F(ExchangeReaderLines, StartsFromTheDefaults) {
    EXPECT_EQ(host.GroupScale[0], 1);
    EXPECT_EQ(host.GroupScale[15], 1);
    EXPECT_EQ(host.TextTypes[10].Width, 3);
    EXPECT_EQ(host.TextTypes[1].Color, 2);
    EXPECT_EQ(host.Points.size(), 100u);
    EXPECT_EQ(host.LayerNames.size(), 256u);
    EXPECT_EQ(host.GroupNames.size(), 16u);
    EXPECT_EQ(state.FontName, "<ＭＳ ゴシック>");
    EXPECT_EQ(state.FontName, "\x3C\x82\x6C\x82\x72\x20\x83\x53\x83\x56\x83\x62\x83\x4E\x3E");
    for (bool force : state.Force) EXPECT_TRUE(force);
    EXPECT_EQ(EntityOrderCount(), 0);
}

TEST_F(ExchangeReaderLines, ReadsTheHeaderLines) {
    Lines(
        {"hq", "file=C:\\work\\plan a.jww", "hk 30", "hs 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 1e+06",
         "hzs 420 297", "hcw 1 2 3 4 5 6 7 8 9 10", "hch 1 1 1 1 1 1 1 1 1 2.5", "hcd 0 0 0 0 0 0 0 0 0 0.5",
         "hcc      1      1      2      2      3      3      4      4      5      6", "bz", "hn -1 -2 3 4"});
    EXPECT_EQ(host.DrawingFileName, "C:\\work\\plan a.jww");
    EXPECT_EQ(host.AxisAngle, 30);
    EXPECT_EQ(host.GroupScale[0], 1);
    EXPECT_EQ(host.GroupScale[14], 15);
    EXPECT_EQ(host.GroupScale[15], 1000000);
    EXPECT_EQ(host.PaperWidth, 420);
    EXPECT_EQ(host.PaperHeight, 297);
    EXPECT_EQ(host.TextTypes[1].Width, 1);
    EXPECT_EQ(host.TextTypes[10].Width, 10);
    EXPECT_EQ(host.TextTypes[10].Height, 2.5);
    EXPECT_EQ(host.TextTypes[10].Spacing, 0.5);
    EXPECT_EQ(host.TextTypes[10].Color, 6);
    EXPECT_EQ(host.TextTypes[0].Width, 3);
    EXPECT_TRUE(host.BzFlag);
    EXPECT_EQ(host.HnValues[0], -1);
    EXPECT_EQ(host.HnValues[3], 4);
}

TEST_F(ExchangeReaderLines, IgnoresHeaderLinesWithTooFewValues) {
    Lines({"hk", "hs 2 2 2 2 2 2 2 2 2 2 2 2 2 2 2", "hzs 420", "hcw 9 9 9 9 9 9 9 9 9", "hn 1 2"});
    EXPECT_EQ(host.AxisAngle, 0);
    EXPECT_EQ(host.GroupScale[0], 1);
    EXPECT_EQ(host.PaperWidth, 1189);
    EXPECT_EQ(host.TextTypes[1].Width, 3);
    EXPECT_EQ(host.HnValues[0], 0);
    EXPECT_EQ(EntityOrderCount(), 0);
    // Four tokens that no keyword rule takes are a line segment, keyword or not.
    Lines({"hs 1 2 3"});
    ASSERT_EQ(EntityCount(ekLin), 1);
    EXPECT_EQ(LineEntity(0).X1, 0);
    EXPECT_EQ(LineEntity(0).Y1, 1);
    EXPECT_EQ(LineEntity(0).Y2, 3);
}

TEST_F(ExchangeReaderLines, FirstLineOfEachAttributeIsTheHosts) {
    Lines({"lg3 1", "lgnWalls", "ly2 5", "lynDoors", "lc5", "lt2", "lw4", "lgA", "lyf", "lc7", "lt3", "lw1"});
    EXPECT_EQ(host.HostLayerGroup, 3);
    EXPECT_EQ(host.HostLayer, 2);
    EXPECT_EQ(host.HostLineColor, 5);
    EXPECT_EQ(host.HostLineType, 2);
    EXPECT_EQ(host.HostLineWidth, 4);
    EXPECT_TRUE(host.LineWidthSeen);
    EXPECT_EQ(host.GroupValues[3], 1);
    EXPECT_EQ(host.GroupNames[3], "Walls");
    EXPECT_EQ(host.LayerValues[3 * 16 + 2], 5);
    EXPECT_EQ(host.LayerNames[3 * 16 + 2], "Doors");
    EXPECT_EQ(state.LayerGroup, 10);
    EXPECT_EQ(state.Layer, 15);
    EXPECT_EQ(state.LineColor, 7);
    EXPECT_EQ(state.LineType, 3);
    EXPECT_EQ(state.LineWidth, 1);
    for (int k = akLayerGroup; k <= akLineWidth; ++k) EXPECT_FALSE(state.Force[k]) << k;
    EXPECT_TRUE(state.Force[akTextType]);
}

TEST_F(ExchangeReaderLines, LayerDigitOutsideHexReadsAsZero) {
    Lines({"lgZ"});
    EXPECT_EQ(state.LayerGroup, 0);
    Lines({"lgb"});
    EXPECT_EQ(state.LayerGroup, 11);
    Lines({"lg"});
    EXPECT_EQ(state.LayerGroup, 0);
    Lines({"ly\x82\xA0"});
    EXPECT_EQ(state.Layer, 0);
    Lines({"lyF 9"});
    EXPECT_EQ(state.Layer, 15);
    EXPECT_EQ(host.LayerValues[15], 9);
}

TEST_F(ExchangeReaderLines, ColourTenCarriesTheSolidColour) {
    Lines({"lc10 7"});
    EXPECT_EQ(state.SolidColor, 7);
    Lines({"lc10"});
    EXPECT_EQ(state.SolidColor, 7);
    Lines({"lc3 9"});
    EXPECT_EQ(state.SolidColor, 7);
    EXPECT_EQ(state.LineColor, 3);
}

TEST_F(ExchangeReaderLines, FirstTextTypeLineIsTheHosts) {
    Lines({"cn0 2.5 2.5 0.5 3"});
    EXPECT_EQ(host.HostTextType, 0);
    EXPECT_EQ(host.HostFreeText.Width, 2.5);
    EXPECT_EQ(host.HostFreeText.Spacing, 0.5);
    EXPECT_EQ(host.HostFreeText.Color, 3);
    EXPECT_EQ(state.FreeText.Height, 2.5);
    EXPECT_EQ(state.FreeText.Color, 3);

    InitExchangeData();
    Lines({"cn3", "cn0 4 4 1 2"});
    EXPECT_EQ(host.HostTextType, 3);
    EXPECT_EQ(host.HostFreeText.Width, 2);
    EXPECT_EQ(host.HostFreeText.Color, 1);
    EXPECT_EQ(state.TextType, 0);
    EXPECT_EQ(state.FreeText.Width, 4);
    EXPECT_EQ(state.FreeText.Spacing, 1);
    EXPECT_EQ(state.FreeText.Color, 2);

    InitExchangeData();
    Lines({"cn0"});
    EXPECT_EQ(host.HostTextType, 0);
    EXPECT_EQ(host.HostFreeText.Width, 2);
    EXPECT_FALSE(state.Force[akTextType]);
}

TEST_F(ExchangeReaderLines, HostFontIsTheFirstNonEmptyName) {
    Lines({"cn$", "cn\"$<ＭＳ 明朝>", "cn$Arial"});
    EXPECT_EQ(host.HostFontName, "<ＭＳ 明朝>");
    EXPECT_EQ(state.FontName, "Arial");
    // The font line is no text-type line.
    EXPECT_TRUE(state.Force[akTextType]);
}

TEST_F(ExchangeReaderLines, SmallAttributeLines) {
    Lines({"cc5"});
    EXPECT_EQ(state.CcCode, 5);
    Lines({"cc9"});
    EXPECT_EQ(state.CcCode, 0);
    Lines({"cc8", "cc"});
    EXPECT_EQ(state.CcCode, 0);
    Lines({"pn4"});
    EXPECT_EQ(state.PnColor, 4);
    Lines({"z1", "z3", "z3", "z5"});
    EXPECT_EQ(state.ZFlags, 1 + 4 + 16);
    Lines({"z6", "Z2", "z2x"});
    EXPECT_EQ(state.ZFlags, 1 + 4 + 16);
}

TEST_F(ExchangeReaderLines, PolylineAndDimensionSwitches) {
    Lines({"pl"});
    EXPECT_TRUE(state.InPolyline);
    EXPECT_EQ(state.PolylineCount, 1);
    Lines({"msg"});
    EXPECT_FALSE(state.InPolyline);
    EXPECT_TRUE(state.DimensionPending);
    Lines({"lgnX", "lynY", "z1", "hp1 1 2", "hhp3", "hk 5"});
    EXPECT_TRUE(state.DimensionPending);
    Lines({"lc2"});
    EXPECT_TRUE(state.DimensionPending);
    Lines({"pl"});
    EXPECT_FALSE(state.DimensionPending);
    EXPECT_EQ(state.PolylineCount, 2);
    Lines({"msg", "# comment words"});
    EXPECT_FALSE(state.DimensionPending);
    for (std::string_view off : {"lg1", "ly1", "lc1", "lt1", "lw1", "cn$x", "cn1", "cc1", "pn1", "#"}) {
        Lines({"pl", off});
        EXPECT_FALSE(state.InPolyline) << off;
    }
}

TEST_F(ExchangeReaderLines, IndicatedPointsByNumberAndSuffix) {
    Lines({"hp1ln 100 200", "hp12- 5 6", "hp3ci 7 8", "hp4ch 9 10", "hp99 1 -1",
           "hp2   -40496.8595011236 19256.2733412202", "hp1-  34262.8515141222 19199.8914568925"});
    EXPECT_TRUE(host.Points[12].IsSet);
    EXPECT_EQ(host.Points[12].X, 5);
    EXPECT_EQ(host.Points[12].Y, 6);
    EXPECT_EQ(host.Points[12].Kind, 1);
    EXPECT_EQ(host.Points[3].Kind, 3);
    EXPECT_EQ(host.Points[4].Kind, 4);
    EXPECT_EQ(host.Points[4].Y, 10);
    EXPECT_EQ(host.Points[99].Kind, 0);
    EXPECT_EQ(host.Points[2].X, -40496.8595011236);
    EXPECT_EQ(host.Points[2].Kind, 0);
    EXPECT_EQ(host.Points[1].X, 34262.8515141222);
    EXPECT_EQ(host.Points[1].Kind, 1);
    EXPECT_EQ(host.PointCount, 7);
}

TEST_F(ExchangeReaderLines, IgnoresIndicatedPointsOutOfRange) {
    Lines({"hp0 1 2", "hp100 1 2", "hp 1 2", "hp- 1 2", "hpx 1 2", "hp1 5"});
    EXPECT_EQ(host.PointCount, 0);
    EXPECT_FALSE(host.Points[1].IsSet);
    EXPECT_FALSE(host.Points[0].IsSet);
    EXPECT_EQ(EntityOrderCount(), 0);
}

TEST_F(ExchangeReaderLines, EntityNumberWithSuffix) {
    Lines({"hhp7ci"});
    EXPECT_EQ(state.HhpNumber, 7);
    Lines({"hhp25ln 3"});
    EXPECT_EQ(state.HhpNumber, 25);
    Lines({"hhp31"});
    EXPECT_EQ(state.HhpNumber, 31);
    Lines({"hhpch"});
    EXPECT_EQ(state.HhpNumber, 0);
}

TEST_F(ExchangeReaderLines, MalformedNumbersReadAsZero) {
    Lines({"hk 1e999", "hzs nan 12x"});
    EXPECT_EQ(host.AxisAngle, 0);
    EXPECT_EQ(host.PaperWidth, 0);
    EXPECT_EQ(host.PaperHeight, 0);
}
