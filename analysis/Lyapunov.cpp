#include "analysis/Lyapunov.h"

#include <algorithm>
#include <cmath>

namespace vortiquo {

namespace {

// The twin's distance for an orbit at point p.
double separationAt(const SimulationState& state, int coordinates, double relative)
{
    return relative * std::fmax(1.0, length(pointOf(state, coordinates), coordinates));
}

// The orbit with its tangent vector and its twin, stepped together.
class OrbitPair {
public:
    OrbitPair(const Dynamics& dynamics, const SimulationState& start, double relative)
        : dynamics_(dynamics), coordinates_(dynamics.model->coordinates), orbit_(start), twin_(start),
          separation_(separationAt(start, coordinates_, relative))
    {
        // The tangent starts along x, the twin along the diagonal: the two
        // methods share no starting direction.
        placeTwin();
    }

    // One step of the orbit, its tangent and the twin. The tangent, carried
    // through the Jacobian at the point before the step, is renormalised; the
    // logarithm of its growth goes to `growth`.
    bool step(double& growth)
    {
        ++steps_;
        dynamics_.jacobian(orbit_, tangent_);
        if (!advance(*dynamics_.model, orbit_))
            return fail(FaultSource::Orbit);
        if (!advance(*dynamics_.model, twin_))
            return fail(FaultSource::Twin);
        const double stretch = length(tangent_, coordinates_);
        growth = std::log(stretch);
        if (!std::isfinite(growth))
            return fail(FaultSource::Tangent);  // a singular Jacobian collapsed it, or it grew beyond measure
        const double inverse = 1.0 / stretch;
        tangent_ = {tangent_[0] * inverse, tangent_[1] * inverse, tangent_[2] * inverse};
        return true;
    }

    // The tangent starts afresh along x, as at the start.
    void restartTangent()
    {
        tangent_ = {1.0, 0.0, 0.0};
        fault_ = FaultSource::None;
    }

    // Pulls the twin back along the separation to `relative` × max(1, |p|)
    // from the orbit's point p: the distance follows the orbit's scale, so it
    // stays far above the rounding of the coordinates wherever the orbit
    // goes. The logarithm of the separation's growth since the last pull
    // goes to `growth`.
    bool pull(double relative, double& growth)
    {
        const Tangent apart = {twin_.x - orbit_.x, twin_.y - orbit_.y, coordinates_ == 3 ? twin_.z - orbit_.z : 0.0};
        const double distance = length(apart, coordinates_);
        growth = std::log(distance / separation_);
        merged_ = distance == 0;
        if (!std::isfinite(growth))
            return fail(FaultSource::Twin);  // the twin merged with the orbit, or left it beyond measure
        separation_ = separationAt(orbit_, coordinates_, relative);
        const double ratio = separation_ / distance;
        twin_.x = orbit_.x + apart[0] * ratio;
        twin_.y = orbit_.y + apart[1] * ratio;
        if (coordinates_ == 3)
            twin_.z = orbit_.z + apart[2] * ratio;
        return true;
    }

    // The twin starts afresh along the diagonal, separation_ away, as at
    // the start; for a twin that a singular Jacobian merged with the orbit.
    void restartTwin()
    {
        placeTwin();
        merged_ = false;
        fault_ = FaultSource::None;
    }

    std::int64_t steps() const { return steps_; }
    FaultSource fault() const { return fault_; }
    bool merged() const { return merged_; }

private:
    void placeTwin()
    {
        const double diagonal = separation_ / std::sqrt(static_cast<double>(coordinates_));
        twin_ = orbit_;
        twin_.x = orbit_.x + diagonal;
        twin_.y = orbit_.y + diagonal;
        if (coordinates_ == 3)
            twin_.z = orbit_.z + diagonal;
    }

    bool fail(FaultSource source)
    {
        fault_ = source;
        return false;
    }

