#include "bench/Report.h"

#include <QFile>
#include <algorithm>
#include <cstdio>
#include <thread>

namespace vortiquo {

namespace {

// Targets on the reference machine: a real X server, events after every step.
constexpr double TargetStepsPerSecond = 2'000'000;
constexpr double TargetNaiveRatio = 100;
constexpr double TargetStopMs = 2;
constexpr double TargetHeadlessRatio = 0.5;
constexpr double TargetFramesPerSecond = 30;
constexpr double TargetStartupMs = 500;
constexpr double TargetRenderRatio = 0.95;
constexpr double TargetRenderMemory = 1.6;

QByteArray firstLine(const char* path, const char* prefix)
{
    QFile file(QString::fromLatin1(path));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    const QList<QByteArray> lines = file.readAll().split('\n');
    for (const QByteArray& line : lines)
        if (line.startsWith(prefix))
            return line;
    return {};
}

// A figure in a fixed format, or `missing` when there is none.
std::string formatted(const char* format, std::optional<double> value, const char* missing)
{
    if (!value)
        return missing;
    char text[48];
    std::snprintf(text, sizeof text, format, *value);
    return text;
}

void printSpeed(const std::vector<ProgramReport>& reports, const Options& options)
{
    std::printf("\nSpeed, events processed after every step (median of %d runs)\n", options.repeats);
    std::printf("%-10s %11s %12s %13s %9s %9s %8s %10s %10s\n", "program", "steps/s", "steps/cpu-s",
                "ceiling/cpu-s", "/ceiling", "naive/s", "x naive", "naive-pt/s", "x naive-pt");
    for (const auto& report : reports) {
        const ProgramMeasurement& r = report.measured;
        std::printf("%-10s %11.0f %12.0f %13.0f %9.3f %9.0f %8.0f %10.0f %10.0f\n", qPrintable(r.program),
                    r.stepsPerSecond.wall, r.stepsPerSecond.cpu, r.ceiling.cpu, r.stepsPerSecond.cpu / r.ceiling.cpu,
                    r.naiveWidget.wall, r.stepsPerSecond.wall / r.naiveWidget.wall, r.naivePoint.wall,
                    r.stepsPerSecond.wall / r.naivePoint.wall);
    }
    std::printf("(steps/s: wall clock; cpu-s: second of the window thread's CPU time. ceiling: the bare\n"
                " loop, no event processing, compared per CPU second; naive: widget update() per point;\n"
                " naive-pt: update of the point's pixel only; both naive loops process events after\n"
                " every step and are compared on the wall clock, as they wait for the display)\n");
}

void printAgainstHeadless(const std::vector<ProgramReport>& reports, const Options& options)
{
    std::printf("\nThe window against the headless render of the same %d steps (%d rounds, in turns, one process)\n",
                options.steps, options.repeats);
    std::printf("%-10s %12s %12s %14s %14s %10s %10s\n", "program", "window/s", "render/s", "window/cpu-s",
                "render/cpu-s", "ratio", "ratio cpu");
    for (const auto& report : reports) {
        const ProgramMeasurement& r = report.measured;
        std::printf("%-10s %12.0f %12.0f %14.0f %14.0f %10.3f %10.3f\n", qPrintable(r.program), r.stepsPerSecond.wall,
                    r.headless.wall, r.stepsPerSecond.cpu, r.headless.cpu, r.headlessRatio, r.headlessRatioCpu);
    }
    std::printf("(render: the replay that --render makes, in the window's process, with no start-up and no PNG;\n"
                " ratio: the median of the rounds' ratios)\n");
}

void printAllocations(const std::vector<ProgramReport>& reports)
{
    std::printf("\nHeap allocations on the window's thread\n");
    std::printf("%-10s %14s %12s %18s %14s\n", "program", "run per step", "per frame", "bare loop (steps)",
                "other threads");
    for (const auto& report : reports) {
        const ProgramMeasurement& r = report.measured;
        if (!r.allocations) {
            std::printf("%-10s %14s %12s %18s %14s\n", qPrintable(r.program), "-", "-", "-", "-");
            continue;
        }
        char bare[48];
        std::snprintf(bare, sizeof bare, "%.0f (%.0f)", r.allocations->bareLoop, r.bareSteps);
        std::printf("%-10s %14.2e %12.1f %18s %14.0f\n", qPrintable(r.program), r.allocations->perStep,
                    r.allocations->perFrame, bare, r.allocations->otherThreads);
    }
    if (!reports.empty() && !reports.front().measured.allocations)
        std::printf("(this build has no allocation counter: the sanitizers own malloc)\n");
}

std::string xClickText(const StopFigures& stop)
{
    switch (stop.xClick) {
    case StopFigures::XClick::Failed:
        return "failed";
    case StopFigures::XClick::Measured:
        return formatted("%.3f", stop.xClickMs, "-");
    case StopFigures::XClick::Unavailable:
        break;
    }
    return "-";
}

void printResponsiveness(const std::vector<ProgramReport>& reports, const Options& options)
{
    std::printf("\nResponsiveness\n");
    std::printf("%-10s %9s %15s %14s %10s %10s %12s %12s\n", "program", "paints/s", "stop posted ms",
                "timer late ms", "stop X ms", "worst ms", "start-up ms", "from app ms");
    for (const auto& r : reports) {
        const StopFigures& stop = r.measured.stop;
        std::printf("%-10s %9.1f %15s %14s %10s %10.3f %12.1f %12.1f\n", qPrintable(r.measured.program),
                    r.measured.framesPerSecond, formatted("%.3f", stop.postedMs, "failed").c_str(),
                    formatted("%.3f", stop.timerLateMs, "-").c_str(), xClickText(stop).c_str(), stop.worstMs,
                    median(r.startup.totalMs), median(r.startup.applicationMs));
    }
    std::printf("(stops: medians of %d clicks of each kind, each ending a run of its own; worst: the slowest\n"
                " click of either kind)\n",
                options.stopClicks);
    if (!reports.empty() && !reports.front().startup.dispatcher.isEmpty())
        std::printf("(start-up: median of %d new processes, from process start and from the application\n"
                    " object to the first paint; the programs' own start-up chose %s)\n",
                    options.startupProbes, qPrintable(reports.front().startup.dispatcher));
}

void printLatency(const std::vector<ProgramReport>& reports, const Options& options)
{
    std::printf("\nFrom an event to its handler during a run, ms (%d events of each kind)\n", options.latencyEvents);
    std::printf("%-10s %14s %14s %14s %14s\n", "program", "posted median", "posted 99 %", "X key median", "X key 99 %");
    for (const auto& r : reports) {
        const LatencyFigures& l = r.measured.latency;
        std::printf("%-10s %14s %14s %14s %14s\n", qPrintable(r.measured.program),
                    formatted("%.3f", l.postedMedianMs, "failed").c_str(), formatted("%.3f", l.postedP99Ms, "failed").c_str(),
                    formatted("%.3f", l.xMedianMs, "-").c_str(), formatted("%.3f", l.xP99Ms, "-").c_str());
    }
    std::printf("(posted: a QEvent posted by another thread; X key: a key pressed through XTest into a field)\n");
}

void printDispatchers(const std::vector<DispatcherFigures>& dispatchers, const Options& options)
{
    std::printf("\nEvent processing with nothing pending, per call, on a shown window (median of %d)\n",
                options.dispatcherRounds);
    std::printf("%-26s %10s %10s %12s %16s %16s\n", "dispatcher", "ns wall", "ns cpu", "allocs/call",
                "BrisutaW7 steps/s", "steps/cpu-s");
    for (const auto& d : dispatchers) {
        if (d.name.isEmpty())
            continue;
        const Rate run = median(d.run);
        const std::optional<double> allocations =
            d.allocationsPerCall.empty() ? std::nullopt : std::optional(median(d.allocationsPerCall));
        std::printf("%-26s %10.1f %10.1f %12s %16.0f %16.0f\n", qPrintable(d.name), median(d.wallNs),
                    median(d.cpuNs), formatted("%.2e", allocations, "-").c_str(), run.wall, run.cpu);
    }
}

// The verdict on one target; a smoke run is too short to judge.
struct Judge {
    bool smoke;
    const char* operator()(bool met) const { return smoke ? "(not judged)" : met ? "met" : "MISSED"; }
};

// A step allocates nothing when the bare loop allocates at most once per
// run (the start of the refresh timer) and the window allocates far less
// than once per step: what it does allocate comes with its frames.
void printAllocationTarget(const std::vector<ProgramReport>& reports, const Options& options, Judge judge)
{
    double mostPerStep = 0, bareAllocations = 0, bareSteps = 0;
    for (const auto& r : reports) {
        if (!r.measured.allocations) {
            std::printf("  no allocation per step: -  (not judged: no allocation counter in this build)\n");
            return;
        }
        mostPerStep = std::max(mostPerStep, r.measured.allocations->perStep);
        bareAllocations += r.measured.allocations->bareLoop;
        bareSteps += r.measured.bareSteps;
    }
    const bool noAllocation = bareSteps > 0 &&
                              bareAllocations <= static_cast<double>(reports.size()) * options.repeats &&
                              mostPerStep < 0.01;
    std::printf("  no allocation per step: %.0f in %.0f bare steps, at most %.2e per step in the window  %s\n",
                bareAllocations, bareSteps, mostPerStep, judge(noAllocation));
}

// The slowest of the programs' median stops, posted or through the X
// server; none when a stop did not complete.
std::optional<double> worstStopMs(const std::vector<ProgramReport>& reports)
{
    double worst = 0;
    for (const auto& r : reports) {
        const StopFigures& stop = r.measured.stop;
        if (!stop.postedMs || stop.xClick == StopFigures::XClick::Failed)
            return std::nullopt;
        worst = std::max(worst, *stop.postedMs);
        if (stop.xClick == StopFigures::XClick::Measured)
            worst = std::max(worst, stop.xClickMs);
    }
    return worst;
}

}  // namespace

std::string machineName()
{
    QByteArray model = firstLine("/proc/cpuinfo", "model name");
    model = model.isEmpty() ? QByteArray("unknown processor") : model.mid(model.indexOf(':') + 1).simplified();
    return model.toStdString() + ", " + std::to_string(std::thread::hardware_concurrency()) + " cores";
}

std::string loadAverage()
{
    const QList<QByteArray> fields = firstLine("/proc/loadavg", "").split(' ');
    return fields.size() >= 3 ? (fields[0] + " " + fields[1] + " " + fields[2]).toStdString() : "unknown";
}

void printReport(const std::vector<ProgramReport>& reports, const std::vector<DispatcherFigures>& dispatchers,
                 const Options& options)
{
    printSpeed(reports, options);
    printAgainstHeadless(reports, options);
    printAllocations(reports);
    printResponsiveness(reports, options);
    printLatency(reports, options);
    printDispatchers(dispatchers, options);
}

void printTargets(const std::vector<ProgramReport>& reports, const Options& options)
{
    double slowest = 1e300, slowestCpu = 1e300, lowestNaiveRatio = 1e300;
    double fewestFrames = 1e300, slowestStart = 0, lowestHeadlessRatio = 1e300;
    for (const auto& report : reports) {
        const ProgramMeasurement& r = report.measured;
        slowest = std::min(slowest, r.stepsPerSecond.wall);
        slowestCpu = std::min(slowestCpu, r.stepsPerSecond.cpu);
        lowestNaiveRatio = std::min(lowestNaiveRatio, r.stepsPerSecond.wall / r.naiveWidget.wall);
        fewestFrames = std::min(fewestFrames, r.framesPerSecond);
        lowestHeadlessRatio = std::min(lowestHeadlessRatio, r.headlessRatio);
        for (double ms : report.startup.totalMs)
            slowestStart = std::max(slowestStart, ms);
    }
    const Judge judge{options.smoke};
    std::printf("\nTargets (%s)\n", options.smoke ? "smoke run, too short to judge" : "this run");
    std::printf("  >= %.0f steps/s, every program: slowest %.0f (%.0f per cpu-s)  %s\n", TargetStepsPerSecond,
                slowest, slowestCpu, judge(slowest >= TargetStepsPerSecond));
    // Without a display the naive loop has no screen to wait for, so the
    // ratio to it is judged under a real X server only.
    const bool onX = !reports.empty() && reports.front().measured.platform == QLatin1String("xcb");
    std::printf("  >= %.0fx the naive loop: lowest %.0fx  %s\n", TargetNaiveRatio, lowestNaiveRatio,
                onX ? judge(lowestNaiveRatio >= TargetNaiveRatio) : "(judged under xcb only)");
    std::printf("  >= %.2f of the headless render's speed: lowest %.3f  %s\n", TargetHeadlessRatio, lowestHeadlessRatio,
                onX ? judge(lowestHeadlessRatio >= TargetHeadlessRatio) : "(judged under xcb only)");
    printAllocationTarget(reports, options, judge);
    const std::optional<double> worstStop = worstStopMs(reports);
    std::printf("  \"Stop\" ends the run within %.0f ms: slowest median %s ms  %s\n", TargetStopMs,
                formatted("%.3f", worstStop, "failed").c_str(), judge(worstStop && *worstStop <= TargetStopMs));
    std::printf("  >= %.0f paints/s during a run: fewest %.1f  %s\n", TargetFramesPerSecond, fewestFrames,
                judge(fewestFrames >= TargetFramesPerSecond));
    std::printf("  start-up to the first paint under %.0f ms: slowest %.1f ms  %s\n", TargetStartupMs,
                slowestStart, judge(slowestStart > 0 && slowestStart < TargetStartupMs));
}

void printRender(const RenderFigures& render, const Options& options, std::optional<double> bareLoopCpu)
{
    std::printf("\nHeadless render, BrisutaW7 --render --steps %lld, against the inlined loop (%zu rounds, each\n"
                " the inlined loop in this process then a render process; start-up and PNG included)\n",
                static_cast<long long>(render.steps), render.ceiling.size());
    if (render.render.empty()) {
        std::printf("  failed\n");
        return;
    }
    const Rate ceiling = median(render.ceiling), rendered = median(render.render);
    std::printf("  inlined loop %12.0f steps/s %12.0f per cpu-s\n", ceiling.wall, ceiling.cpu);
    std::printf("  render       %12.0f steps/s %12.0f per cpu-s\n", rendered.wall, rendered.cpu);
    std::printf("  ratio, round by round:");
    for (std::size_t round = 0; round < render.wallRatios.size(); ++round)
        std::printf(" %.3f (cpu %.3f)", render.wallRatios[round], render.cpuRatios[round]);
    std::printf("\n  the inlined loop draws the render's pixels: %s; the window's bare loop: %s steps per cpu-s\n",
                render.ceilingDrawsTheRender ? "yes" : "NO", formatted("%.0f", bareLoopCpu, "-").c_str());
    const double ratio = median(render.wallRatios);
    std::printf("  >= %.2f of the inlined loop's speed: median %.3f  %s\n", TargetRenderRatio, ratio,
                Judge{options.smoke}(ratio >= TargetRenderRatio));
}

void printRenderMemory(const std::vector<MemoryFigures>& memory, const Options& options)
{
    std::printf("\nPeak resident memory of a render (--steps %lld --scale %d, each program a process of its own)\n",
                static_cast<long long>(options.memorySteps), options.memoryScale);
    std::printf("%-10s %12s %12s %10s %10s\n", "program", "pixels", "picture MB", "peak MB", "x picture");
    double highest = 0;
    bool all = true;
    for (const auto& m : memory) {
        char pixels[32];
        std::snprintf(pixels, sizeof pixels, "%dx%d", m.width, m.height);
        const double share = m.peakBytes ? *m.peakBytes / m.pictureBytes : 0;
        highest = std::max(highest, share);
        all = all && m.peakBytes;
        std::printf("%-10s %12s %12.1f %10s %10s\n", qPrintable(m.program), pixels, m.pictureBytes / 1e6,
                    formatted("%.1f", m.peakBytes ? std::optional(*m.peakBytes / 1e6) : std::nullopt, "failed").c_str(),
                    formatted("%.2f", m.peakBytes ? std::optional(share) : std::nullopt, "-").c_str());
    }
    const char* verdict = options.memoryScale < 16 ? "(judged at scale 16 only)"
                                                   : Judge{options.smoke}(all && highest <= TargetRenderMemory);
    std::printf("  at most %.1fx the picture's bytes: highest %.2fx  %s\n", TargetRenderMemory, highest, verdict);
}

}  // namespace vortiquo
