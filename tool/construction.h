// The horizontal dimension in the frame of the axis angle: its geometry, and the queue of
// commands that draws it. Free of widgets: the OK handler shows the status and the refusal.
#pragma once

#include <string>

#include "exchange/JwwGaibu.h"
#include "tool/dimension_geometry.h"
#include "tool/dimension_options.h"
#include "tool/end_marks.h"
#include "tool/value_text.h"

// Where the dimension stands, from the indicated points 1 to 4 and the axis angle.
struct TDimensionFrame {
    TPoint P1, P2, P3, P4; // measuring points, dimension-line point, text point
    double Alpha = 0;      // axis angle, degrees
    double Scale = 1;      // drawing length of one paper mm (GroupScale[HostLayerGroup])
    TPoint A1, A2;         // foot points on the dimension line
    double Length = 0;     // distance A1-A2, drawing mm
};

TDimensionFrame MeasureDimension(const THostParameters& host);

// True when the dimension cannot be drawn: zero length (|L| < 1e-10), or a length that is
// not a finite number (which would reach the host as "INF" or "NAN").
bool IsZeroDimension(const TDimensionFrame& frame);

// Everything one dimension draws, in drawing coordinates, before anything is queued.
struct TDimensionDrawing {
    TSegment Extension1, Extension2;
    TSegment DimensionLine;
    TValueTextType TextType;
    std::string Text;
    TPoint TextPoint;
    TValueTextPlacement Placement;
    TEndMarks Marks;
};

TDimensionDrawing PlanDimension(const TDimensionOptions& options, const TDimensionFrame& frame,
                                const THostParameters& host);

// True when every number the drawing would write is finite: huge points, scales or options can
// overflow even when the length itself is finite.
bool IsFiniteDrawing(const TDimensionDrawing& drawing, const THostParameters& host);

// The whole refusal test of the OK handler, to run before the status line changes: false for a
// zero dimension and for one whose drawing would write a number that is not finite.
bool IsDrawableDimension(const TDimensionOptions& options, const TDimensionFrame& frame,
                         const THostParameters& host);

// Queues the complete command list of one dimension through the command writer: attributes,
// extension lines, dimension line and value text, leader and underline, end marks, and the
// restore of the host's text type. Returns false, with nothing queued, when the dimension
// cannot be drawn (IsZeroDimension, or a computed number that is not finite); the caller then
// refuses it as it refuses a zero dimension.
bool QueueDimension(const TDimensionOptions& options, const TDimensionFrame& frame,
                    const THostParameters& host);