    const Dynamics& dynamics_;
    const int coordinates_;
    SimulationState orbit_;
    SimulationState twin_;
    Tangent tangent_ = {1.0, 0.0, 0.0};
    double separation_;
    std::int64_t steps_ = 0;
    FaultSource fault_ = FaultSource::None;
    bool merged_ = false;  // the last pull found the twin on the orbit
};

// The sums of the measurement, by block and in all.
struct Sums {
    double tangent = 0;
    double twin = 0;
    std::int64_t twinSteps = 0;  // measured steps the twin's sum covers
    double tangentBlocks[LyapunovBlocks] = {};
    double twinBlocks[LyapunovBlocks] = {};
};

ConvergencePoint runningEstimate(const Sums& sums, std::int64_t step, double unit)
{
    const double time = static_cast<double>(step) * unit;
    const double twin = sums.twinSteps == 0 ? std::numeric_limits<double>::quiet_NaN()
                                            : sums.twin / (static_cast<double>(sums.twinSteps) * unit);
    return {step, time, sums.tangent / time, twin};
}

Estimate estimate(double total, const double (&blocks)[LyapunovBlocks], const std::int64_t (&ends)[LyapunovBlocks],
                  std::int64_t measured, double unit)
{
    double means[LyapunovBlocks];
    std::int64_t begin = 0;
    for (int b = 0; b < LyapunovBlocks; ++b) {
        means[b] = blocks[b] / (static_cast<double>(ends[b] - begin) * unit);
        begin = ends[b];
    }
    return {total / (static_cast<double>(measured) * unit), blockStandardError(means)};
}

bool valid(const Dynamics* dynamics, const SimulationState& start, const LyapunovSettings& settings)
{
    if (dynamics == nullptr)
        return false;
    const double unit = stepDuration(*dynamics, start);
    return unit != 0 && std::isfinite(unit) && settings.renormaliseEvery >= 1 && settings.transientSteps >= 0 &&
           settings.transientSteps <= MaxLyapunovSteps && settings.measuredSteps <= MaxLyapunovSteps &&
           settings.measuredSteps >= LyapunovBlocks * settings.renormaliseEvery &&
           settings.convergenceSamples <= MaxConvergenceSamples && settings.relativeSeparation > 0 &&
           settings.relativeSeparation < 1;
}

}  // namespace

void measurementBlockEnds(std::int64_t measured, std::int64_t k, std::int64_t (&ends)[LyapunovBlocks])
{
    for (int b = 0; b < LyapunovBlocks; ++b)
        ends[b] = b + 1 == LyapunovBlocks ? measured : (((b + 1) * measured) / LyapunovBlocks) / k * k;
}

double blockStandardError(const double (&values)[LyapunovBlocks])
{
    double mean = 0;
    for (const double value : values)
        mean += value;
    mean /= LyapunovBlocks;
    double squares = 0;
    for (const double value : values)
        squares += (value - mean) * (value - mean);
    return std::sqrt(squares / (LyapunovBlocks * (LyapunovBlocks - 1.0)));
}

LyapunovSettings defaultLyapunovSettings(const Dynamics& dynamics, const SimulationState& state)
{
    LyapunovSettings settings;
    settings.transientSteps = stepsFor(dynamics, state, dynamics.transientTime);
    settings.measuredSteps = dynamics.measuredSteps;
    settings.renormaliseEvery = dynamics.twinInterval;
    return settings;
}

LyapunovResult largestLyapunovExponent(const Model& model, const SimulationState& start,
                                       const LyapunovSettings& settings, const AnalysisControl& control)
{
    LyapunovResult result;
    const Dynamics* dynamics = dynamicsOf(model);
    if (!valid(dynamics, start, settings))
        return result;
    const double unit = stepDuration(*dynamics, start);
    const std::int64_t k = settings.renormaliseEvery;
    const std::int64_t measured = settings.measuredSteps;
    const std::int64_t total = settings.transientSteps + measured;
    result.stepDuration = unit;

    double growth = 0;
    const double relative = settings.relativeSeparation;
    OrbitPair pair(*dynamics, start, relative);
    const auto faulted = [&] {
        result.outcome = Outcome::Fault;
        result.faultSource = pair.fault();
        result.faultStep = pair.steps();
        return result;
    };
    const auto interrupted = [&] {
        if (!control.stopsAt(pair.steps(), total))
            return false;
        result.outcome = Outcome::Cancelled;
        return true;
    };

    for (std::int64_t step = 1; step <= settings.transientSteps; ++step) {
        // Within the transient a collapsed tangent, or a twin merged with
        // the orbit, only starts afresh.
        if (!pair.step(growth)) {
            if (pair.fault() != FaultSource::Tangent)
                return faulted();
            pair.restartTangent();
        }
        if (step % k == 0 && !pair.pull(relative, growth)) {
            if (!pair.merged())
                return faulted();
            pair.restartTwin();
        }
        if (interrupted())
            return result;
    }
    // The measurement starts with a pull, so that its first interval is k steps too.
    if (!pair.pull(relative, growth)) {
        if (!pair.merged())
            return faulted();
        pair.restartTwin();
    }

    std::int64_t ends[LyapunovBlocks];
    measurementBlockEnds(measured, k, ends);
    const std::int64_t samples = std::min<std::int64_t>(std::max(settings.convergenceSamples, 0), measured);
    result.convergence.reserve(static_cast<std::size_t>(samples));

    Sums sums;
    std::int64_t step = 0;
    for (int b = 0; b < LyapunovBlocks; ++b) {
        while (step < ends[b]) {
            ++step;
            if (!pair.step(growth))
                return faulted();
            sums.tangent += growth;
            sums.tangentBlocks[b] += growth;
            if (step % k == 0 || step == ends[b]) {
                if (!pair.pull(relative, growth))
                    return faulted();
                sums.twin += growth;
                sums.twinBlocks[b] += growth;
                sums.twinSteps = step;
            }
            const auto sample = static_cast<std::int64_t>(result.convergence.size());
            if (sample < samples && step == ((sample + 1) * measured) / samples)
                result.convergence.push_back(runningEstimate(sums, step, unit));
            if (interrupted())
                return result;
        }
    }
    result.tangent = estimate(sums.tangent, sums.tangentBlocks, ends, measured, unit);
    result.twoOrbit = estimate(sums.twin, sums.twinBlocks, ends, measured, unit);
    result.outcome = Outcome::Finished;
    control.report(1.0);
    return result;
}

}  // namespace vortiquo
