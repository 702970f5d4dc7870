#pragma once

#include <cstdint>

#include "bench/AllocationCounter.h"
#include "bench/Timing.h"
#include "program/Program.h"

namespace vortiquo {

class SimulationForm;

// The timed runs: the real window's, and the two references that do the
// same per-step work with the same arithmetic into the same drawing area.

struct RunFigures {
    Rate stepsPerSecond;
    std::int64_t steps = 0;
    double wallSeconds = 0;
    AllocationCounter::Counts allocations;
    int paints = 0;
};

// One run of the window, from a click on "Via" until its step limit ends
// it. A run that misses its limit ends the process: it does not work.
RunFigures timedRun(SimulationForm& form, std::int32_t steps);

struct BareFigures {
    Rate stepsPerSecond;
    std::int32_t steps = 0;
    std::uint64_t allocations = 0;
};

// The ceiling: step, plot and pixel with no event processing at all.
BareFigures bareLoop(SimulationForm& form, const Program& program, std::int32_t steps);

enum class NaiveUpdate { Widget, Point };

// The naive loop: every point asks for a repaint, of the whole widget or of
// the point's pixel, and events are processed after every step, so every
// step paints and flushes to the screen.
Rate naiveLoop(SimulationForm& form, const Program& program, std::int32_t steps, NaiveUpdate update);

}  // namespace vortiquo
