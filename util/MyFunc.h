// Shared helpers: number text and rounding, Shift-JIS text handling, and plane geometry.
// Every text is a byte string in code page 932 (Shift-JIS); nothing here keeps state.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "util/sjis_bytes.h"

// ---------------------------------------------------------------- tolerances

// One literal each, read in double or in extended precision (the rounding steps work in the latter).
// Coordinates, directions and angles closer than this are equal; it is also the geometry's snapping step.
template <class T> inline constexpr T kGeometryTolerance = static_cast<T>(1e-10L);
// The command writer's: line ends and directions closer than this are equal, and the dimension entity's
// length is rounded to it.
template <class T> inline constexpr T kCommandTolerance = static_cast<T>(1e-8L);
static_assert(kGeometryTolerance<double> == 1e-10 && kCommandTolerance<double> == 1e-8);

// ---------------------------------------------------------------- number text and rounding

// Value of one hexadecimal digit ("0".."9", "A".."F", "a".."f"); -1 for any other byte.
int HexDigitValue(char c);
// Integer value of a text; 0 for an empty or malformed text. "$", "x", "0x" start hexadecimal.
int32_t TextToInt(std::string_view text);
// Real value of a text with "." as decimal point; 0 for an empty or malformed text and for a
// value that does not fit a finite double.
double TextToFloat(std::string_view text);

// Shortest text of at most 15 significant digits ("100", "0.3", "1E-5", "1.5E20").
std::string FormatGeneral(double v);
// n decimals, no separators; halves round away from zero ("%.nf").
std::string FormatFixed(int decimals, double v);
// n decimals with "," between groups of three integer digits ("%.nn").
std::string FormatGrouped(int decimals, double v);
// Rounds |v| at 10^-precisionIndex: mode 0 truncates, 1 adds 0.9 of a unit, others add 0.5.
double RoundByMode(int precisionIndex, int mode, double v);

// The text without half-width blanks, full-width blanks and control bytes.
std::string StripBlanks(std::string_view text);
// Every character in its full-width form (ASCII, half-width katakana; hiragana to katakana).
std::string ToFullWidth(std::string_view text);

struct TSjisCopy {
    std::string Text;
    int Taken = 0; // bytes taken; may be less than asked, characters are never split
};
// The whole characters within the byte window [start, start + count - 1], start counted from 1.
TSjisCopy CopySjis(std::string_view s, int start, int count);
// Copies the text's bytes into buffer and adds a zero byte; the caller provides the room.
void CopyToCharBuffer(char* buffer, std::string_view text);

// ---------------------------------------------------------------- geometry and text extent

// Distance between two points, in extended precision and as a double.
long double PointDistanceExtended(double x1, double y1, double x2, double y2);
double PointDistance(double x1, double y1, double x2, double y2);
// Direction of (dx, dy) in [0, 2pi]; 0 for a vector within 1e-10 of zero.
double VectorAngleRad(double dx, double dy);
// Direction of (dx, dy) in degrees, snapped to 1e-10; may come out as exactly 360.
double VectorAngleDeg(double dx, double dy);
// a brought into [0, 360); values within 1e-10 of 0 or 360 become 0.
double NormalizeDegrees(double a);
// (x, y) turned about (cx, cy) counter-clockwise.
void RotatePointRad(double x, double y, double cx, double cy, double angle, double& xr, double& yr);
void RotatePointDeg(double x, double y, double cx, double cy, double angle, double& xr, double& yr);
// v rounded to a multiple of 1e-10, halves away from zero.
double RoundToEpsilon(double v);
// Drawn width of a text: w per double-byte character, w/2 per single-byte one, spacing between.
double SjisTextWidth(std::string_view s, double w, double d);
