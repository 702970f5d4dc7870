#include "analysis/SensitivityWork.h"

#include <algorithm>

namespace vortiquo {

SensitivityWork windowWork(const Dynamics& dynamics, const SimulationState& start, double epsilon)
{
    SensitivityWork work;
    work.twin = defaultTwinSettings(dynamics, start);
    work.twin.epsilon = epsilon;
    const std::int64_t thinned = (work.twin.steps + MaxChartSamples - 1) / MaxChartSamples;
    work.twin.sampleEvery = std::max(work.twin.sampleEvery, thinned);
    work.lyapunov = defaultLyapunovSettings(dynamics, start);
    work.lyapunov.measuredSteps = dynamics.timed ? WindowFlowSteps : WindowMapSteps;
    work.spectrum = defaultSpectrumSettings(dynamics, start);
    work.spectrum.measuredSteps = work.lyapunov.measuredSteps;
    return work;
}

SensitivityResult computeSensitivity(const Model& model, const SimulationState& start, const SensitivityWork& work,
                                     const AnalysisControl& control)
{
    SensitivityResult result;
    const Dynamics* dynamics = dynamicsOf(model);
    result.timed = dynamics != nullptr && dynamics->timed;
    result.twin = twinOrbitSeries(model, start, work.twin, control);
    if (result.twin.outcome == Outcome::Cancelled)
        return result;
    result.growth = fitGrowth(result.twin);
    result.parting = partingSample(result.twin);
    result.lyapunov = largestLyapunovExponent(model, start, work.lyapunov, control);
    if (result.lyapunov.outcome == Outcome::Cancelled)
        return result;
    result.spectrum = lyapunovSpectrum(model, start, work.spectrum, control);
    return result;
}

}  // namespace vortiquo
