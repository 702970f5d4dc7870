// vortiquo-bench: how fast the four windows run, and how responsive they stay.
//
// Each program's real SimulationForm is shown on the platform in use and
// driven through runs of a fixed number of steps, started by a click on
// "Via" with the limit typed into "termineT". Beside it, with the same
// arithmetic and the same image, the references: the bare loop (step, plot,
// write the pixel, no event processing), which is the ceiling, and the naive
// loop (the same, plus a widget update() for every point and event
// processing after every step). Then: heap allocations during the runs,
// paints of the drawing area per second, the time from a click on "Stop" to
// the end of the run, the time from process start to the first paint of the
// window, the per-call cost of event processing under both dispatchers, the
// headless render against the inlined loop (bench/InlinedLoop.h), its
// ceiling, the peak memory of every program's render at a large scale, and
// the parameter plane against its plain loop (bench/PlaneLoop.h).
//
//   QT_QPA_PLATFORM=xcb vortiquo-bench [--smoke] [--steps N] [--repeats N] [--renders-only | --planes-only | --measures-only]
//
// bench/run-benchmark.sh runs it on xcb (starting an X server if needed) and
// on offscreen. Wall-clock rates depend on what else the machine runs, so
// each rate is also given per second of the window thread's own CPU time.
//
// The parent process only starts the measurements, the start-up probes and
// the dispatcher probes in child processes (bench/Children.h), and prints
// what they report.

#include <QCoreApplication>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "apps/Programs.h"
#include "bench/ChildModes.h"
#include "bench/Children.h"
#include "bench/Planes.h"
#include "bench/Renders.h"
#include "bench/Report.h"
#include "bench/Measures.h"
#include "bench/Sensitivity.h"

using namespace vortiquo;

namespace {

void printHeader(const Options& options, const QProcessEnvironment& environment)
{
    std::printf("vortiquo-bench, platform %s\n",
                qPrintable(environment.value(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("default"))));
    std::printf("machine: %s; load average %s\n", machineName().c_str(), loadAverage().c_str());
    std::printf("runs of %d steps, ceiling %d steps, naive loops %d steps; each program in a process of its own\n",
                options.steps, options.bareSteps, options.naiveSteps);
    std::fflush(stdout);
}

// Only what does not work fails the benchmark: a run that missed its limit
// has already failed its child; here, a stop, start-up or dispatcher probe
// that did not complete.
bool probesCompleted(const std::vector<ProgramReport>& reports, const std::vector<DispatcherFigures>& dispatchers)
{
    bool completed = !dispatchers[0].run.empty() && !dispatchers[1].run.empty();
    for (const auto& report : reports)
        completed = completed && report.measured.stop.postedMs && !report.startup.totalMs.empty() &&
                    report.measured.stop.xClick != StopFigures::XClick::Failed;
    return completed;
}

// Every render exited well, and the inlined loop drew what the render draws.
bool rendersCompleted(const RenderFigures& render, const std::vector<MemoryFigures>& memory)
{
    bool completed = render.ceilingDrawsTheRender && render.render.size() == render.ceiling.size();
    for (const auto& figures : memory)
        completed = completed && figures.peakBytes;
    return completed;
}

// The headless render against its ceiling, and at a large scale.
bool measureRenders(const Options& options, std::optional<double> bareLoopCpu)
{
    const RenderFigures render = measureRender(options.renderSteps, options.repeats);
    const std::vector<MemoryFigures> memory = measureRenderMemory(options.memorySteps, options.memoryScale);
    printRender(render, options, bareLoopCpu);
    printRenderMemory(memory, options);
    return rendersCompleted(render, memory);
}

int benchMain(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    const Options options = parseOptions(1, argc, argv);
    const QStringList forwarded = QCoreApplication::arguments().mid(1);
    const QProcessEnvironment environment = childEnvironment();
    printHeader(options, environment);
    if (options.measuresOnly) {
        printSpectrumTimes(options);
        return printDimensionTimes(options) ? 0 : 1;
    }
    if (options.planesOnly) {
        const bool completed = printPlanes(measurePlanes(options), options);
        std::printf("load average at the end %s\n", loadAverage().c_str());
        return completed ? 0 : 1;
    }
    if (options.rendersOnly) {
        const bool completed = measureRenders(options, std::nullopt);
        std::printf("load average at the end %s\n", loadAverage().c_str());
        return completed ? 0 : 1;
    }

    std::vector<ProgramReport> reports;
    for (const Program& program : allPrograms()) {
        ProgramReport report;
        const std::optional<ProgramMeasurement> measured = measureProgramInChild(program, forwarded, environment);
        if (!measured) {
            std::fprintf(stderr, "vortiquo-bench: the measurement of %s did not complete\n", program.name);
            return 1;
        }
        report.measured = *measured;
        report.startup = measureStartup(program, options.startupProbes, environment);
        std::printf("  %s measured (platform %s, dispatcher %s)\n", program.name,
                    qPrintable(report.measured.platform), qPrintable(report.measured.dispatcher));
        std::fflush(stdout);
        reports.push_back(report);
    }
    const std::vector<DispatcherFigures> dispatchers = measureDispatchers(options, environment);

    printReport(reports, dispatchers, options);
    printTargets(reports, options);
    const bool rendered = measureRenders(options, reports.front().measured.ceiling.cpu);
    const bool planes = printPlanes(measurePlanes(options), options);
    printExponentTimes(options);
    printSensitivityLoad(argv[0], options);
    printSpectrumTimes(options);
    const bool counted = printDimensionTimes(options);
    std::printf("load average at the end %s\n", loadAverage().c_str());
    std::fflush(stdout);
    const bool completed = probesCompleted(reports, dispatchers) && rendered && planes && counted;
    if (!completed)
        std::fprintf(stderr, "vortiquo-bench: a stop, start-up, dispatcher, render or plane probe did not complete, "
                             "or the grid's pair counts differ from all pairs'\n");
    return completed ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc >= 3 && std::strcmp(argv[1], "--program") == 0)
        return programMain(argc, argv, argv[2]);
    if (argc >= 3 && std::strcmp(argv[1], "--startup-probe") == 0)
        return startupProbeMain(argv[0], argv[2]);
    if (argc >= 4 && std::strcmp(argv[1], "--sensitivity-load") == 0)
        return sensitivityLoadMain(argc, argv, argv[2], std::atoi(argv[3]));
    if (argc >= 4 && std::strcmp(argv[1], "--dispatcher-probe") == 0)
        return dispatcherProbeMain(argc, argv, std::atoi(argv[2]), std::atoi(argv[3]));
    return benchMain(argc, argv);
}
