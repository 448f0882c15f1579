// Points and segments of the dimension in drawing coordinates, with the turns and unit
// vectors that the construction, the end marks and the value text share.
#pragma once

#include <cmath>
#include <numbers>

#include "util/MyFunc.h"

struct TPoint {
    double X = 0, Y = 0;
};

struct TSegment {
    TPoint From, To;
};

// p turned about centre counter-clockwise, through the shared rotation so that every turn of
// the construction rounds the same way.
inline TPoint RotateAbout(TPoint p, TPoint centre, double degrees) {
    TPoint r;
    RotatePointDeg(p.X, p.Y, centre.X, centre.Y, degrees, r.X, r.Y);
    return r;
}

inline TPoint UnitVector(double degrees) {
    const double radians = degrees / 180 * std::numbers::pi;
    return {std::cos(radians), std::sin(radians)};
}

// The point length along direction from p.
inline TPoint Advance(TPoint p, double length, TPoint direction) {
    return {p.X + length * direction.X, p.Y + length * direction.Y};
}

inline bool IsFinitePoint(TPoint p) {
    return std::isfinite(p.X) && std::isfinite(p.Y);
}

inline bool IsFiniteSegment(const TSegment& s) {
    return IsFinitePoint(s.From) && IsFinitePoint(s.To);
}
