// The host's point markers drawn as shapes at a nominal paper size.
#pragma once

#include "render/svg_canvas.h"

// Half the nominal size of a marker at size factor 1 (paper mm): boxes and dots are 2.5 mm across
// and arrows 7.5 mm long, the room the tool reserves for each mark when it decides whether marks
// fit between the ends of a dimension.
constexpr double kMarkerHalfSize = 1.25;
constexpr double kMarkerArrowLength = 7.5;
constexpr double kMarkerDotRadius = 0.3; // the small dot of code -3 and of a plain point

// Draws marker code at centre, scaled by size and turned by angle degrees counter-clockwise; an
// arrow's tip is at the centre and points along the angle. False, with nothing drawn, for a code
// that names no marker.
bool DrawMarker(TSvgCanvas& canvas, int code, TPaperPoint centre, double size, double angle);
