// The dimension construction: foot points, refusal, extension lines and the complete command order.
#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <string>
#include <vector>

#include "exchange/JwwGaibu.h"
#include "test_support.h"
#include "tool/construction.h"

namespace {

using Lines = std::vector<std::string>;

class Construction : public ExchangeTest {
  protected:
    void SetUp() override {
        ExchangeTest::SetUp();
        THostParameters& host = HostParameters();
        host.TextTypes[1] = {3, 3, 0, 2};
        SetPoints({0, 0}, {100, 0}, {50, 20}, {60, 40});
    }
    static void SetPoints(TPoint p1, TPoint p2, TPoint p3, TPoint p4) {
        const TPoint p[] = {p1, p2, p3, p4};
        for (int i = 0; i < 4; ++i) HostParameters().Points[i + 1] = {true, p[i].X, p[i].Y, 0};
    }
    // Plans and queues as the OK handler does; false, with nothing queued, when refused.
    static bool Queue(const TDimensionOptions& options) {
        const std::optional<TDimensionDrawing> drawing = PlanDimension(options, HostParameters());
        if (drawing) QueueDimension(*drawing);
        return drawing.has_value();
    }
};

// The options of the worked example: both ends "●", text type 1, three decimals rounded half.
TDimensionOptions Example() {
    TDimensionOptions o;
    o.StartMark = 7;
    o.EndMark = 7;
    o.TextTypeIndex = 1;
    return o;
}

TEST_F(Construction, QueuesTheWorkedExampleLineForLine) {
    ASSERT_TRUE(Queue(Example()));
    // No "cn$" line in the exchange file: the host's font name is empty, so the font line
    // carries no name.
    EXPECT_EQ(CommandList(), (Lines{"lg0",
                                    "ly0",
                                    "lc1",
                                    "pn1",
                                    "lt1",
                                    "cn\"$",
                                    "z3",
                                    "0 2 0 22",
                                    "z3",
                                    "100 2 100 22",
                                    "z3",
                                    "0 20 100 20",
                                    "cn1",
                                    "cc0",
                                    "z3",
                                    "cs 60 40 10 0 \"",
                                    "100",
                                    "z3",
                                    "50 20 59.5 39.5",
                                    "z3",
                                    "59.5 39.5 65 39.5",
                                    "z3",
                                    "pt 0 20 1 180 7",
                                    "z3",
                                    "z3",
                                    "pt 100 20 1 0 7"}));

    const TScratchFolder folder;
    ASSERT_TRUE(WriteCommandFile(folder.Path / "JWC_TEMP.TXT"));
    EXPECT_EQ(folder.Read("JWC_TEMP.TXT"),
              "lg0\r\nly0\r\nlc1\r\npn1\r\nlt1\r\ncn\"$\r\nz3\r\n0 2 0 22\r\nz3\r\n100 2 100 22\r\n"
              "z3\r\n0 20 100 20\r\ncn1\r\ncc0\r\nz3\r\ncs 60 40 10 0 \"100\r\nz3\r\n50 20 59.5 39.5\r\n"
              "z3\r\n59.5 39.5 65 39.5\r\nz3\r\npt 0 20 1 180 7\r\nz3\r\nz3\r\npt 100 20 1 0 7\r\n");
}

TEST_F(Construction, WritesTheHostAttributesFirst) {
    THostParameters& host = HostParameters();
    host.HostLayerGroup = 10;
    host.GroupScale[10] = 1;
    host.HostLayer = 15;
    host.HostLineColor = 5;
    host.HostLineType = 2;
    host.HostLineWidth = 3;
    host.LineWidthSeen = true;
    host.HostFontName = "ＭＳ 明朝";
    ASSERT_TRUE(Queue(Example()));
    const Lines head(CommandList().begin(), CommandList().begin() + 8);
    EXPECT_EQ(head, (Lines{"lgA", "lyF", "lc5", "pn5", "lt2", "lw3", "cn\"$ＭＳ 明朝", "z3"}));
}

TEST_F(Construction, WritesLineAndValueAsOneDimensionEntity) {
    TDimensionOptions o = Example();
    o.AsDimensionEntity = true;
    ASSERT_TRUE(Queue(o));
    const Lines body(CommandList().begin() + 10, CommandList().end());
    EXPECT_EQ(body,
              (Lines{"cn1", "msg", "0 20 100 20", "cs 60 40 10 0 \"", "100", "z3", "50 20 59.5 39.5", "z3",
                     "59.5 39.5 65 39.5", "z3", "pt 0 20 1 180 7", "z3", "z3", "pt 100 20 1 0 7"}));
}

TEST_F(Construction, RestoresTheHostTextTypeOnlyWhenItDiffers) {
    const auto tail = [](int hostType, int index) {
        InitExchangeData();
        ResetCommandCaches();
        HostParameters().TextTypes[1] = {3, 3, 0, 2};
        HostParameters().HostFreeText = {2.5, 2.5, 0.5, 4};
        HostParameters().HostTextType = hostType;
        SetPoints({0, 0}, {100, 0}, {50, 20}, {60, 40});
        TDimensionOptions o = Example();
        o.TextTypeIndex = index;
        EXPECT_TRUE(Queue(o));
        std::string texts;
        for (const std::string& line : CommandList())
            if (line.starts_with("cn") && !line.starts_with("cn\"")) texts += line + ";";
        return texts + CommandList().back();
    };
    EXPECT_EQ(tail(1, 1), "cn1;pt 100 20 1 0 7");
    EXPECT_EQ(tail(2, 1), "cn1;cn2;cn2");
    EXPECT_EQ(tail(0, 1), "cn1;cn0 2.5 2.5 0.5 4;cn0 2.5 2.5 0.5 4");
    EXPECT_EQ(tail(0, 0), "cn0 2.5 2.5 0.5 4;pt 100 20 1 0 7");
    EXPECT_EQ(tail(3, 0), "cn3;pt 100 20 1 0 7");
}

TEST_F(Construction, FindsFootPointsInTheFrameOfTheAxisAngle) {
    const auto frame = [](double alpha, TPoint p1, TPoint p2, TPoint p3) {
        HostParameters().AxisAngle = alpha;
        SetPoints(p1, p2, p3, {});
        return MeasureDimension(HostParameters());
    };
    const auto expect = [](const TDimensionFrame& f, double x1, double y1, double x2, double y2,
                           double length) {
        EXPECT_NEAR(f.A1.X, x1, 1e-9);
        EXPECT_NEAR(f.A1.Y, y1, 1e-9);
        EXPECT_NEAR(f.A2.X, x2, 1e-9);
        EXPECT_NEAR(f.A2.Y, y2, 1e-9);
        EXPECT_NEAR(f.Length, length, 1e-9);
    };
    expect(frame(0, {0, 0}, {100, 0}, {50, 20}), 0, 20, 100, 20, 100);
    expect(frame(0, {0, 0}, {100, 30}, {50, -20}), 0, -20, 100, -20, 100);
    expect(frame(90, {10, 0}, {30, 100}, {-20, 50}), -20, 0, -20, 100, 100);
    expect(frame(30, {0, 0}, {100, 0}, {0, 50}), -21.6506350946110, 37.5, 53.3493649053890, 80.8012701892219,
           86.6025403784439);
    expect(frame(135, {0, 0}, {100, 0}, {0, 100}), 50, 50, 100, 0, 70.7106781186548);
}

TEST_F(Construction, ScalesPaperDistancesByTheCurrentGroup) {
    THostParameters& host = HostParameters();
    host.HostLayerGroup = 2;
    host.GroupScale[2] = 100;
    SetPoints({0, 0}, {10000, 0}, {5000, 2000}, {6000, 4000});
    EXPECT_EQ(MeasureDimension(host).Scale, 100);
    const TDimensionDrawing d = PlanDimension(Example(), host).value();
    EXPECT_DOUBLE_EQ(d.Extension1.From.Y, 200);
    EXPECT_DOUBLE_EQ(d.Extension1.To.Y, 2200);
    EXPECT_DOUBLE_EQ(d.Placement.Underline.From.X, 5950);
    EXPECT_DOUBLE_EQ(d.Placement.Underline.To.X, 6800); // 7.5 paper mm of five digits and two gaps of 0.5
    EXPECT_EQ(d.Text, "10000");
}

TEST_F(Construction, RunsExtensionLinesTowardsTheDimensionLine) {
    const auto lines = [](TPoint p2, TPoint p3, double overshoot) {
        SetPoints({0, 0}, p2, p3, {60, 40});
        TDimensionOptions o = Example();
        o.ExtensionOvershoot = overshoot;
        const TDimensionDrawing d = PlanDimension(o, HostParameters()).value();
        std::string text;
        for (const TSegment& s : {d.Extension1, d.Extension2})
            text += std::to_string(int(s.From.X)) + "," + std::to_string(int(s.From.Y)) + "-" +
                    std::to_string(int(s.To.X)) + "," + std::to_string(int(s.To.Y)) + " ";
        return text;
    };
    EXPECT_EQ(lines({100, 0}, {50, 20}, 2), "0,2-0,22 100,2-100,22 ");
    EXPECT_EQ(lines({100, 0}, {50, -20}, 2), "0,-2-0,-22 100,-2-100,-22 ");
    EXPECT_EQ(lines({100, 40}, {50, 20}, 2), "0,2-0,22 100,38-100,18 ");
    EXPECT_EQ(lines({100, 0}, {50, 0}, 5), "0,2-0,5 100,2-100,5 "); // a tie counts as up
    EXPECT_EQ(lines({100, 0}, {50, 1}, 0), "0,2-0,1 100,2-100,1 "); // line nearer than the gap
}

TEST_F(Construction, RefusesAZeroOrUnmeasurableDimension) {
    const auto refused = [](TPoint p1, TPoint p2) {
        SetPoints(p1, p2, {50, 20}, {60, 40});
        const bool queued = Queue(Example());
        EXPECT_EQ(CommandList().empty(), !queued);
        return !queued;
    };
    EXPECT_TRUE(refused({10, 0}, {10, 50}));
    EXPECT_TRUE(refused({0, 0}, {0, 0}));
    EXPECT_TRUE(refused({-1e308, 0}, {1e308, 0}));
    EXPECT_TRUE(refused({std::nan(""), 0}, {100, 0}));
    EXPECT_FALSE(refused({0, 0}, {1e-9, 0}));
}

TEST_F(Construction, RefusesADimensionWhoseDrawingWouldOverflow) {
    const auto queued = [](TPoint p1, TPoint p2, double scale, double textGap) {
        InitExchangeData();
        ResetCommandCaches();
        HostParameters().GroupScale[0] = scale;
        SetPoints(p1, p2, {p1.X, 20}, {p1.X, 40});
        TDimensionOptions o = Example();
        o.TextGap = textGap;
        const bool done = Queue(o);
        EXPECT_EQ(CommandList().empty(), !done);
        return done;
    };
    EXPECT_FALSE(queued({0, 0}, {100, 0}, 1e308, 0.5));       // the extension gap overflows
    EXPECT_FALSE(queued({0, 0}, {100, 0}, 1e10, 1e300));      // the text gap does
    EXPECT_FALSE(queued({1.7e308, 0}, {1.6e308, 0}, 1, 0.5)); // the middle of the line does
    EXPECT_TRUE(queued({1e300, 0}, {2e300, 0}, 1e300, 0.5));  // huge, but every number fits
}

TEST_F(Construction, WritesOnlyFiniteNumbersForOptionsTheIntakeLetsThrough) {
    const auto wellFormed = [](double scale, TPoint p2, auto change) {
        InitExchangeData();
        ResetCommandCaches();
        HostParameters().GroupScale[0] = scale;
        SetPoints({0, 0}, p2, {50, 20}, {60, 40});
        TDimensionOptions o = Example();
        change(o);
        if (!Queue(o)) return std::string("refused");
        for (const std::string& line : CommandList()) {
            if (line.size() > 255) return "long: " + line;
            for (const char* bad : {"inf", "nan", "INF", "NAN", "Inf", "NaN"})
                if (line.find(bad) != std::string::npos) return "non-finite: " + line;
        }
        return std::string("ok");
    };
    const auto none = [](TDimensionOptions&) {};
    EXPECT_EQ(wellFormed(1, {100, 0}, [](auto& o) { o.TextGap = -3; }), "ok");
    EXPECT_EQ(wellFormed(1, {100, 0}, [](auto& o) { o.StartMark = o.EndMark = 0, o.ArrowAngle = 179.9; }),
              "ok");
    EXPECT_EQ(wellFormed(1, {100, 0}, [](auto& o) { o.MarkScale = 1e-300; }), "ok");
    EXPECT_EQ(wellFormed(1, {1e15, 0}, [](auto& o) { o.PrecisionIndex = 8; }), "ok");
    EXPECT_EQ(wellFormed(0, {100, 0}, none), "ok");
    EXPECT_EQ(wellFormed(-100, {100, 0}, none), "ok");
    EXPECT_EQ(wellFormed(1e300, {100, 0}, [](auto& o) { o.ArrowLength = 1000, o.StartMark = 0; }), "ok");
    EXPECT_EQ(wellFormed(1, {1e300, 0}, [](auto& o) { o.FullWidthDigits = o.ThousandsCommas = true; }), "ok");
    EXPECT_EQ(wellFormed(1e300, {1e300, 0}, none), "ok");
    EXPECT_EQ(wellFormed(1e308, {100, 0}, none), "refused");
}

} // namespace
