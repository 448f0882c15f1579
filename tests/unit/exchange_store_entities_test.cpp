// Entities read from the exchange file: records, headers, order list, polylines and dimension entities.
#include <gtest/gtest.h>

#include <bit>
#include <limits>
#include <string>

#include "exchange/JwwGaibu.h"
#include "exchange/store/entity_store.h"
#include "test_support.h"

namespace {

class ExchangeStore : public ExchangeTest {
  protected:
    void TearDown() override { FreeExchangeData(); }
    static void Lines(std::initializer_list<std::string_view> lines) {
        for (std::string_view line : lines) ParseExchangeLine(line);
    }
    static std::string Order() {
        std::string s;
        for (int32_t i = 0; i < EntityOrderCount(); ++i) {
            s += '(';
            s += std::to_string(EntityOrderAt(i).Kind);
            s += ',';
            s += std::to_string(EntityOrderAt(i).Index);
            s += ')';
        }
        return s;
    }
};

} // namespace

TEST_F(ExchangeStore, SegmentTakesTheRunningAttributes) {
    Lines({"lg2", "ly5", "lc3", "lt4", "lw6", "hhp7ci", "z3", " -5000 0 5000 0.25", "0 0 100 0"});
    ASSERT_EQ(EntityCount(ekLin), 2);
    const TJwwEntLin& a = LineEntity(0);
    EXPECT_EQ(a.Head.HhpNumber, 7);
    EXPECT_EQ(a.Head.LayerGroup, 2);
    EXPECT_EQ(a.Head.Layer, 5);
    EXPECT_EQ(a.Head.Color, 3);
    EXPECT_EQ(a.Head.LineType, 4);
    EXPECT_EQ(a.Head.LineWidth, 6);
    EXPECT_EQ(a.Head.ZFlags, 4);
    EXPECT_EQ(a.X1, -5000);
    EXPECT_EQ(a.Y2, 0.25);
    EXPECT_EQ(LineEntity(1).Head.HhpNumber, 0);
    EXPECT_EQ(LineEntity(1).Head.ZFlags, 0);
    EXPECT_EQ(LineEntity(1).PolylineNo, 0);
    EXPECT_EQ(Order(), "(1,0)(1,1)");
}

TEST_F(ExchangeStore, PolylineNumbersLastUntilAnotherLineEndsThem) {
    Lines({"pl", "0 0 1 0", "1 0 1 1", "lc2", "1 1 0 1"});
    ASSERT_EQ(EntityCount(ekLin), 3);
    EXPECT_EQ(LineEntity(0).PolylineNo, 1);
    EXPECT_EQ(LineEntity(1).PolylineNo, 1);
    EXPECT_EQ(LineEntity(2).PolylineNo, 0);

    InitExchangeData();
    Lines({"pl", "0 0 1 0", "1 0 1 1", "pl", "1 1 0 1", "ci 0 0 5", "2 2 3 3"});
    EXPECT_EQ(LineEntity(0).PolylineNo, 1);
    EXPECT_EQ(LineEntity(1).PolylineNo, 1);
    EXPECT_EQ(LineEntity(2).PolylineNo, 2);
    EXPECT_EQ(LineEntity(3).PolylineNo, 0);
    EXPECT_EQ(Order(), "(1,0)(1,1)(1,2)(2,0)(1,3)");
}

TEST_F(ExchangeStore, DimensionEntityJoinsTheLineAndItsText) {
    Lines({"lc4", "msg", "hhp3", "0 0 100 0", "cs 50 5 1 0 \"100"});
    ASSERT_EQ(EntityCount(ekDim), 1);
    EXPECT_EQ(EntityCount(ekLin), 0);
    EXPECT_EQ(EntityCount(ekTxt), 0);
    EXPECT_EQ(Order(), "(7,0)");
    const TJwwEntDim& d = DimensionEntity(0);
    EXPECT_EQ(d.Line.X1, 0);
    EXPECT_EQ(d.Line.X2, 100);
    EXPECT_EQ(d.Line.Y2, 0);
    EXPECT_EQ(d.Line.Head.HhpNumber, 3);
    EXPECT_EQ(d.Line.Head.Color, 4);
    EXPECT_EQ(d.Head.HhpNumber, 0);
    EXPECT_EQ(d.Text.Kind, 2);
    EXPECT_EQ(d.Text.Text.View(), "100");
    EXPECT_EQ(d.Text.X, 50);
    EXPECT_EQ(d.Text.Y, 5);
    EXPECT_EQ(d.Text.Head.Color, 2); // text type 1 has colour 2
    EXPECT_FALSE(AttributeState().DimensionPending);
    // The captured line stays for a later dimension without its own line.
    Lines({"msg", "cs 0 0 1 0 abc"});
    EXPECT_EQ(DimensionEntity(1).Line.X2, 100);
}

