// The end marks at the two foot points: line arrows drawn by the tool, point markers drawn by
// the host, both turned outward when they do not fit between the foot points.
#pragma once

#include <cstdint>

#include "tool/dimension_geometry.h"
#include "tool/dimension_options.h"

struct TEndMark {
    bool HasOvershoot = false; // the dimension line continued outward past a turned mark
    TSegment Overshoot;
    bool IsArrow = false;
    TSegment ArrowPlus, ArrowMinus; // opened by +ArrowAngle, then by -ArrowAngle
    int32_t Code = 0;               // point marker code, when not an arrow
    TPoint At;
    double Scale = 1; // the host scales its markers itself
    double Angle = 0; // direction of the mark, degrees
};

struct TEndMarks {
    bool Reversed = false;
    TEndMark Start, End;
};

// Room a mark kind takes along the dimension line, in paper mm, MarkScale applied to markers.
double MarkExtent(int32_t kind, const TDimensionOptions& options);

// scale: drawing length of one paper mm; reverseOvershoot: in drawing mm.
TEndMarks PlanEndMarks(const TDimensionOptions& options, TPoint a1, TPoint a2, double scale,
                       double reverseOvershoot);

bool IsFiniteEndMarks(const TEndMarks& marks);

// The start mark, one "z3" on its own, then the end mark.
void QueueEndMarks(const TEndMarks& marks);
