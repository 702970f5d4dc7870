#pragma once

#include <cstdint>
#include <limits>
#include <vector>

#include "analysis/Control.h"
#include "analysis/Dynamics.h"

namespace vortiquo {

// The largest Lyapunov exponent of a model as the program iterates it: the
// map itself, or a flow's Euler step at the state's dt. It is measured on the
// very orbit a run draws (the model's own step, from the given start) by two
// independent methods, which must agree within their uncertainty:
//  - tangent: the step's Jacobian carries a unit vector along the orbit; the
//    logarithm of its growth is summed and the vector renormalised each step;
//  - two orbits: a twin δ₀ away is stepped beside the orbit and pulled back
//    to δ₀ along the separation every k steps; the logarithm of the
//    separation's growth is summed.
// The sums are divided by the steps measured times the step's duration:
// per step for the maps, per unit of time for the flows. The exponent of the
// Euler map lies a little above that of the exact flow; it is reported as it
// is, never corrected towards the flow's. Within the transient, a tangent
// that a singular Jacobian collapses starts afresh along x, and a twin it
// merges with the orbit starts afresh along the diagonal; after it, either
// is a fault (FaultSource::Tangent, Twin) with its step.

struct LyapunovSettings {
    // Steps discarded first; both methods already run through them, so
    // their vectors are aligned when the measurement starts.
    std::int64_t transientSteps = 0;
    // Steps measured: at least 20 times renormaliseEvery.
    std::int64_t measuredSteps = 0;
    // k: steps between two pulls of the twin.
    std::int64_t renormaliseEvery = 1;
    // δ₀ relative to the orbit's scale: each pull puts the twin
    // relativeSeparation × max(1, |p|) away from the orbit's point p (the
    // growth of each interval is measured against the distance it started
    // from). Far above the rounding of the coordinates, far below the
    // attractor's size.
    double relativeSeparation = 1e-9;
    // Points of the running estimate kept for a convergence plot, evenly
    // spaced over the measured steps.
    int convergenceSamples = 500;
};
// Beyond these, settings are Invalid.
inline constexpr std::int64_t MaxLyapunovSteps = 1'000'000'000'000;
inline constexpr int MaxConvergenceSamples = 100'000;

// The defaults of a model (Dynamics.h): the maps discard 1,000 steps and
// measure 1,000,000 with k = 1; the flows discard round(10 / |dt|) steps
// (10 units of time) and measure 10,000,000 with k = 10.
LyapunovSettings defaultLyapunovSettings(const Dynamics& dynamics, const SimulationState& state);

// An estimate and its standard error: that of the means of 20 equal blocks
// of the measured steps.
inline constexpr int LyapunovBlocks = 20;
struct Estimate {
    double value = std::numeric_limits<double>::quiet_NaN();
    double standardError = std::numeric_limits<double>::quiet_NaN();
};
// Where the blocks of `measured` steps end: each end but the last a
// multiple of k, so that a renormalisation falls on it; the last at `measured`.
void measurementBlockEnds(std::int64_t measured, std::int64_t k, std::int64_t (&ends)[LyapunovBlocks]);
// The standard error of the mean of the blocks' values.
double blockStandardError(const double (&values)[LyapunovBlocks]);

// The running estimates after `step` measured steps (time = step × duration).
// twoOrbit is NaN until the twin's first pull.
struct ConvergencePoint {
    std::int64_t step;
    double time;
    double tangent;
    double twoOrbit;
};

struct LyapunovResult {
    Outcome outcome = Outcome::Invalid;
    // On a fault: which computation met it, and the step that did, counted
    // from 1 at the first step from the start (transient included).
    FaultSource faultSource = FaultSource::None;
    std::int64_t faultStep = 0;
    Estimate tangent;
    Estimate twoOrbit;
    double stepDuration = 1;  // dt for the flows, 1 for the maps
    std::vector<ConvergencePoint> convergence;
};

// Measures from `start` (whose point is the orbit's first point: see
// fieldStart in core/FieldRules.h) with the model's parameters and dt. Estimates are
// set only when the outcome is Finished (a cancelled run keeps the
// convergence points it reached). Same inputs, same bits.
LyapunovResult largestLyapunovExponent(const Model& model, const SimulationState& start,
                                       const LyapunovSettings& settings, const AnalysisControl& control = {});

}  // namespace vortiquo