TEST_F(ExchangeStore, DimensionWithoutALineUsesTheDefaultLine) {
    Lines({"msg", "cs 0 0 1 0 abc"});
    ASSERT_EQ(EntityCount(ekDim), 1);
    const TJwwEntLin& line = DimensionEntity(0).Line;
    EXPECT_EQ(line.X1, 0);
    EXPECT_EQ(line.Y1, 0);
    EXPECT_EQ(line.X2, 1);
    EXPECT_EQ(line.Y2, 0);
    EXPECT_EQ(line.Head.Color, 1);
    EXPECT_EQ(line.Head.LineType, 1);
}

TEST_F(ExchangeStore, OtherTextAfterMsgIsAPlainText) {
    Lines({"msg", "5 5 6 6", "7 7 8 8", "ch 0 0 1 0 abc"});
    EXPECT_EQ(EntityCount(ekLin), 0);
    ASSERT_EQ(EntityCount(ekTxt), 1);
    EXPECT_EQ(TextEntity(0).Kind, 0);
    EXPECT_FALSE(AttributeState().DimensionPending);
    EXPECT_EQ(PendingDimensionLine().X1, 7);
    EXPECT_EQ(Order(), "(4,0)");
}

TEST_F(ExchangeStore, TextSizeComesFromItsTextType) {
    Lines({"hcw 1 2 3 4 5 6 7 8 9 10", "hch 1 2 3.5 4 5 6 7 8 9 10", "hcd 0 0 0.25 0 0 0 0 0 0 0",
           "hcc 1 2 6 4 5 6 7 8 9 10", "cn3", "cc4", "ch 1 2 3 4 x", "cn11", "cv 0 0 1 0 y", "cn0 4 4.5 1 7",
           "c2 0 0 1 0 z"});
    ASSERT_EQ(EntityCount(ekTxt), 3);
    const TJwwEntTxt& t3 = TextEntity(0);
    EXPECT_EQ(t3.TextType, 3);
    EXPECT_EQ(t3.Width, 3);
    EXPECT_EQ(t3.Height, 3.5);
    EXPECT_EQ(t3.Spacing, 0.25);
    EXPECT_EQ(t3.Head.Color, 6);
    EXPECT_EQ(t3.CcCode, 4);
    EXPECT_EQ(t3.X, 1);
    EXPECT_EQ(t3.Dy, 4);
    EXPECT_EQ(t3.FontName.View(), "<ＭＳ ゴシック>");
    const TJwwEntTxt& free = TextEntity(1);
    EXPECT_EQ(free.Kind, 1);
    EXPECT_EQ(free.TextType, 11);
    EXPECT_EQ(free.Width, 2);
    EXPECT_EQ(free.Head.Color, 1);
    const TJwwEntTxt& own = TextEntity(2);
    EXPECT_EQ(own.Kind, 9);
    EXPECT_EQ(own.Height, 4.5);
    EXPECT_EQ(own.Head.Color, 7);
}

TEST_F(ExchangeStore, TextKindsAndTexts) {
    Lines({"ch 0 0 1 0 \"two words", "cv 0 0 1 0 two words", "cs 0 0 1 0 a", "cr 0 0 1 0 a", "co 0 0 1 0 a",
           "cp 0 0 1 0 a", "ct 0 0 1 0 a", "ck 0 0 1 0 a", "cz 0 0 1 0 a", "c2 0 0 1 0 \"寸法 値",
           "ch 0 0 1 0"});
    ASSERT_EQ(EntityCount(ekTxt), 10);
    for (int32_t i = 0; i < 10; ++i) EXPECT_EQ(TextEntity(i).Kind, i);
    EXPECT_EQ(TextEntity(0).Text.View(), "two words");
    EXPECT_EQ(TextEntity(1).Text.View(), "two");
    EXPECT_EQ(TextEntity(9).Text.View(), "\x90\xA1\x96\x40 \x92\x6C");
}

TEST_F(ExchangeStore, LongTextsAreCutTo255Bytes) {
    const std::string text(300, 'a');
    const std::string font = "cn$" + std::string(260, 'f');
    Lines({font, "ch 0 0 1 0 \"" + text});
    EXPECT_EQ(TextEntity(0).Text.View(), std::string(255, 'a'));
    EXPECT_EQ(TextEntity(0).FontName.View(), std::string(255, 'f'));
}

