#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "analysis/Control.h"
#include "analysis/Dynamics.h"

namespace vortiquo {

// Two runs side by side: the orbit from the start, and a twin from the same
// start with x moved by ε, both stepped by the model's own step. What the
// separation plot draws and what the separation file lists.

struct TwinSettings {
    double epsilon = 1e-8;  // added to the twin's x
    std::int64_t steps = 0;
    // A sample every so many steps (and one at step 0).
    std::int64_t sampleEvery = 1;
};
// More samples than this (40 bytes each) make the settings Invalid.
inline constexpr std::int64_t MaxTwinSamples = 10'000'000;

// The defaults of a model (Dynamics.h): the maps run 200 steps sampling each
// one; the convection flow runs 60 units of time and the spiral flow 800,
// both sampling every 10 steps.
TwinSettings defaultTwinSettings(const Dynamics& dynamics, const SimulationState& state);

struct TwinSample {
    std::int64_t step;
    double time;  // step × dt for the flows, step for the maps
    double x;
    double twinX;
    double separation;  // the Euclidean distance of the two points (2 or 3 coordinates)
};

struct TwinSeries {
    Outcome outcome = Outcome::Invalid;
    // On a fault: which orbit's step failed (Orbit when both did), and that
    // step, counted from 1. The samples stop before it.
    FaultSource faultSource = FaultSource::None;
    std::int64_t faultStep = 0;
    std::vector<TwinSample> samples;
    // The attractor's size: the diagonal of the box that holds every point
    // of the orbit (not the twin) from the start to the last step taken.
    double attractorSize = 0;
};

// Runs both orbits from `start` (see fieldStart in core/FieldRules.h) for
// settings.steps steps, or until a fault or the cancel flag.
TwinSeries twinOrbitSeries(const Model& model, const SimulationState& start, const TwinSettings& settings,
                           const AnalysisControl& control = {});

// The first sample whose separation reaches `fraction` of the attractor's
// size, if any: the time the twin parts from the orbit is its time.
inline constexpr double PartingFraction = 0.1;
std::optional<TwinSample> partingSample(const TwinSeries& series, double fraction = PartingFraction);

// The least-squares line through (time, ln separation) over the growth
// phase: the samples from the start to the last one below `fraction` of the
// attractor's size (a hundredth by default, well before the separation
// saturates). Its slope is the rate of exponential growth, per step for the
// maps and per unit of time for the flows; the fit is valid with two
// samples or more.
inline constexpr double GrowthCeilingFraction = 0.01;
struct GrowthFit {
    bool valid = false;
    double rate = 0;       // slope
    double intercept = 0;  // ln separation at time 0
    double endTime = 0;    // the last sample's time
    std::int64_t samples = 0;
};
GrowthFit fitGrowth(const TwinSeries& series, double fraction = GrowthCeilingFraction);

}  // namespace vortiquo
