#pragma once

#include "bench/Figures.h"

namespace vortiquo {

class SimulationForm;
class XClicker;

// The time from a click on "Stop" to the end of a run without a step limit,
// over `clicks` runs: a click posted to the button delayMs into each run,
// and, with a clicker, a click through the X server into another run.
StopFigures stopLatency(SimulationForm& form, int delayMs, int clicks, XClicker* clicker);

}  // namespace vortiquo