// Texts are kept packed; each must come back with every value and attribute it was stored with.
TEST_F(ExchangeStore, TextsComeBackBitForBitWhateverTheirValues) {
    const double values[] = {0.0,
                             -0.0,
                             1.0,
                             -1.0,
                             1.0000000000000002,
                             -6059.66923758388,
                             1e300,
                             std::numeric_limits<double>::quiet_NaN(),
                             -std::numeric_limits<double>::infinity()};
    const TRecordText font = KeepFontName("Arial");
    int32_t count = 0;
    for (double x : values)
        for (double dy : values) {
            TJwwEntTxt t;
            t.Head.Layer = count % 3;
            t.Width = 2.5;
            t.X = x;
            t.Y = -x;
            t.Dx = 1;
            t.Dy = dy;
            t.FontName = font;
            const std::string text(static_cast<size_t>(count % 4), 'a' + static_cast<char>(count % 26));
            t.Text = TRecordText{text.data(), static_cast<uint8_t>(text.size())};
            AddTextRecord(t);
            ++count;
        }
    ASSERT_EQ(EntityCount(ekTxt), count);
    const auto bits = [](double v) { return std::bit_cast<uint64_t>(v); };
    int32_t i = 0;
    for (double x : values)
        for (double dy : values) {
            const TJwwEntTxt t = TextEntity(i);
            EXPECT_EQ(bits(t.X), bits(x)) << i;
            EXPECT_EQ(bits(t.Y), bits(-x)) << i;
            EXPECT_EQ(bits(t.Dx), bits(1.0)) << i;
            EXPECT_EQ(bits(t.Dy), bits(dy)) << i;
            EXPECT_EQ(t.Head.Layer, i % 3) << i;
            EXPECT_EQ(t.Width, 2.5) << i;
            EXPECT_EQ(t.FontName.View(), "Arial") << i;
            EXPECT_EQ(t.Text.View(), std::string(static_cast<size_t>(i % 4), 'a' + static_cast<char>(i % 26)))
                << i;
            ++i;
        }
    // Past the end: an empty record.
    EXPECT_EQ(TextEntity(count).Text.View(), "");
    EXPECT_EQ(TextEntity(count).X, 0);
}

// A run of texts shares what it has in common, and a change anywhere in it starts another run.
TEST_F(ExchangeStore, TextsKeepTheirOwnAttributesAcrossRuns) {
    Lines({"ch 0 0 1 0 a", "ly5", "ch 0 0 1 0 b", "hhp3", "ch 0 0 1 0 c", "ch 0 0 1 0 d", "cn$Arial",
           "cv 0 0 1 0 e", "cn$Tahoma", "ch 2 0 0 1 f", "cn$Arial", "ch 0 0 1 0 g"});
    ASSERT_EQ(EntityCount(ekTxt), 7);
    EXPECT_EQ(TextEntity(0).Head.Layer, 0);
    EXPECT_EQ(TextEntity(1).Head.Layer, 5);
    EXPECT_EQ(TextEntity(2).Head.HhpNumber, 3);
    EXPECT_EQ(TextEntity(3).Head.HhpNumber, 0);
    EXPECT_EQ(TextEntity(3).Head.Layer, 5);
    EXPECT_EQ(TextEntity(4).FontName.View(), "Arial");
    EXPECT_EQ(TextEntity(4).Kind, 1);
    EXPECT_EQ(TextEntity(5).FontName.View(), "Tahoma");
    EXPECT_EQ(TextEntity(5).Kind, 0);
    EXPECT_EQ(TextEntity(5).X, 2);
    EXPECT_EQ(TextEntity(5).Dy, 1);
    EXPECT_EQ(TextEntity(6).FontName.View(), "Arial");
    const std::string texts = "abcdefg";
    for (int32_t i = 0; i < 7; ++i)
        EXPECT_EQ(TextEntity(i).Text.View(), texts.substr(static_cast<size_t>(i), 1));
}

