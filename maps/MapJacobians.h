#pragma once

#include <array>

#include "core/SimulationState.h"

namespace vortiquo {

// The Jacobians of the maps, taken at the current point (x, y) before the
// step and applied to a tangent vector (v0, v1) in place. Like the steps,
// they take doubles or vectors of doubles.

template <typename State, typename Number>
inline void recurrenceTangent(const State& s, Number& v0, Number& v1)
{
    // (x, y) → (ax + y, b + x²)
    const Number first = s.a * v0 + v1;
    v1 = (2.0 * s.x) * v0;
    v0 = first;
}

template <typename State, typename Number>
inline void quadraticTangent(const State& s, Number& v0, Number& v1)
{
    // (x, y) → (y + 1 − ax², bx)
    const Number first = (-2.0 * s.a * s.x) * v0 + v1;
    v1 = s.b * v0;
    v0 = first;
}

// The same on a tangent vector of the analyses (v[2] is not used and left 0).
inline void recurrenceJacobian(const SimulationState& s, std::array<double, 3>& v)
{
    recurrenceTangent(s, v[0], v[1]);
    v[2] = 0.0;
}

inline void quadraticJacobian(const SimulationState& s, std::array<double, 3>& v)
{
    quadraticTangent(s, v[0], v[1]);
    v[2] = 0.0;
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
