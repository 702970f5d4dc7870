#pragma once

#include <QString>
#include <cstdint>
#include <optional>
#include <vector>

#include "bench/Timing.h"

namespace vortiquo {

// What the benchmark measures, as plain data: what a child process reports
// and what the parent prints.

// Heap allocations of one program's measurement; absent where the build has
// no allocation counter (the sanitizers own malloc).
struct AllocationFigures {
    double perStep = 0;       // the window's runs, on the window's thread
    double perFrame = 0;
    double otherThreads = 0;  // during the window's runs
    double bareLoop = 0;      // all bare loops of the measurement together
};

struct StopFigures {
    enum class XClick { Unavailable, Failed, Measured };
    // Medians over several clicks of each kind.
    // From a click posted to "Stop" to the end of the run, and how late the
    // timer that posted it fired; absent when a click did not end its run.
    std::optional<double> postedMs;
    std::optional<double> timerLateMs;
    // A click through the X server: none where the platform or the machine
    // cannot make one, failed where it did not end the run.
    XClick xClick = XClick::Unavailable;
    double xClickMs = 0;  // when measured
    double worstMs = 0;   // the slowest click of either kind
};

// From an event sent from outside the window's thread during a run to its
// handler: posted by another thread, and a key through the X server (none
// where no X server with XTest is at hand). Absent where events were lost.
struct LatencyFigures {
    std::optional<double> postedMedianMs, postedP99Ms;
    std::optional<double> xMedianMs, xP99Ms;
};

// One program's window and the references beside it, measured in one process.
struct ProgramMeasurement {
    QString program, platform, dispatcher;
    Rate stepsPerSecond, ceiling, naiveWidget, naivePoint;
    // The headless render of the same steps, timed in turns with the
    // window's runs, and the window's rate over it, round by round (median).
    Rate headless;
    double headlessRatio = 0, headlessRatioCpu = 0;
    std::optional<AllocationFigures> allocations;
    double bareSteps = 0;  // all bare loops together
    double framesPerSecond = 0;
    StopFigures stop;
    LatencyFigures latency;
};

// One start-up probe: the moments, on the steady clock, at which the
// application object was created and the drawing area first painted.
struct StartupProbe {
    Clock::time_point applicationCreated, firstPaint;
    QString dispatcher;
};

struct StartupFigures {
    std::vector<double> totalMs;        // process start to the first paint
    std::vector<double> applicationMs;  // application object to the first paint
    QString dispatcher;
};

// One dispatcher probe: one call of event processing with nothing pending,
// and a run of the first program.
struct DispatcherProbe {
    QString dispatcher;
    double wallNs = 0, cpuNs = 0;
    std::optional<double> allocationsPerCall;
    Rate run;
};

struct DispatcherFigures {
    QString name;
    std::vector<double> wallNs, cpuNs, allocationsPerCall;
    std::vector<Rate> run;
};

// One process started and waited for: its wall-clock and CPU time from
// start to exit, and its peak resident memory.
struct ProcessFigures {
    bool exitedWell = false;  // exit status 0
    double wallSeconds = 0, cpuSeconds = 0;
    double peakBytes = 0;
};

// The headless renderer timed as a whole process, start-up and PNG writing
// included, in rounds that alternate with the inlined loop (the ceiling)
// for the same steps in the benchmark's own process.
struct RenderFigures {
    std::int64_t steps = 0;
    std::vector<Rate> ceiling;  // one per round
    std::vector<Rate> render;   // one per round whose render completed, its CPU time the process's
    std::vector<double> wallRatios, cpuRatios;  // render over ceiling, round by round
    bool ceilingDrawsTheRender = false;  // the ceiling drew the render's pixels and point
};

// A render at a large scale: its picture's bytes as 32-bit pixels, and the
// peak resident memory of the whole process.
struct MemoryFigures {
    QString program;
    int scale = 0;
    int width = 0, height = 0;
    double pictureBytes = 0;
    std::optional<double> peakBytes;  // none when the render failed
};

// A window's runs alone and beside a tool, as a `--sensitivity-load` child
// measures them: medians of the runs, the turns' ratios (beside over alone),
// the host's stolen share and the share of each run spent handling events.
struct ToolLoadProbe {
    struct Shares {
        double alone = 0, beside = 0;
    };
    Rate alone, beside;
    int computations = 0;
    Rate ratio;
    Shares stolen, events;
};

struct ProgramReport {
    ProgramMeasurement measured;
    StartupFigures startup;
};

}  // namespace vortiquo
