#include "bench/PlaneLoop.h"

#include <cmath>
#include <limits>

namespace vortiquo {

namespace {

constexpr double NotANumber = std::numeric_limits<double>::quiet_NaN();

double across(const PlainPlane& plane, int column)
{
    return plane.p0 + ((column + 0.5) * (plane.p1 - plane.p0)) / plane.width;
}

double up(const PlainPlane& plane, int row)
{
    return plane.q1 - ((row + 0.5) * (plane.q1 - plane.q0)) / plane.height;
}

// The Euclidean length, by the largest component first when the squares
// leave the double range.
double norm(double u, double v, double w)
{
    const double squares = (u * u + v * v) + w * w;
    if (squares >= 0x1p-960 && squares <= 0x1p960)
        return std::sqrt(squares);
    const double largest = std::fmax(std::fmax(std::fabs(u), std::fabs(v)), std::fabs(w));
    if (!(largest > 0) || std::isinf(largest))
        return largest;
    const double x = u / largest, y = v / largest, z = w / largest;
    return largest * std::sqrt((x * x + y * y) + z * z);
}

double exponent(double sum, std::int64_t measured, double duration)
{
    return std::isfinite(sum) ? sum / (static_cast<double>(measured) * duration)
                              : -std::numeric_limits<double>::infinity();
}

double quadraticPixel(const PlainPlane& plane, double a, double b)
{
    const std::int64_t steps = plane.transient + plane.measured;
    double x = plane.x, y = plane.y;
    double u = 1, v = 0, sum = 0;
    int pending = 0;
    for (std::int64_t step = 1; step <= steps; ++step) {
        const double uNext = (-2.0 * a * x) * u + v;
        v = b * u;
        u = uNext;
        const double xNext = (y + 1.0) - (a * (x * x));
        const double yNext = b * x;
        if (!std::isfinite(xNext) || !std::isfinite(yNext))
            return NotANumber;
        x = xNext;
        y = yNext;
        const double size = std::fabs(u) + std::fabs(v);
        if (++pending == 16 || step == plane.transient || step == steps || !(size > 1e-100 && size < 1e100)) {
            const double length = norm(u, v, 0.0);
            if (step > plane.transient)
                sum += std::log(length);
            const double inverse = 1.0 / length;
            u = u * inverse;
            v = v * inverse;
            pending = 0;
        }
    }
    return exponent(sum, plane.measured, 1.0);
}

double convectionPixel(const PlainPlane& plane, double a, double b)
{
    const double c = plane.c, dt = plane.dt;
    const std::int64_t steps = plane.transient + plane.measured;
    double x = plane.x, y = plane.y, z = plane.z;
    double u = 1, v = 0, w = 0, sum = 0;
    int pending = 0;
    for (std::int64_t step = 1; step <= steps; ++step) {
        const double fu = a * (v - u);
        const double fv = ((b - z) * u - v) - x * w;
        const double fw = (y * u + x * v) + c * w;
        u = u + dt * fu;
        v = v + dt * fv;
        w = w + dt * fw;
        const double xNext = x + dt * (a * (y - x));
        const double yNext = y + dt * (((b * x) - y) - (x * z));
        const double zNext = z + ((c * z) + (x * y)) * dt;
        if (!std::isfinite(xNext) || !std::isfinite(yNext) || !std::isfinite(zNext))
            return NotANumber;
        x = xNext;
        y = yNext;
        z = zNext;
        const double size = (std::fabs(u) + std::fabs(v)) + std::fabs(w);
        if (++pending == 16 || step == plane.transient || step == steps || !(size > 1e-100 && size < 1e100)) {
            const double length = norm(u, v, w);
            if (step > plane.transient)
                sum += std::log(length);
            const double inverse = 1.0 / length;
            u = u * inverse;
            v = v * inverse;
            w = w * inverse;
            pending = 0;
        }
    }
    return exponent(sum, plane.measured, dt);
}

}  // namespace

void plainQuadraticRow(const PlainPlane& plane, int row, double* values)
{
    const double b = up(plane, row);
    for (int column = 0; column < plane.width; ++column)
        values[column] = quadraticPixel(plane, across(plane, column), b);
}

void plainConvectionRow(const PlainPlane& plane, int row, double* values)
{
    const double a = up(plane, row);
    for (int column = 0; column < plane.width; ++column)
        values[column] = convectionPixel(plane, a, across(plane, column));
}

}  // namespace vortiquo
