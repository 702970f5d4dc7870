#pragma once

#include <array>
#include <cmath>
#include <cstdint>

#include "analysis/Control.h"  // first: its FaultSource::Tangent would otherwise shadow the Tangent below
#include "core/Model.h"

namespace vortiquo {

// What the analyses know of each model beyond its own step: the Jacobian of
// the step, the unit of time, the defaults of each analysis. One row per
// model (Dynamics.cpp); the analyses read the row and never ask which
// program runs.

// A tangent vector (x, y, z); the maps leave z at 0.
using Tangent = std::array<double, 3>;

// The parameters a sweep can vary, and the coordinates it can record.
enum class SweepParameter : std::uint8_t { A, B, C };
enum class Coordinate : std::uint8_t { X, Y, Z };

// An interval of a sweep's picture, from its low edge to its high edge.
struct SweepSpan {
    double low, high;
};

// The views the parameter sweeps open with, around the window's opening
// values. Durations are in the model's unit of time: a step for a map, a
// unit of time for a flow (converted into Euler steps at the window's Δt).
struct SweepView {
    // The range each parameter is swept over (a, b, c; a map has no c),
    // unless a view below names its own.
    SweepSpan parameterSpans[3];
    // The parameter plane: `across` left to right, `up` bottom to top over
    // their ranges; a flow's third parameter keeps the window's value.
    SweepParameter across, up;
    double planeTransient;  // T: discarded before a pixel's exponent is measured
    double planeMeasured;   // N: the time that measures it
    int planeSide;          // the window's full pass: points across and down
    double colourScale;     // |λ| at which the plane's colours saturate
    // The orbit diagram: the parameter swept (the others keep the window's
    // values) and the coordinate recorded, every value of it for a map, its
    // local maxima for a flow.
    SweepParameter varied;
    SweepSpan variedSpan;  // its range here
    Coordinate recorded;
    SweepSpan valueSpans[3];   // the diagram's vertical range for each coordinate
    double diagramTransient;   // T: discarded before a column records
    double diagramDuration;    // N: the time a column records
    // The map of successive maxima and the section, at the window's own
    // parameters (a flow's only: a map is its own section).
    double orbitTransient, orbitDuration;
    Coordinate sectionAt;  // the section's plane: this coordinate at sectionLevel
    double (*sectionLevel)(const SimulationState& at);
    bool sectionUpward;  // crossings where the coordinate grows (else where it falls)
};

// The range a parameter is swept over, in the view's plane or on its own.
inline const SweepSpan& parameterSpan(const SweepView& view, SweepParameter parameter)
{
    return view.parameterSpans[static_cast<std::size_t>(parameter)];
}

// A parameter or a coordinate of a state.
double parameterOf(const SimulationState& state, SweepParameter parameter);
void setParameter(SimulationState& state, SweepParameter parameter, double value);
double coordinateOf(const SimulationState& state, Coordinate coordinate);

struct Dynamics {
    const Model* model;
    // The step's Jacobian at the state's current point (before the step)
    // applied to v in place.
    void (*jacobian)(const SimulationState& at, Tangent& v);
    // A step lasts dt (the flows) rather than one unit: exponents are then
    // per unit of time.
    bool timed;
    // Defaults: the transient discarded before the exponent (in units of
    // time; a map's unit is one step), the steps that measure it, the
    // interval k (in steps) between pulls of the twin orbit and between
    // samples of the twin series, and the twin series' length in time.
    double transientTime;
    std::int64_t measuredSteps;
    std::int64_t twinInterval;
    double twinTime;
    const SweepView* sweep;  // nullptr: the model has no parameter sweeps
    // The parameters the model has: 2 for the maps (a, b), 3 for the flows.
    int parameters;
};

// The row of a model of the suite, or nullptr for a model it does not know.
const Dynamics* dynamicsOf(const Model& model);

// The time one step lasts: the state's dt for a timed model, else 1.
double stepDuration(const Dynamics& dynamics, const SimulationState& state);

// The steps that make up a duration: round(duration / |step duration|),
// at most MaxDefaultSteps; 0 when a step lasts no time or no finite time.
inline constexpr std::int64_t MaxDefaultSteps = 1'000'000'000;
std::int64_t stepsFor(const Dynamics& dynamics, const SimulationState& state, double duration);
// The steps a sweep takes for a duration: as stepsFor, but −1 instead of a
// capped count when they would be more than `most`, or when a step lasts no
// finite, non-zero time.
std::int64_t sweepSteps(const Dynamics& dynamics, const SimulationState& state, double duration, std::int64_t most);

// The state a run of the program starts from: "Via" puts the point back to
// its fixed start, 1 in each coordinate. The analyses of a window start
// where its fields x0, y0 (z0) say instead (fieldStart in core/FieldRules.h),
// the point a user types to study; this is the other start, for callers
// that want the run's own orbit.
SimulationState runStart(const Model& model, SimulationState window);

// One step of an orbit, as a run takes it: the model's own step, then the
// next point made current. false on a fault, with nothing committed. (A run
// also stops when its point cannot be drawn; the analyses draw nothing.)
inline bool advance(const Model& model, SimulationState& state)
{
    if (!model.StepModel(state))
        return false;
    commitNext(model, state);
    return true;
}

// The Euclidean length of the first `coordinates` components. Squares
// beyond the double range (an escaping orbit's) or below its precision are
// left to lengthScaled, which divides by the largest component first.
double lengthScaled(const Tangent& v, int coordinates);
inline double length(const Tangent& v, int coordinates)
{
    double sum = v[0] * v[0] + v[1] * v[1];
    if (coordinates == 3)
        sum = sum + v[2] * v[2];
    if (!(sum >= 0x1p-960 && sum <= 0x1p960))
        return lengthScaled(v, coordinates);
    return std::sqrt(sum);
}
// The point of a state as a vector (z is 0 for the maps).
Tangent pointOf(const SimulationState& state, int coordinates);

}  // namespace vortiquo
