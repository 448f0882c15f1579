// Plane geometry of the construction: distances, directions, rotations and angle normalisation.
#include <cmath>

#include "util/MyFunc.h"

namespace {

constexpr long double kPi = 3.141592653589793238462643383279502884L;

} // namespace

long double PointDistanceExtended(double x1, double y1, double x2, double y2) {
    // Extended precision keeps the squares of far-apart drawing coordinates from overflowing.
    const long double dx = static_cast<long double>(x1) - x2;
    const long double dy = static_cast<long double>(y1) - y2;
    return std::sqrt(dx * dx + dy * dy);
}

double PointDistance(double x1, double y1, double x2, double y2) {
    return static_cast<double>(PointDistanceExtended(x1, y1, x2, y2));
}

double VectorAngleRad(double dx, double dy) {
    if (std::fabs(dx) < kGeometryTolerance<double> && std::fabs(dy) < kGeometryTolerance<double>) return 0.0;
    const double a = std::atan2(dy, dx);
    if (a < 0) return static_cast<double>(static_cast<long double>(a) + 2.0L * kPi);
    return a;
}

double VectorAngleDeg(double dx, double dy) {
    // The product is stored as a double first: an angle a hair below 2 pi then snaps to
    // exactly 360, which the construction expects.
    const volatile double degrees = static_cast<double>(VectorAngleRad(dx, dy) * 180.0L / kPi);
    return RoundToEpsilon(degrees);
}

double NormalizeDegrees(double a) {
    if (!std::isfinite(a)) return 0.0;
    double r = std::fabs(a);
    if (r >= 360.0) {
        const long double lr = r;
        r = static_cast<double>(lr - std::trunc(lr / 360.0L) * 360.0L);
    }
    if (std::fabs(r) <= kGeometryTolerance<double>) r = 0.0;
    if (std::fabs(r - 360.0) <= kGeometryTolerance<double>) r = 0.0;
    if (a < 0 && r != 0.0) r = -r; // no negative zero for a tiny negative angle
    if (r < 0) r += 360.0;
    if (r >= 360.0) r -= 360.0;
    return r;
}

void RotatePointRad(double x, double y, double cx, double cy, double angle, double& xr, double& yr) {
    const long double c = std::cos(static_cast<long double>(angle));
    const long double s = std::sin(static_cast<long double>(angle));
    const long double dx = static_cast<long double>(x) - cx;
    const long double dy = static_cast<long double>(y) - cy;
    xr = static_cast<double>((cx + c * dx) - s * dy);
    yr = static_cast<double>((cy + s * dx) + c * dy);
}

void RotatePointDeg(double x, double y, double cx, double cy, double angle, double& xr, double& yr) {
    const volatile double theta = static_cast<double>((static_cast<long double>(angle) / 180.0L) * kPi);
    RotatePointRad(x, y, cx, cy, theta, xr, yr);
}

double RoundToEpsilon(double v) {
    const long double steps =
        std::trunc(std::fabs(static_cast<long double>(v)) / kGeometryTolerance<long double> + 0.5L);
    const double r = static_cast<double>(steps * kGeometryTolerance<long double>);
    return v >= 0 ? r : -r;
}
