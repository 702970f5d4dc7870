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

// The Jacobian applied to the first two vectors of a basis (the third is
// not used), as the spectrum carries them.
inline void recurrenceJacobianBasis(const SimulationState& s, std::array<std::array<double, 3>, 3>& basis)
{
    recurrenceJacobian(s, basis[0]);
    recurrenceJacobian(s, basis[1]);
}

inline void quadraticJacobianBasis(const SimulationState& s, std::array<std::array<double, 3>, 3>& basis)
{
    quadraticJacobian(s, basis[0]);
    quadraticJacobian(s, basis[1]);
}

// The determinants of the Jacobians at the current point: the recurrence
// map's is −2x, so it is singular wherever x = 0; the quadratic map's is −b
// everywhere.
inline double recurrenceJacobianDeterminant(const SimulationState& s)
{
    return -(2.0 * s.x);
}

inline double quadraticJacobianDeterminant(const SimulationState& s)
{
    return -s.b;
}

}  // namespace vortiquo
