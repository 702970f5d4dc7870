#pragma once

#include <array>

#include "core/SimulationState.h"

namespace vortiquo {

// The Jacobians of the maps, taken at the current point (x, y) before the
// step and applied to a tangent vector v in place (v[2] is not used).

inline void recurrenceJacobian(const SimulationState& s, std::array<double, 3>& v)
{
    // (x, y) → (ax + y, b + x²)
    v = {s.a * v[0] + v[1], (2.0 * s.x) * v[0], 0.0};
}

inline void quadraticJacobian(const SimulationState& s, std::array<double, 3>& v)
{
    // (x, y) → (y + 1 − ax², bx)
    v = {(-2.0 * s.a * s.x) * v[0] + v[1], s.b * v[0], 0.0};
}

}  // namespace vortiquo
