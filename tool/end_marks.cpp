// Plans and queues the end marks of the dimension line.
#include "tool/end_marks.h"

#include <cmath>

#include "exchange/JwwGaibu.h"
#include "tool/line_command.h"
#include "util/MyFunc.h"

namespace {

bool IsLineArrow(int32_t kind) {
    return kind < 1 || kind > 11;
}

// The direction of a mark as VectorAngleDeg gives it, turned by 180 when the marks are reversed;
// kept below 360 by one subtraction, as the host reads it.
double MarkDirection(TPoint from, TPoint to, double turn) {
    double angle = VectorAngleDeg(to.X - from.X, to.Y - from.Y) + turn;
    if (angle >= 360) angle -= 360;
    return angle;
}

TEndMark PlanMark(int32_t kind, TPoint at, double direction, bool reversed, const TDimensionOptions& options,
                  double scale, double reverseOvershoot) {
    TEndMark mark;
    mark.At = at;
    mark.Angle = direction;
    if (reversed && reverseOvershoot > kGeometryTolerance<double>) {
        mark.HasOvershoot = true;
        mark.Overshoot = {at, Advance(at, reverseOvershoot, UnitVector(direction + 180))};
    }
    if (IsLineArrow(kind)) {
        mark.IsArrow = true;
        const double length = options.ArrowLength * scale;
        mark.ArrowPlus = {at, Advance(at, length, UnitVector(direction + 180 + options.ArrowAngle))};
        mark.ArrowMinus = {at, Advance(at, length, UnitVector(direction + 180 - options.ArrowAngle))};
    } else {
        mark.Code = kind;
        mark.Scale = options.MarkScale;
    }
    return mark;
}

bool IsFiniteMark(const TEndMark& mark) {
    if (mark.HasOvershoot && !IsFiniteSegment(mark.Overshoot)) return false;
    if (mark.IsArrow) return IsFiniteSegment(mark.ArrowPlus) && IsFiniteSegment(mark.ArrowMinus);
    return IsFinitePoint(mark.At) && std::isfinite(mark.Scale) && std::isfinite(mark.Angle);
}

void QueueMark(const TEndMark& mark) {
    if (mark.HasOvershoot) QueueLine(mark.Overshoot);
    if (mark.IsArrow) {
        QueueLine(mark.ArrowPlus);
        QueueLine(mark.ArrowMinus);
        return;
    }
    AddZFlags(4);
    AddPoint(mark.Code, mark.At.X, mark.At.Y, mark.Scale, mark.Angle);
}

} // namespace

double MarkExtent(int32_t kind, const TDimensionOptions& options) {
    // Estimates of the room each of the host's markers takes along the line, at scale 1.
    constexpr double kTriangle = 7.5, kSmall = 1.25, kSlanted = 1.7677669529663689;
    if (IsLineArrow(kind)) return std::cos(options.ArrowAngle / 180 * std::numbers::pi) * options.ArrowLength;
    double extent = kSmall;
    if (kind == 1 || kind == 6 || kind == 9 || kind == 11) extent = kTriangle;
    if (kind == 8 || kind == 10) extent = kSlanted;
    return extent * options.MarkScale;
}

TEndMarks PlanEndMarks(const TDimensionOptions& options, TPoint a1, TPoint a2, double scale,
                       double reverseOvershoot) {
    TEndMarks marks;
    const double startExtent = MarkExtent(options.StartMark, options) * scale;
    const double endExtent = MarkExtent(options.EndMark, options) * scale;
    const double length = PointDistance(a1.X, a1.Y, a2.X, a2.Y);
    marks.Reversed = startExtent + endExtent > length;
    const double turn = marks.Reversed ? 180 : 0;
    marks.Start = PlanMark(options.StartMark, a1, MarkDirection(a2, a1, turn), marks.Reversed, options, scale,
                           reverseOvershoot);
    marks.End = PlanMark(options.EndMark, a2, MarkDirection(a1, a2, turn), marks.Reversed, options, scale,
                         reverseOvershoot);
    return marks;
}

bool IsFiniteEndMarks(const TEndMarks& marks) {
    return IsFiniteMark(marks.Start) && IsFiniteMark(marks.End);
}

void QueueEndMarks(const TEndMarks& marks) {
    QueueMark(marks.Start);
    AddZFlags(4);
    QueueMark(marks.End);
}
