#pragma once

#include <array>

#include "core/SimulationState.h"

namespace vortiquo {

// The Jacobians of the flows' Euler steps, applied to a tangent vector v in
// place. The step is p' = p + dt·f(p), so its Jacobian is I + dt·Df(p), taken
// at the current point (x, y, z) before the step: the exponent measured is
// that of the map the program iterates, at the window's dt.

inline void convectionJacobian(const SimulationState& s, std::array<double, 3>& v)
{
    // f = (a(y − x), bx − y − xz, cz + xy)
    const double fx = s.a * (v[1] - v[0]);
    const double fy = ((s.b - s.z) * v[0] - v[1]) - s.x * v[2];
    const double fz = (s.y * v[0] + s.x * v[1]) + s.c * v[2];
    v = {v[0] + s.dt * fx, v[1] + s.dt * fy, v[2] + s.dt * fz};
}

inline void spiralJacobian(const SimulationState& s, std::array<double, 3>& v)
{
    // f = (−(y + z), x + ay, xz − cz + b)
    const double fx = -(v[1] + v[2]);
    const double fy = v[0] + s.a * v[1];
    const double fz = s.z * v[0] + (s.x - s.c) * v[2];
    v = {v[0] + s.dt * fx, v[1] + s.dt * fy, v[2] + s.dt * fz};
}

}  // namespace vortiquo
