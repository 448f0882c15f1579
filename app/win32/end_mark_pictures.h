// The pictures of the end-mark lists: the shapes of tool/end_mark_shapes.h drawn with GDI.
#pragma once

#include <windows.h>

// Draws end-mark kind at the end of a short piece of dimension line coming from the left, scaled to
// fit the cell and centred in it: lines and filled parts in ink, blanked parts in paper (the
// background, so that they cover the line), lines penWidth pixels wide.
void PaintEndMark(HDC dc, int kind, const RECT& cell, COLORREF ink, COLORREF paper, int penWidth);
