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
    {{-0.8, 0.6}, {-2.0, -0.6}, Unused}, SweepParameter::A, SweepParameter::B, 600, 2000, 512, 1.0,
    SweepParameter::B, {-1.9, -0.5}, Coordinate::X, {{-2.0, 2.0}, Unused, Unused}, 600, 2000,
    0, 0, Coordinate::X, nullptr, true};
// The quadratic map opens at a = 1.4, b = 0.3: the plane spans the periodic
// wedge and the chaotic band, the orbit diagram runs a from the period-four
// window to past the escape at about 1.43. x spans the window's own view.
constexpr SweepView QuadraticSweep = {
    {{0.8, 1.6}, {-0.4, 0.5}, Unused}, SweepParameter::A, SweepParameter::B, 600, 2000, 512, 1.0,
    SweepParameter::A, {0.9, 1.45}, Coordinate::X, {{-1.5, 1.5}, Unused, Unused}, 600, 2000,
    0, 0, Coordinate::X, nullptr, true};
// The convection flow opens at a = 10, b = 28, c = −8/3. Its plane over b
// and a holds the stable points below b ≈ 25, chaos, and the periodic
// orbits of large b and small a; its orbit diagram of the maxima of z runs b
// through the periodic windows near 93, 100 and 146 to 164 (the last with
// its own doublings) and the chaos between them. Its exponents reach about
// 3 per unit of time. Its section is the plane z = b − 1, which holds both
// nontrivial fixed points: each loop of the orbit round one of them crosses
// it once upwards, so the section shows the two wings as two short curves.
constexpr SweepView ConvectionSweep = {
    {{4, 20}, {20, 200}, {-4, -0.5}}, SweepParameter::B, SweepParameter::A, 10, 20, 128, 2.5,
    SweepParameter::B, {95, 170}, Coordinate::Z, {{-20, 60}, {-80, 130}, {100, 300}}, 100, 50,
    20, 1000, Coordinate::Z, convectionSection, true};
// The spiral flow opens at a = b = 0.2, c = 5.7. Its orbit diagram of the
// maxima of x runs c through the period-doubling cascade (the first
// doublings near 2.83 and 3.84, the accumulation near 4.2) into chaos and
// its windows; near a doubling a column settles slowly, hence the long
// transient. Its plane over c and a holds the cycles of small c or a and
// the chaos beyond (exponents of about 0.2 per unit of time at most). Its
// section is the plane x = 0, crossed where x falls: the inner fixed point
// lies within a hundredth of it, each turn of the spiral crosses it once in
// that direction, away from the excursions in z, and the section shows the
// band of the attractor as the thin folded curve it nearly is.
constexpr SweepView SpiralSweep = {
    {{0.05, 0.35}, {0.05, 1.0}, {2, 7}}, SweepParameter::C, SweepParameter::A, 100, 200, 128, 0.2,
    SweepParameter::C, {2, 6}, Coordinate::X, {{3, 12.5}, {1, 9}, {0, 26}}, 400, 600,
    100, 5000, Coordinate::X, spiralSection, false};

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
