// The SVG painter of the host's point markers: the shapes of tool/end_mark_shapes.h at their nominal
// paper size.
#pragma once

#include "render/svg_canvas.h"
#include "tool/end_mark_shapes.h"

// Draws marker code at centre, scaled by size and turned by angle degrees counter-clockwise; an
// arrow's tip is at the centre and points along the angle. False, with nothing drawn, for a code
// that names no marker.
bool DrawMarker(TSvgCanvas& canvas, int code, TPaperPoint centre, double size, double angle);
