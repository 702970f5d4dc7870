#include "bench/Measurements.h"

#include <QAbstractEventDispatcher>
#include <QGuiApplication>
#include <QTest>

#include "bench/EventLatency.h"
#include "bench/Renders.h"
#include "bench/StopLatency.h"
#include "bench/WindowControls.h"
#include "bench/WindowRuns.h"
#include "window/SimulationForm.h"

namespace vortiquo {

namespace {

// The window's own runs: the median rate, and the allocations and paints of
// all runs together.
void measureWindowRuns(SimulationForm& form, const Program& program, const Options& options,
                       ProgramMeasurement& measured)
{
    std::vector<Rate> rates, headless;
    std::vector<double> ratios, cpuRatios;
    std::uint64_t allocations = 0, others = 0;
    std::int64_t steps = 0;
    int paints = 0;
    double wallSeconds = 0;
    for (int repeat = 0; repeat < options.repeats; ++repeat) {
        const RunFigures run = timedRun(form, options.steps);
        rates.push_back(run.stepsPerSecond);
        allocations += run.allocations.thisThread;
        others += run.allocations.otherThreads;
        steps += run.steps;
        paints += run.paints;
        wallSeconds += run.wallSeconds;
        QTest::qWait(20);
        // The render of the same steps right after, so that a change in the
        // machine's load falls on both.
        headless.push_back(headlessRun(program, options.steps));
        ratios.push_back(run.stepsPerSecond.wall / headless.back().wall);
        cpuRatios.push_back(run.stepsPerSecond.cpu / headless.back().cpu);
    }
    measured.stepsPerSecond = median(rates);
    measured.headless = median(headless);
    measured.headlessRatio = median(ratios);
    measured.headlessRatioCpu = median(cpuRatios);
    measured.framesPerSecond = paints / wallSeconds;
    if (!AllocationCounter::available())
        return;
    AllocationFigures& figures = measured.allocations.emplace();
    figures.perStep = static_cast<double>(allocations) / static_cast<double>(steps);
    figures.perFrame = paints > 0 ? static_cast<double>(allocations) / paints : 0;
    figures.otherThreads = static_cast<double>(others);
}

void measureReferences(SimulationForm& form, const Program& program, const Options& options,
                       ProgramMeasurement& measured)
{
    std::vector<Rate> ceilings;
    double allocations = 0;
    for (int repeat = 0; repeat < options.repeats; ++repeat) {
        const BareFigures bare = bareLoop(form, program, options.bareSteps);
        ceilings.push_back(bare.stepsPerSecond);
        allocations += static_cast<double>(bare.allocations);
        measured.bareSteps += bare.steps;
    }
    measured.ceiling = median(ceilings);
    if (measured.allocations)
        measured.allocations->bareLoop = allocations;
    measured.naiveWidget = naiveLoop(form, program, options.naiveSteps, NaiveUpdate::Widget);
    measured.naivePoint = naiveLoop(form, program, options.naiveSteps, NaiveUpdate::Point);
}

}  // namespace

ProgramMeasurement measureProgram(const Program& program, const Options& options, XClicker* clicker)
{
    ProgramMeasurement measured;
    measured.program = QString::fromLatin1(program.name);
    measured.platform = QGuiApplication::platformName();
    measured.dispatcher = dispatcherName();
    SimulationForm form(program);
    showAndSettle(form);
    measureWindowRuns(form, program, options, measured);
    measureReferences(form, program, options, measured);
    QTest::qWait(20);
    measured.stop = stopLatency(form, options.stopDelayMs, options.stopClicks, clicker);
    measured.latency = eventLatency(form, options.latencyEvents, clicker);
    return measured;
}

}  // namespace vortiquo
