// End marks: their room on the line, when they turn outward, and the lines they queue.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "exchange/JwwGaibu.h"
#include "test_support.h"
#include "tool/end_marks.h"

namespace {

using EndMarks = ExchangeTest;

TDimensionOptions Marks(int start, int end, double markScale = 1) {
    TDimensionOptions o;
    o.StartMark = start;
    o.EndMark = end;
    o.MarkScale = markScale;
    return o;
}

bool ReversedAt(const TDimensionOptions& o, double length) {
    return PlanEndMarks(o, {0, 0}, {length, 0}, 1, 2).Reversed;
}

TEST_F(EndMarks, TakeTheRoomOfTheirKind) {
    const TDimensionOptions o = Marks(0, 0, 2);
    EXPECT_NEAR(MarkExtent(0, o), 2.8977774788672, 1e-12); // 3 cos 15; MarkScale left out
    EXPECT_DOUBLE_EQ(MarkExtent(1, o), 15);
    EXPECT_DOUBLE_EQ(MarkExtent(2, o), 2.5);
    EXPECT_DOUBLE_EQ(MarkExtent(3, o), 2.5);
    EXPECT_DOUBLE_EQ(MarkExtent(4, o), 2.5);
    EXPECT_DOUBLE_EQ(MarkExtent(5, o), 2.5);
    EXPECT_DOUBLE_EQ(MarkExtent(6, o), 15);
    EXPECT_DOUBLE_EQ(MarkExtent(7, o), 2.5);
    EXPECT_DOUBLE_EQ(MarkExtent(8, o), 3.5355339059327378);
    EXPECT_DOUBLE_EQ(MarkExtent(9, o), 15);
    EXPECT_DOUBLE_EQ(MarkExtent(10, o), 3.5355339059327378);
    EXPECT_DOUBLE_EQ(MarkExtent(11, o), 15);
    EXPECT_NEAR(MarkExtent(12, o), 2.8977774788672, 1e-12);
    EXPECT_NEAR(MarkExtent(-1, o), 2.8977774788672, 1e-12);
}

TEST_F(EndMarks, TurnOutwardOnlyWhenTheyDoNotFit) {
    EXPECT_TRUE(ReversedAt(Marks(0, 0), 5.79));
    EXPECT_FALSE(ReversedAt(Marks(0, 0), 5.80));
    EXPECT_TRUE(ReversedAt(Marks(7, 1, 2), 17.49));
    EXPECT_FALSE(ReversedAt(Marks(7, 1, 2), 17.5)); // an exact fit stays inside
    EXPECT_FALSE(ReversedAt(Marks(7, 1, 2), 17.51));
    TDimensionOptions wide = Marks(0, 0);
    wide.ArrowAngle = 120; // negative room: never turned
    EXPECT_FALSE(ReversedAt(wide, 0.001));
    // The drawing scale multiplies the room; s = 100 turns marks that fit at s = 1.
    EXPECT_TRUE(PlanEndMarks(Marks(7, 7), {0, 0}, {200, 0}, 100, 0).Reversed);
    EXPECT_FALSE(PlanEndMarks(Marks(7, 7), {0, 0}, {250, 0}, 100, 0).Reversed);
}

TEST_F(EndMarks, PointOutwardOrInwardAlongTheLine) {
    const auto at = [](TPoint a1, TPoint a2, double markScale) {
        const TEndMarks m = PlanEndMarks(Marks(7, 7, markScale), a1, a2, 1, 2);
        return std::to_string(static_cast<int>(m.Start.Angle)) + " " +
               std::to_string(static_cast<int>(m.End.Angle));
    };
    EXPECT_EQ(at({0, 20}, {100, 20}, 1), "180 0");
    EXPECT_EQ(at({0, 20}, {1, 20}, 1), "0 180");
    EXPECT_EQ(at({0, 0}, {0, 100}, 1), "270 90");
    EXPECT_EQ(at({0, 0}, {0, 1}, 1), "90 270");
    EXPECT_EQ(at({100, 20}, {0, 20}, 1), "0 180");
}

TEST_F(EndMarks, QueueMarkersAroundTheStandAloneFlag) {
    QueueEndMarks(PlanEndMarks(Marks(7, 11), {0, 20}, {100, 20}, 1, 2));
    EXPECT_EQ(CommandList(),
              (std::vector<std::string>{"z3", "pt 0 20 1 180 7", "z3", "z3", "pt 100 20 1 0 11"}));
}

TEST_F(EndMarks, ContinueTheLineOutwardPastTurnedMarks) {
    QueueEndMarks(PlanEndMarks(Marks(7, 1, 10), {0, 20}, {10, 20}, 1, 2));
    EXPECT_EQ(CommandList(), (std::vector<std::string>{"z3", "0 20 -2 20", "z3", "pt 0 20 10 0 7", "z3", "z3",
                                                       "10 20 12 20", "z3", "pt 10 20 10 180 1"}));
}

TEST_F(EndMarks, LeaveOutTheOvershootWhenItIsZero) {
    QueueEndMarks(PlanEndMarks(Marks(7, 7, 10), {0, 20}, {10, 20}, 1, 0));
    EXPECT_EQ(CommandList(),
              (std::vector<std::string>{"z3", "pt 0 20 10 0 7", "z3", "z3", "pt 10 20 10 180 7"}));
}

TEST_F(EndMarks, DrawLineArrowsAtTheirAngle) {
    const auto expectEnd = [](const TSegment& s, double x, double y) {
        EXPECT_NEAR(s.To.X, x, 1e-12);
        EXPECT_NEAR(s.To.Y, y, 1e-12);
    };
    const TEndMarks inside = PlanEndMarks(Marks(0, 0), {0, 20}, {100, 20}, 1, 2);
    expectEnd(inside.Start.ArrowPlus, 2.8977774788672, 20.7764571353076);
    expectEnd(inside.Start.ArrowMinus, 2.8977774788672, 19.2235428646924);
    expectEnd(inside.End.ArrowPlus, 97.1022225211328, 19.2235428646924);
    expectEnd(inside.End.ArrowMinus, 97.1022225211328, 20.7764571353076);

    TDimensionOptions wide = Marks(0, 0);
    wide.ArrowAngle = 120; // opens away from the interior
    const TEndMarks open = PlanEndMarks(wide, {0, 20}, {100, 20}, 10, 2);
    expectEnd(open.Start.ArrowPlus, -15, 45.9807621135332);
    expectEnd(open.Start.ArrowMinus, -15, -5.9807621135332);

    const TEndMarks turned = PlanEndMarks(Marks(0, 0), {0, 20}, {5, 20}, 1, 2);
    expectEnd(turned.Start.Overshoot, -2, 20);
    expectEnd(turned.Start.ArrowPlus, -2.8977774788672, 19.2235428646924);
    expectEnd(turned.End.ArrowMinus, 7.8977774788672, 19.2235428646924);
    QueueEndMarks(turned);
    EXPECT_EQ(CommandList().size(), 13u); // overshoot and two arrow lines each, one flag between
    EXPECT_EQ(CommandList()[6], "z3");
    EXPECT_EQ(CommandList()[8], "5 20 7 20");
}

} // namespace
