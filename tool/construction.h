// The horizontal dimension in the frame of the axis angle: its geometry, and the queue of
// commands that draws it. Free of widgets: the OK handler shows the status and the refusal.
#pragma once

#include <cstdint>
#include <optional>
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

// The host's current attributes, written before the tool's first line.
struct THostAttributes {
    int32_t LayerGroup = 0, Layer = 0, LineColor = 1, LineType = 1, LineWidth = 0;
    std::string FontName;
};

// Everything one dimension draws, in drawing coordinates, with every attribute its commands
// need: queuing it looks at nothing else.
struct TDimensionDrawing {
    THostAttributes Attributes;
    TSegment Extension1, Extension2;
    TSegment DimensionLine;
    bool AsDimensionEntity = false; // line and value as one dimension entity of the host
    TValueTextType TextType;
    std::string Text;
    TPoint TextPoint;
    TValueTextPlacement Placement;
    TEndMarks Marks;
    TValueTextType HostTextType; // put back in force after the tool's lines
};

// The drawing of the dimension, or nothing when it cannot be drawn: zero length (|L| < 1e-10),
// a length that is not a finite number, or a drawing with a number that is not finite (huge
// points, scales or options can overflow even when the length itself is finite), which would
// reach the host as "INF" or "NAN". The OK handler refuses those as one of zero length.
std::optional<TDimensionDrawing> PlanDimension(const TDimensionOptions& options, const THostParameters& host);

// Queues the complete command list of the drawing through the command writer: attributes,
// extension lines, dimension line and value text, leader and underline, end marks, and the
// restore of the host's text type.
void QueueDimension(const TDimensionDrawing& drawing);
