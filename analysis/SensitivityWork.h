#pragma once

#include <optional>

#include "analysis/Lyapunov.h"
#include "analysis/Spectrum.h"
#include "analysis/TwinOrbit.h"
#include "core/FieldRules.h"

namespace vortiquo {

// What the Sensibilità window and the command line's --lyapunov and
// --separation compute, from the fields as they stand: the twin orbit, the
// largest exponent and the whole spectrum. Plain C++: it runs on
// a worker thread, or in a process with no application object.

struct SensitivityWork {
    TwinSettings twin;
    LyapunovSettings lyapunov;
    SpectrumSettings spectrum;
};

// Points a chart of the twin orbit draws at most: beyond a few thousand a
// line looks no different and costs the window's thread more to draw.
inline constexpr std::int64_t MaxChartSamples = 1200;
// Steps the window measures the exponent over: enough for two or three
// correct digits, few enough to take a small part of a second beside a run.
inline constexpr std::int64_t WindowMapSteps = 200'000;
inline constexpr std::int64_t WindowFlowSteps = 1'000'000;

// The window's work for a model: its twin series as long as the model's own
// default, thinned to at most MaxChartSamples samples, and a shorter exponent
// and spectrum, over the same steps.
SensitivityWork windowWork(const Dynamics& dynamics, const SimulationState& start, double epsilon);

struct SensitivityResult {
    bool timed = false;  // a flow: times are in units of time, the exponent per unit of time
    TwinSeries twin;
    GrowthFit growth;
    std::optional<TwinSample> parting;
    LyapunovResult lyapunov;
    SpectrumResult spectrum;
};

// The twin series with its fitted growth and the moment the twins part,
// then the exponent, then the spectrum. Same inputs, same bits; a cancelled computation leaves
// the outcome of the analysis it stopped in Cancelled.
SensitivityResult computeSensitivity(const Model& model, const SimulationState& start, const SensitivityWork& work,
                                     const AnalysisControl& control = {});

inline bool wasCancelled(const SensitivityResult& result)
{
    return result.twin.outcome == Outcome::Cancelled || result.lyapunov.outcome == Outcome::Cancelled ||
           result.spectrum.outcome == Outcome::Cancelled;
}

}  // namespace vortiquo
