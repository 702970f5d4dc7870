#include "analysis/TwinOrbit.h"

#include <algorithm>
#include <cmath>

namespace vortiquo {

namespace {

// The smallest box that holds the points it was shown.
class BoundingBox {
public:
    explicit BoundingBox(const Tangent& first) : low_(first), high_(first) {}
    void include(const Tangent& point)
    {
        for (std::size_t i = 0; i < point.size(); ++i) {
            low_[i] = std::min(low_[i], point[i]);
            high_[i] = std::max(high_[i], point[i]);
        }
    }
    double diagonal(int coordinates) const
    {
        return length({high_[0] - low_[0], high_[1] - low_[1], high_[2] - low_[2]}, coordinates);
    }

private:
    Tangent low_, high_;
};

TwinSample sampleOf(std::int64_t step, double unit, const SimulationState& orbit, const SimulationState& twin,
                    int coordinates)
{
    const Tangent apart = {twin.x - orbit.x, twin.y - orbit.y, coordinates == 3 ? twin.z - orbit.z : 0.0};
    return {step, static_cast<double>(step) * unit, orbit.x, twin.x, length(apart, coordinates)};
}

}  // namespace

TwinSettings defaultTwinSettings(const Dynamics& dynamics, const SimulationState& state)
{
    TwinSettings settings;
    settings.steps = stepsFor(dynamics, state, dynamics.twinTime);
    settings.sampleEvery = dynamics.twinInterval;
    return settings;
}

TwinSeries twinOrbitSeries(const Model& model, const SimulationState& start, const TwinSettings& settings,
                           const AnalysisControl& control)
{
    TwinSeries series;
    const Dynamics* dynamics = dynamicsOf(model);
    if (dynamics == nullptr || settings.steps < 0 || settings.sampleEvery < 1 ||
        settings.steps / settings.sampleEvery >= MaxTwinSamples)
        return series;
    const double unit = stepDuration(*dynamics, start);
    const int coordinates = model.coordinates;
    SimulationState orbit = start;
    SimulationState twin = start;
    twin.x = start.x + settings.epsilon;
    BoundingBox box(pointOf(orbit, coordinates));
    series.samples.push_back(sampleOf(0, unit, orbit, twin, coordinates));
    series.outcome = Outcome::Finished;
    for (std::int64_t step = 1; step <= settings.steps; ++step) {
        const bool orbitStepped = advance(model, orbit);
        const bool twinStepped = advance(model, twin);
        if (!orbitStepped || !twinStepped) {
            series.outcome = Outcome::Fault;
            series.faultSource = orbitStepped ? FaultSource::Twin : FaultSource::Orbit;
            series.faultStep = step;
            break;
        }
        box.include(pointOf(orbit, coordinates));
        if (step % settings.sampleEvery == 0)
            series.samples.push_back(sampleOf(step, unit, orbit, twin, coordinates));
        if (control.stopsAt(step, settings.steps)) {
            series.outcome = Outcome::Cancelled;
            break;
        }
    }
    series.attractorSize = box.diagonal(coordinates);
    return series;
}

std::optional<TwinSample> partingSample(const TwinSeries& series, double fraction)
{
    const double threshold = fraction * series.attractorSize;
    for (const TwinSample& sample : series.samples)
        if (sample.separation >= threshold)
            return sample;
    return std::nullopt;
}

GrowthFit fitGrowth(const TwinSeries& series, double fraction)
{
    // The sums of the least-squares normal equations.
    const double ceiling = fraction * series.attractorSize;
    double n = 0, st = 0, sl = 0, stt = 0, stl = 0;
    GrowthFit fit;
    for (const TwinSample& sample : series.samples) {
        if (!(sample.separation < ceiling))
            break;
        if (!(sample.separation > 0))
            continue;
        const double logarithm = std::log(sample.separation);
        n += 1;
        st += sample.time;
        sl += logarithm;
        stt += sample.time * sample.time;
        stl += sample.time * logarithm;
        fit.endTime = sample.time;
        ++fit.samples;
    }
    const double denominator = n * stt - st * st;
    if (fit.samples < 2 || !(denominator > 0))
        return fit;
    fit.rate = (n * stl - st * sl) / denominator;
    fit.intercept = (sl - fit.rate * st) / n;
    fit.valid = std::isfinite(fit.rate) && std::isfinite(fit.intercept);
    return fit;
}

}  // namespace vortiquo
