// One stand-alone line of the dimension as the host reads it: "z3", then its two end points.
#pragma once

#include "exchange/JwwGaibu.h"
#include "tool/dimension_geometry.h"

// Every line the tool draws stands alone, so "z3" goes before each one.
inline void QueueLine(const TSegment& line) {
    AddZFlags(4);
    AddLine(line.From.X, line.From.Y, line.To.X, line.To.Y);
}
