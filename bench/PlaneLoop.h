#pragma once

#include <cstdint>

namespace vortiquo {

// The ceiling of the parameter plane on one core, written out by hand as
// plain loops with nothing shared with the programs' code: for each pixel
// the step, its Jacobian on a tangent vector, a finiteness check on every
// step, the vector measured and renormalised every 16 steps (sooner when its
// size leaves [1e-100, 1e100], and at the end of the transient and of the
// measurement) with the logarithm then, every operation in the programs'
// order, the parameters in locals, and no call inside the loop but the
// logarithm's and, rarely, a scaled length's.

// A plane: the parameter across at p0 + ((i + ½)(p1 − p0)) / width, the one
// up at q1 − ((j + ½)(q1 − q0)) / height, the others and the start fixed.
struct PlainPlane {
    double p0 = 0, p1 = 0, q0 = 0, q1 = 0;
    int width = 0, height = 0;
    double x = 0, y = 0, z = 0;  // the start
    double a = 0, b = 0, c = 0, dt = 0;
    std::int64_t transient = 0, measured = 0;
};

// Row `row` into values[0, width): NaN where a step was not finite, −∞
// where the vector vanished; per step for the map, per unit of time for the
// flow. The quadratic map sweeps a across and b up; the convection flow b
// across and a up.
void plainQuadraticRow(const PlainPlane& plane, int row, double* values);
void plainConvectionRow(const PlainPlane& plane, int row, double* values);

}  // namespace vortiquo
