#pragma once

#include "bench/Figures.h"
#include "bench/Options.h"
#include "program/Program.h"

namespace vortiquo {

class XClicker;

// Everything measured on one program's real window in this process: its
// timed runs, the ceiling and naive references, the allocations and paints
// during the runs, and the stop latency. With no clicker, no click goes
// through the X server.
ProgramMeasurement measureProgram(const Program& program, const Options& options, XClicker* clicker);

}  // namespace vortiquo
