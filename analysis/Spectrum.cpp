#include "analysis/Spectrum.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>

namespace vortiquo {

namespace {

TangentBasis identityBasis()
{
    return {Tangent{1.0, 0.0, 0.0}, Tangent{0.0, 1.0, 0.0}, Tangent{0.0, 0.0, 1.0}};
}

double dot(const Tangent& u, const Tangent& v, int coordinates)
{
    const double plane = u[0] * v[0] + u[1] * v[1];
    return coordinates == 3 ? plane + u[2] * v[2] : plane;
}

// The orbit with its basis of tangent vectors, stepped together.
class TangentFrame {
public:
    TangentFrame(const Dynamics& dynamics, const SimulationState& start)
        : dynamics_(dynamics), coordinates_(dynamics.model->coordinates), orbit_(start), basis_(identityBasis())
    {
    }

    // One step of the orbit and its basis, carried by the Jacobian at the
    // point before the step; the logarithm of |det J| there goes to `logDeterminant`.
    bool step(double& logDeterminant)
    {
        ++steps_;
        logDeterminant = std::log(std::fabs(dynamics_.jacobianDeterminant(orbit_)));
        dynamics_.jacobianBasis(orbit_, basis_);
        if (!advance(*dynamics_.model, orbit_))
            return fail(FaultSource::Orbit);
        if (!std::isfinite(logDeterminant))
            return fail(FaultSource::Tangent);  // a singular Jacobian (or one beyond measure)
        return true;
    }

    // Modified Gram–Schmidt: the basis made orthonormal again, in order; the
    // logarithm of each vector's length after its projections goes to `growth`.
    // false when a vector collapsed onto the ones before it (or grew beyond
    // measure): the basis is then of no use.
    bool orthonormalise(double (&growth)[MaxExponents])
    {
        for (int i = 0; i < coordinates_; ++i) {
            Tangent& v = basis_[i];
            for (int j = 0; j < i; ++j) {
                const double projection = dot(v, basis_[j], coordinates_);
                v = {v[0] - projection * basis_[j][0], v[1] - projection * basis_[j][1],
                     v[2] - projection * basis_[j][2]};
            }
            const double stretch = length(v, coordinates_);
            growth[i] = std::log(stretch);
            if (!std::isfinite(growth[i]))
                return fail(FaultSource::Tangent);
            const double inverse = 1.0 / stretch;
            v = {v[0] * inverse, v[1] * inverse, v[2] * inverse};
        }
        return true;
    }

    // The basis starts afresh, as at the start.
    void restart()
    {
        basis_ = identityBasis();
        fault_ = FaultSource::None;
    }

    std::int64_t steps() const { return steps_; }
    FaultSource fault() const { return fault_; }

private:
    bool fail(FaultSource source)
    {
        fault_ = source;
        return false;
    }

