// The dimension value: its text from the length and the options, its text type, its angle,
// and the underline and leader that tie it to the dimension line.
#pragma once

#include <cstdint>
#include <string>

#include "exchange/JwwGaibu.h"
#include "tool/dimension_geometry.h"
#include "tool/dimension_options.h"

struct TValueTextType {
    int32_t Type = 1;   // 0 free size, 1..10 the host's text types
    TTextTypeSize Size; // paper mm and colour number
};

TValueTextType SelectValueTextType(int32_t textTypeIndex, const THostParameters& host);

// The whole value text (prefix, number, unit, suffix) of a length in drawing mm, as Shift-JIS
// bytes; the command list cuts what goes beyond the host's 255-byte line.
std::string BuildValueText(double length, const TDimensionOptions& options);

// Angle of the value text for an axis angle, turned so the text never reads upside down.
double ValueTextAngle(double axisAngle);

struct TValueTextPlacement {
    double Angle = 0; // degrees
    TPoint Direction; // length 10 along Angle, as the host expects with a text
    TSegment Leader;  // from the middle of the dimension line to the nearer underline end
    TSegment Underline;
};

// drawnWidth is the text width in drawing mm; gap is the text gap in drawing mm.
TValueTextPlacement PlaceValueText(double axisAngle, TPoint a1, TPoint a2, TPoint textPoint,
                                   double drawnWidth, double gap);
