#pragma once

#include <array>

#include "core/SimulationState.h"

namespace vortiquo {

// The Jacobians of the flows' Euler steps, applied to a tangent vector
// (v0, v1, v2) in place. The step is p' = p + dt·f(p), so its Jacobian is
// I + dt·Df(p), taken at the current point (x, y, z) before the step: the
// exponent measured is that of the map the program iterates, at the
// window's dt. Like the steps, they take doubles or vectors of doubles.

template <typename State, typename Number>
inline void convectionTangent(const State& s, Number& v0, Number& v1, Number& v2)
{
    // f = (a(y − x), bx − y − xz, cz + xy)
    const Number fx = s.a * (v1 - v0);
    const Number fy = ((s.b - s.z) * v0 - v1) - s.x * v2;
    const Number fz = (s.y * v0 + s.x * v1) + s.c * v2;
    v0 = v0 + s.dt * fx;
    v1 = v1 + s.dt * fy;
    v2 = v2 + s.dt * fz;
}

template <typename State, typename Number>
inline void spiralTangent(const State& s, Number& v0, Number& v1, Number& v2)
{
    // f = (−(y + z), x + ay, xz − cz + b)
    const Number fx = -(v1 + v2);
    const Number fy = v0 + s.a * v1;
    const Number fz = s.z * v0 + (s.x - s.c) * v2;
    v0 = v0 + s.dt * fx;
    v1 = v1 + s.dt * fy;
    v2 = v2 + s.dt * fz;
}

// The same on a tangent vector of the analyses.
inline void convectionJacobian(const SimulationState& s, std::array<double, 3>& v)
{
    convectionTangent(s, v[0], v[1], v[2]);
}

inline void spiralJacobian(const SimulationState& s, std::array<double, 3>& v)
{
    spiralTangent(s, v[0], v[1], v[2]);
}

// The same Jacobian applied to each vector of a basis, as the spectrum
// carries it.
inline void convectionJacobianBasis(const SimulationState& s, std::array<std::array<double, 3>, 3>& basis)
{
    for (std::array<double, 3>& v : basis)
        convectionJacobian(s, v);
}

inline void spiralJacobianBasis(const SimulationState& s, std::array<std::array<double, 3>, 3>& basis)
{
    for (std::array<double, 3>& v : basis)
        spiralJacobian(s, v);
}

namespace flowDetail {

// The determinant of the 3×3 matrix of rows (p, q, r), by the first row.
inline double determinant(const std::array<double, 3>& p, const std::array<double, 3>& q,
                          const std::array<double, 3>& r)
{
    return (p[0] * (q[1] * r[2] - q[2] * r[1]) - p[1] * (q[0] * r[2] - q[2] * r[0])) +
           p[2] * (q[0] * r[1] - q[1] * r[0]);
}

}  // namespace flowDetail

// The determinants of the Euler steps' Jacobians I + dt·Df at the current point.
inline double convectionJacobianDeterminant(const SimulationState& s)
{
    const double h = s.dt;
    return flowDetail::determinant({1.0 - h * s.a, h * s.a, 0.0}, {h * (s.b - s.z), 1.0 - h, -(h * s.x)},
                                   {h * s.y, h * s.x, 1.0 + h * s.c});
}

inline double spiralJacobianDeterminant(const SimulationState& s)
{
    const double h = s.dt;
    return flowDetail::determinant({1.0, -h, -h}, {h, 1.0 + h * s.a, 0.0}, {h * s.z, 0.0, 1.0 + h * (s.x - s.c)});
}

}  // namespace vortiquo
