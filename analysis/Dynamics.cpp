#include "analysis/Dynamics.h"

#include <cmath>

#include "flows/FlowJacobians.h"
#include "flows/FlowModels.h"
#include "maps/MapJacobians.h"
#include "maps/MapModels.h"

namespace vortiquo {

namespace {

// The sections' planes, at the window's parameters.
double convectionSection(const SimulationState& at)
{
    return at.b - 1;
}

double spiralSection(const SimulationState&)
{
    return 0;
}

constexpr SweepSpan Unused = {0, 0};

}  // namespace

// The recurrence map opens at a = −0.1, b = −1.7: its plane spans the
// chaotic tongue around that point and the periodic band above it, and its
// orbit diagram runs b down to where the orbit from (1, 1) escapes.
constexpr SweepView RecurrenceSweep = {
    SweepParameter::A, SweepParameter::B, {-0.8, 0.6}, {-2.0, -0.6}, 600, 2000, 512, 1.0,
    SweepParameter::B, {-1.9, -0.5}, Coordinate::X, {{-2.0, 2.0}, Unused, Unused}, 600, 2000,
    0, 0, Coordinate::X, nullptr, true};
// The quadratic map opens at a = 1.4, b = 0.3: the plane spans the periodic
// wedge and the chaotic band, the orbit diagram runs a from the period-four
// window to past the escape at about 1.43. x spans the window's own view.
constexpr SweepView QuadraticSweep = {
    SweepParameter::A, SweepParameter::B, {0.8, 1.6}, {-0.4, 0.5}, 600, 2000, 512, 1.0,
    SweepParameter::A, {0.9, 1.45}, Coordinate::X, {{-1.5, 1.5}, Unused, Unused}, 600, 2000,
    0, 0, Coordinate::X, nullptr, true};
// The convection flow opens at a = 10, b = 28, c = −8/3.
constexpr SweepView ConvectionSweep = {
    SweepParameter::B, SweepParameter::A, {20, 200}, {4, 20}, 10, 20, 128, 2.5,
    SweepParameter::B, {140, 170}, Coordinate::Z, {{0, 60}, {0, 100}, {100, 280}}, 100, 50,
    20, 500, Coordinate::Z, convectionSection, true};
// The spiral flow opens at a = b = 0.2, c = 5.7.
constexpr SweepView SpiralSweep = {
    SweepParameter::C, SweepParameter::A, {2, 7}, {0.05, 0.35}, 100, 200, 128, 0.2,
    SweepParameter::C, {2, 6}, Coordinate::X, {{0, 12}, {0, 12}, {0, 25}}, 300, 200,
    100, 2000, Coordinate::X, spiralSection, false};

namespace {

// The flows discard 10 units of time and measure 10,000,000 Euler steps,
// pulling the twin back every 10 steps; the maps discard 1,000 steps and
// measure 1,000,000, pulling the twin back every step. The twin series runs
// long enough for the twin to part from the orbit at the opening values.
constexpr Dynamics DynamicsTable[] = {
    // model          Jacobian            timed  transient  measured    k   twin   sweeps            parameters
    {&ConvectionFlow, convectionJacobian, true,  10.0,      10'000'000, 10, 60.0,  &ConvectionSweep, 3},
    {&SpiralFlow,     spiralJacobian,     true,  10.0,      10'000'000, 10, 800.0, &SpiralSweep,     3},
    {&RecurrenceMap,  recurrenceJacobian, false, 1000.0,    1'000'000,  1,  200.0, &RecurrenceSweep, 2},
    {&QuadraticMap,   quadraticJacobian,  false, 1000.0,    1'000'000,  1,  200.0, &QuadraticSweep,  2},
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

std::int64_t sweepSteps(const Dynamics& dynamics, const SimulationState& state, double duration, std::int64_t most)
{
    const double unit = std::fabs(stepDuration(dynamics, state));
    const double steps = std::round(duration / unit);
    if (!(unit > 0) || !std::isfinite(unit) || !(steps >= 0) || !(steps <= static_cast<double>(most)))
        return -1;
    return static_cast<std::int64_t>(steps);
}

double parameterOf(const SimulationState& state, SweepParameter parameter)
{
    switch (parameter) {
    case SweepParameter::A: return state.a;
    case SweepParameter::B: return state.b;
    case SweepParameter::C: return state.c;
    }
    return state.a;
}

void setParameter(SimulationState& state, SweepParameter parameter, double value)
{
    switch (parameter) {
    case SweepParameter::A: state.a = value; return;
    case SweepParameter::B: state.b = value; return;
    case SweepParameter::C: state.c = value; return;
    }
}

double coordinateOf(const SimulationState& state, Coordinate coordinate)
{
    switch (coordinate) {
    case Coordinate::X: return state.x;
    case Coordinate::Y: return state.y;
    case Coordinate::Z: return state.z;
    }
    return state.x;
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