    const Dynamics& dynamics_;
    const int coordinates_;
    SimulationState orbit_;
    TangentBasis basis_;
    std::int64_t steps_ = 0;
    FaultSource fault_ = FaultSource::None;
};

// A sum that carries the rounding error of each addition (Neumaier's):
// over millions of steps a plain sum drifts by more than the two sides of
// the self-check differ.
class CompensatedSum {
public:
    void add(double term)
    {
        const double sum = sum_ + term;
        compensation_ += std::fabs(sum_) >= std::fabs(term) ? (sum_ - sum) + term : (term - sum) + sum_;
        sum_ = sum;
    }
    double value() const { return sum_ + compensation_; }

private:
    double sum_ = 0;
    double compensation_ = 0;
};

// The sums of the measurement, by block and in all.
struct Sums {
    CompensatedSum exponents[MaxExponents];
    CompensatedSum logDeterminant;
    CompensatedSum exponentBlocks[MaxExponents][LyapunovBlocks];
    CompensatedSum determinantBlocks[LyapunovBlocks];
};

// A sum over the blocks as an estimate: the whole mean and the standard
// error of the blocks' means, `perBlock` making a block's mean from its index.
Estimate blockEstimate(double whole, const std::function<double(int)>& perBlock)
{
    double means[LyapunovBlocks];
    for (int b = 0; b < LyapunovBlocks; ++b)
        means[b] = perBlock(b);
    return {whole, blockStandardError(means)};
}

void fillEstimates(SpectrumResult& result, const Sums& sums, const std::int64_t (&ends)[LyapunovBlocks],
                   std::int64_t measured, double unit)
{
    const int count = result.count;
    double lengths[LyapunovBlocks];
    std::int64_t begin = 0;
    for (int b = 0; b < LyapunovBlocks; ++b) {
        lengths[b] = static_cast<double>(ends[b] - begin) * unit;
        begin = ends[b];
    }
    const double whole = static_cast<double>(measured) * unit;
    const auto blockExponents = [&](int b, double (&exponents)[MaxExponents]) {
        for (int i = 0; i < count; ++i)
            exponents[i] = sums.exponentBlocks[i][b].value() / lengths[b];
    };
    double total[MaxExponents] = {};
    for (int i = 0; i < count; ++i) {
        total[i] = sums.exponents[i].value() / whole;
        result.exponents[i] =
            blockEstimate(total[i], [&](int b) { return sums.exponentBlocks[i][b].value() / lengths[b]; });
    }
    double sum = 0;
    for (int i = 0; i < count; ++i)
        sum += total[i];
    result.sum = blockEstimate(sum, [&](int b) {
        double exponents[MaxExponents];
        blockExponents(b, exponents);
        double blockSum = 0;
        for (int i = 0; i < count; ++i)
            blockSum += exponents[i];
        return blockSum;
    });
    result.logDeterminant =
        blockEstimate(sums.logDeterminant.value() / whole,
                      [&](int b) { return sums.determinantBlocks[b].value() / lengths[b]; });
    result.kaplanYorke =
        blockEstimate(kaplanYorkeDimension(std::span(total, static_cast<std::size_t>(count))), [&](int b) {
            double exponents[MaxExponents];
            blockExponents(b, exponents);
            return kaplanYorkeDimension(std::span(exponents, static_cast<std::size_t>(count)));
        });
}

bool valid(const Dynamics* dynamics, const SimulationState& start, const SpectrumSettings& settings)
{
    if (dynamics == nullptr)
        return false;
    const double unit = stepDuration(*dynamics, start);
    return unit != 0 && std::isfinite(unit) && settings.orthonormaliseEvery >= 1 && settings.transientSteps >= 0 &&
           settings.transientSteps <= MaxLyapunovSteps && settings.measuredSteps <= MaxLyapunovSteps &&
           settings.measuredSteps >= LyapunovBlocks * settings.orthonormaliseEvery;
}

}  // namespace

SpectrumSettings defaultSpectrumSettings(const Dynamics& dynamics, const SimulationState& state)
{
    const LyapunovSettings largest = defaultLyapunovSettings(dynamics, state);
    return {largest.transientSteps, largest.measuredSteps, dynamics.twinInterval};
}

SpectrumResult lyapunovSpectrum(const Model& model, const SimulationState& start, const SpectrumSettings& settings,
                                const AnalysisControl& control)
{
    SpectrumResult result;
    const Dynamics* dynamics = dynamicsOf(model);
    if (!valid(dynamics, start, settings))
        return result;
    const double unit = stepDuration(*dynamics, start);
    const std::int64_t k = settings.orthonormaliseEvery;
    const std::int64_t measured = settings.measuredSteps;
    const std::int64_t total = settings.transientSteps + measured;
    result.stepDuration = unit;
    result.count = model.coordinates;

    TangentFrame frame(*dynamics, start);
    const auto faulted = [&] {
        result.outcome = Outcome::Fault;
        result.faultSource = frame.fault();
        result.faultStep = frame.steps();
        return result;
    };
    const auto interrupted = [&] {
        if (!control.stopsAt(frame.steps(), total))
            return false;
        result.outcome = Outcome::Cancelled;
        return true;
    };

    double logDeterminant = 0;
    double growth[MaxExponents] = {};
    // Within the transient a collapsed basis, or a singular step, only
    // starts the basis afresh; the orbit's own overflow is a fault anywhere.
    const auto settle = [&](bool orthonormalise) {
        if (frame.step(logDeterminant) && (!orthonormalise || frame.orthonormalise(growth)))
            return true;
        if (frame.fault() == FaultSource::Orbit)
            return false;
        frame.restart();
        ++result.transientRestarts;
        return true;
    };
    for (std::int64_t step = 1; step <= settings.transientSteps; ++step) {
        if (!settle(step % k == 0))
            return faulted();
        if (interrupted())
            return result;
    }
    // The measurement starts from an orthonormal basis, so that its first
    // interval is k steps too; one that collapsed at the very end starts afresh.
    if (!frame.orthonormalise(growth))
        frame.restart();

    std::int64_t ends[LyapunovBlocks];
    measurementBlockEnds(measured, k, ends);
    Sums sums;
    std::int64_t step = 0;
    for (int b = 0; b < LyapunovBlocks; ++b) {
        while (step < ends[b]) {
            ++step;
            if (!frame.step(logDeterminant))
                return faulted();
            sums.logDeterminant.add(logDeterminant);
            sums.determinantBlocks[b].add(logDeterminant);
            if (step % k == 0 || step == ends[b]) {
                if (!frame.orthonormalise(growth))
                    return faulted();
                for (int i = 0; i < result.count; ++i) {
                    sums.exponents[i].add(growth[i]);
                    sums.exponentBlocks[i][b].add(growth[i]);
                }
            }
            if (interrupted())
                return result;
        }
    }
    fillEstimates(result, sums, ends, measured, unit);
    result.outcome = Outcome::Finished;
    control.report(1.0);
    return result;
}

double kaplanYorkeDimension(std::span<const double> exponents)
{
    double sorted[MaxExponents];
    const std::size_t count = std::min(exponents.size(), std::size(sorted));
    for (std::size_t i = 0; i < count; ++i) {
        if (!std::isfinite(exponents[i]))
            return std::numeric_limits<double>::quiet_NaN();
        sorted[i] = exponents[i];
    }
    std::sort(sorted, sorted + count, std::greater<>());
    double partial = 0;
    for (std::size_t j = 0; j < count; ++j) {
        if (partial + sorted[j] < 0)
            return static_cast<double>(j) + partial / std::fabs(sorted[j]);
        partial += sorted[j];
    }
    return static_cast<double>(count);
}

}  // namespace vortiquo
