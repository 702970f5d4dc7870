#pragma once

#include "bench/Figures.h"

namespace vortiquo {

class SimulationForm;
class XClicker;

// From an event that reaches the window's thread from outside during a run
// to its handler: one posted by another thread, and, where an X server with
// XTest is at hand, a key pressed through the X server into a field. Each
// comes `events` times, a few milliseconds apart, during a run with no step
// limit that goes on drawing.
LatencyFigures eventLatency(SimulationForm& form, int events, XClicker* clicker);

}  // namespace vortiquo
