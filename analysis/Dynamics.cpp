#include "analysis/Dynamics.h"

#include <cmath>

#include "flows/FlowJacobians.h"
#include "flows/FlowModels.h"
#include "maps/MapJacobians.h"
#include "maps/MapModels.h"

namespace vortiquo {

// The recurrence map opens at a = −0.1, b = −1.7: its plane spans the
// chaotic tongue around that point and the periodic band above it, and its
// orbit diagram runs b down to where the orbit from (1, 1) escapes.
constexpr SweepView RecurrenceSweep = {-0.8, 0.6, -2.0, -0.6, SweepParameter::B, -1.9, -0.5,
                                       -2.0, 2.0, 600, 2000, 2000};
// The quadratic map opens at a = 1.4, b = 0.3: the plane spans the periodic
// wedge and the chaotic band, the orbit diagram runs a from the period-four
// window to past the escape at about 1.43. x spans the window's own view.
constexpr SweepView QuadraticSweep = {0.8, 1.6, -0.4, 0.5, SweepParameter::A, 0.9, 1.45,
                                      -1.5, 1.5, 600, 2000, 2000};

namespace {

// The flows discard 10 units of time and measure 10,000,000 Euler steps,
// pulling the twin back every 10 steps; the maps discard 1,000 steps and
// measure 1,000,000, pulling the twin back every step. The twin series runs
// long enough for the twin to part from the orbit at the opening values.
// The dimensions keep a flow's point every tenth of a unit of time (the
// spiral flow turns about six times slower: every half unit) and pair no two
// points within a unit of time of each other (the spiral flow: five); a
// map's points are its steps, all paired.
constexpr Dynamics DynamicsTable[] = {
    // model          Jacobian, on a basis, determinant                                        timed
    //                transient  measured    k   twin   spacing  Theiler  sweeps
    {&ConvectionFlow, convectionJacobian, convectionJacobianBasis, convectionJacobianDeterminant, true,
                      10.0,      10'000'000, 10, 60.0,  0.1,     1.0,     nullptr},
    {&SpiralFlow,     spiralJacobian,     spiralJacobianBasis,     spiralJacobianDeterminant,     true,
                      10.0,      10'000'000, 10, 800.0, 0.5,     5.0,     nullptr},
    {&RecurrenceMap,  recurrenceJacobian, recurrenceJacobianBasis, recurrenceJacobianDeterminant, false,
                      1000.0,    1'000'000,  1,  200.0, 1.0,     0.0,     &RecurrenceSweep},
    {&QuadraticMap,   quadraticJacobian,  quadraticJacobianBasis,  quadraticJacobianDeterminant,  false,
                      1000.0,    1'000'000,  1,  200.0, 1.0,     0.0,     &QuadraticSweep},
};

}  // namespace

const Dynamics* dynamicsOf(const Model& model)
{
    for (const Dynamics& row : DynamicsTable)
        if (row.model == &model)
            return &row;
    return nullptr;
}

double stepDuration(const Dynamics& dynamics, const SimulationState& state)
{
    return dynamics.timed ? state.dt : 1.0;
}

std::int64_t stepsFor(const Dynamics& dynamics, const SimulationState& state, double duration)
{
    const double steps = std::round(duration / std::fabs(stepDuration(dynamics, state)));
    if (!std::isfinite(steps) || !(steps >= 0))
        return 0;
    return steps >= static_cast<double>(MaxDefaultSteps) ? MaxDefaultSteps : static_cast<std::int64_t>(steps);
}

SimulationState runStart(const Model& model, SimulationState window)
{
    resetToStart(model, window);
    return window;
}

double lengthScaled(const Tangent& v, int coordinates)
{
    const double z = coordinates == 3 ? v[2] : 0.0;
    const double largest = std::fmax(std::fmax(std::fabs(v[0]), std::fabs(v[1])), std::fabs(z));
    if (!(largest > 0) || std::isinf(largest))
        return largest;  // 0, infinite, or NaN (a NaN beside other numbers gives NaN below)
    const double x = v[0] / largest, y = v[1] / largest, w = z / largest;
    return largest * std::sqrt((x * x + y * y) + w * w);
}

Tangent pointOf(const SimulationState& state, int coordinates)
{
    return {state.x, state.y, coordinates == 3 ? state.z : 0.0};
}

}  // namespace vortiquo
