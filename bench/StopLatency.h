#pragma once

#include "bench/Figures.h"

namespace vortiquo {

class SimulationForm;
class XClicker;

// The time from a click on "Stop" to the end of a run without a step limit:
// a click posted to the button delayMs into the run, and, with a clicker, a
// click through the X server.
StopFigures stopLatency(SimulationForm& form, int delayMs, XClicker* clicker);

}  // namespace vortiquo
