#pragma once

#include <QString>
#include <cstdint>
#include <optional>
#include <vector>

#include "bench/Timing.h"

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
    // From a click posted to "Stop" to the end of the run, and how late the
    // timer that posted it fired; absent when the click did not end the run.
    std::optional<double> postedMs;
    std::optional<double> timerLateMs;
    // A click through the X server: none where the platform or the machine
    // cannot make one, failed where it did not end the run.
    XClick xClick = XClick::Unavailable;
    double xClickMs = 0;  // when measured
};

// One program's window and the references beside it, measured in one process.
struct ProgramMeasurement {
    QString program, platform, dispatcher;
    Rate stepsPerSecond, ceiling, naiveWidget, naivePoint;
    std::optional<AllocationFigures> allocations;
    double bareSteps = 0;  // all bare loops together
    double framesPerSecond = 0;
    StopFigures stop;
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

// The headless renderer timed as a whole process, start-up and PNG writing
// included, beside the bare loop for the same steps.
struct RenderFigures {
    std::int64_t steps = 0;
    std::vector<double> seconds;  // one per render process that completed
};

struct ProgramReport {
    ProgramMeasurement measured;
    StartupFigures startup;
};
