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
// Tangent vectors carried together, one per coordinate; the maps use the first two.
using TangentBasis = std::array<Tangent, 3>;

enum class SweepParameter : std::uint8_t { A, B };

// The views the parameter sweeps of a map open with, around the window's
// opening values.
struct SweepView {
    double a0, a1;  // the plane's a, left edge to right edge
    double b0, b1;  // the plane's b, bottom edge to top edge
    SweepParameter diagramParameter;  // across the orbit diagram; the other keeps the window's value
    double p0, p1;                    // its range, left edge to right edge
    double xLow, xHigh;               // the orbit diagram's x, bottom edge to top edge
    std::int64_t transient;           // T: steps each pixel or column discards first
    std::int64_t measured;            // N: steps that measure a pixel's exponent
    std::int64_t points;              // K: points histogrammed per column
};

struct Dynamics {
    const Model* model;
    // The step's Jacobian at the state's current point (before the step)
    // applied to v in place.
    void (*jacobian)(const SimulationState& at, Tangent& v);
    // The same Jacobian applied to each vector of a basis in place, and its
    // determinant, at the same point.
    void (*jacobianBasis)(const SimulationState& at, TangentBasis& basis);
    double (*jacobianDeterminant)(const SimulationState& at);
    // A step lasts dt (the flows) rather than one unit: exponents are then
    // per unit of time.
    bool timed;
    // Defaults: the transient discarded before the exponent (in units of
    // time; a map's unit is one step), the steps that measure it, the
    // interval k (in steps) between pulls of the twin orbit and between
    // samples of the twin series, and between two re-orthonormalisations of
    // the spectrum's basis, and the twin series' length in time.
    double transientTime;
    std::int64_t measuredSteps;
    std::int64_t twinInterval;
    double twinTime;
    // The dimensions' points: the time between two points kept (a flow's
    // neighbouring steps are too alike to count as separate points), and the
    // Theiler window, the time apart below which two points are not paired.
    double pointSpacing;
    double theilerTime;
    const SweepView* sweep;  // nullptr: the model has no parameter sweeps
};

// The row of a model of the suite, or nullptr for a model it does not know.
const Dynamics* dynamicsOf(const Model& model);

// The time one step lasts: the state's dt for a timed model, else 1.
double stepDuration(const Dynamics& dynamics, const SimulationState& state);

// The steps that make up a duration: round(duration / |step duration|),
// at most MaxDefaultSteps; 0 when a step lasts no time or no finite time.
inline constexpr std::int64_t MaxDefaultSteps = 1'000'000'000;
std::int64_t stepsFor(const Dynamics& dynamics, const SimulationState& state, double duration);

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