TEST_F(ExchangeStore, PointsTakeThePointColour) {
    Lines({"lc3", "pn5", "pt 1 2", "pt 1 2 1 45 3", "pt 1 2 3"});
    ASSERT_EQ(EntityCount(ekPnt), 1);
    EXPECT_EQ(PointEntity(0).Head.Color, 5);
    EXPECT_EQ(PointEntity(0).X, 1);
    EXPECT_EQ(PointEntity(0).Y, 2);
    ASSERT_EQ(EntityCount(ekMrk), 1);
    const TJwwEntMrk& m = MarkerEntity(0);
    EXPECT_EQ(m.Head.Color, 5);
    EXPECT_EQ(m.Scale, 1);
    EXPECT_EQ(m.Angle, 45);
    EXPECT_EQ(m.Code, 3);
    ASSERT_EQ(EntityCount(ekLin), 1);
    EXPECT_EQ(LineEntity(0).X1, 0);
    EXPECT_EQ(LineEntity(0).Y1, 1);
    EXPECT_EQ(LineEntity(0).X2, 2);
    EXPECT_EQ(LineEntity(0).Y2, 3);
    EXPECT_EQ(LineEntity(0).Head.Color, 3);
}

TEST_F(ExchangeStore, CirclesArcsAndBlocks) {
    Lines({"ci 0 0 5", "ci 0 0 5 ", "ci 1 2 5 0 90 1 0", "ci 1 2 3 4 5", "BL 10 20 door", "BL 1 2 \"扉 左",
           "BL 1 2"});
    ASSERT_EQ(EntityCount(ekCir), 1);
    EXPECT_EQ(CircleEntity(0).Radius, 5);
    ASSERT_EQ(EntityCount(ekArc), 1);
    EXPECT_EQ(ArcEntity(0).X, 1);
    EXPECT_EQ(ArcEntity(0).Values[0], 0);
    EXPECT_EQ(ArcEntity(0).Values[1], 90);
    EXPECT_EQ(ArcEntity(0).Values[2], 1);
    EXPECT_EQ(ArcEntity(0).Values[3], 0);
    ASSERT_EQ(EntityCount(ekBlk), 2);
    EXPECT_EQ(BlockEntity(0).X, 10);
    EXPECT_EQ(BlockEntity(0).Name, "door");
    EXPECT_EQ(BlockEntity(1).Name, "\x94\xE0 \x8D\xB6");
    EXPECT_EQ(Order(), "(2,0)(3,0)(8,0)(8,1)");
}

TEST_F(ExchangeStore, ValueSolidsKeepTheirValuesInFileOrder) {
    Lines({"lc10 7", "sc 1 2 3 4 5 6 7 8", "se 1 2 3 4 5 6 7 -8", "so 1 2 3 4 5 6 7 8",
           "sg 8 7 6 5 4 3 2 1 9", "sc 1 2 3 4 5 6 7"});
    ASSERT_EQ(EntityCount(ekSc), 1);
    EXPECT_EQ(ScEntity(0).Values[6], 7);
    EXPECT_EQ(ScEntity(0).Code, 8);
    EXPECT_EQ(ScEntity(0).SolidColor, 7);
    EXPECT_EQ(ScEntity(0).Head.Color, 10);
    EXPECT_EQ(SeEntity(0).Code, -8);
    EXPECT_EQ(SoEntity(0).Values[7], 8);
    EXPECT_EQ(SgEntity(0).Values[0], 8);
    EXPECT_EQ(SgEntity(0).Values[7], 1);
    EXPECT_EQ(Order(), "(12,0)(13,0)(14,0)(15,0)");
}

TEST_F(ExchangeStore, GrowsInBlocksOfAThousand) {
    EXPECT_EQ(EntityCapacity(ekLin), 0);
    for (int i = 0; i < 1000; ++i) ParseExchangeLine("0 0 1 1");
    EXPECT_EQ(EntityCapacity(ekLin), 1000);
    ParseExchangeLine("1 2 3 4");
    EXPECT_EQ(EntityCount(ekLin), 1001);
    EXPECT_EQ(EntityCapacity(ekLin), 2000);
    EXPECT_EQ(EntityCapacity(ekCir), 0);
    EXPECT_EQ(LineEntity(1000).X1, 1);
    EXPECT_EQ(LineEntity(999).X1, 0);
    EXPECT_EQ(EntityOrderCount(), 1001);
    EXPECT_EQ(EntityOrderAt(1000).Index, 1000);
    InitExchangeData();
    EXPECT_EQ(EntityCapacity(ekLin), 0);
    EXPECT_EQ(EntityOrderCount(), 0);
}

TEST_F(ExchangeStore, ReadingPastTheEndGivesAnEmptyRecord) {
    Lines({"1 2 3 4"});
    EXPECT_EQ(LineEntity(1).X1, 0);
    EXPECT_EQ(LineEntity(-1).X1, 0);
    EXPECT_EQ(CircleEntity(0).Radius, 0);
    EXPECT_EQ(EntityOrderAt(5).Kind, 0);
    EXPECT_EQ(EntityCount(static_cast<TEntityKind>(99)), 0);
}
