#include "bench/Measures.h"

#include <cstdio>
#include <vector>

#include "analysis/Dimension.h"
#include "analysis/Spectrum.h"
#include "apps/Programs.h"
#include "bench/Timing.h"
#include "cli/EditedSession.h"

namespace vortiquo {

namespace {

constexpr double TargetSpeedUp = 10;  // the grid against all pairs, at the full number of points

SimulationState openingStart(const Program& program)
{
    const Session session = editedSession(program, {});
    return fieldStart(session.state(), session.texts());
}

}  // namespace

void printSpectrumTimes(const Options& options)
{
    std::printf("\nLyapunov spectrum from the opening values (median of %d, thread CPU time)\n", options.repeats);
    for (const Program& program : allPrograms()) {
        const SimulationState start = openingStart(program);
        SpectrumSettings settings = defaultSpectrumSettings(*dynamicsOf(*program.model), start);
        if (options.smoke)
            settings.measuredSteps /= 100;
        std::vector<double> times;
        SpectrumResult result;
        for (int repeat = 0; repeat < options.repeats; ++repeat) {
            Stopwatch watch;
            result = lyapunovSpectrum(*program.model, start, settings);
            watch.stop();
            times.push_back(watch.cpuSeconds);
        }
        const double seconds = median(times);
        std::printf("  %-10s %11lld steps  %.3f s  (%.1f M steps/s)  exponents", program.name,
                    static_cast<long long>(settings.measuredSteps), seconds,
                    static_cast<double>(settings.measuredSteps + settings.transientSteps) / seconds / 1e6);
        for (int i = 0; i < result.count; ++i)
            std::printf(" %.5f", result.exponents[i].value);
        std::printf("  sum - mean log|det J| = %.2e  D_KY %.4f\n", result.sum.value - result.logDeterminant.value,
                    result.kaplanYorke.value);
    }
    std::fflush(stdout);
}

bool printDimensionTimes(const Options& options)
{
    const std::int64_t points = options.smoke ? 5000 : 100'000;
    std::printf("\nCorrelation sum of %lld points: grid against all pairs (thread CPU time)\n",
                static_cast<long long>(points));
    bool same = true;
    for (const Program& program : allPrograms()) {
        const SimulationState start = openingStart(program);
        const DimensionSettings settings = defaultDimensionSettings(*dynamicsOf(*program.model), start, points);
        std::int64_t fault = 0;
        Stopwatch orbitWatch;
        const std::vector<Point> set = attractorPoints(*program.model, start, settings, {}, fault);
        orbitWatch.stop();
        const DimensionResult dimensions = dimensionsOfPoints(set, settings.theilerWindow);
        const CorrelationSettings pairs{dimensions.attractorSize * LargestRadiusShare, CorrelationRadii,
                                        settings.theilerWindow};
        Stopwatch gridWatch;
        const CorrelationCurve grid = correlationSum(set, pairs);
        gridWatch.stop();
        Stopwatch allWatch;
        const CorrelationCurve all = correlationSumAllPairs(set, pairs);
        allWatch.stop();
        const bool equal = grid.pairs == all.pairs && grid.eligiblePairs == all.eligiblePairs;
        same = same && equal;
        const double speedUp = allWatch.cpuSeconds / gridWatch.cpuSeconds;
        std::printf("  %-10s orbit %.2f s, grid %.3f s, all pairs %.2f s: %.1fx, counts %s  target >= %.0fx %s  "
                    "(D2 %.3f +- %.3f, D0 %.3f +- %.3f)\n",
                    program.name, orbitWatch.cpuSeconds, gridWatch.cpuSeconds, allWatch.cpuSeconds, speedUp,
                    equal ? "the same" : "DIFFERENT", TargetSpeedUp,
                    options.smoke ? "(smoke run: not judged)" : (speedUp >= TargetSpeedUp ? "met" : "MISSED"),
                    correlationDimension(dimensions.correlationFit), dimensions.correlationFit.uncertainty,
                    boxCountingDimension(dimensions.boxFit), dimensions.boxFit.uncertainty);
        std::fflush(stdout);
    }
    return same;
}

}  // namespace vortiquo
