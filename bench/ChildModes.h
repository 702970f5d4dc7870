#pragma once

#include <cstdint>

namespace vortiquo {

// The benchmark started as a child of itself. Each mode measures in a
// process of its own and writes one report line (bench/Protocol.h).

// One program's window, measured as a user runs it, with the dispatcher the
// programs choose; the options start at argv[3].
int programMain(int argc, char** argv, const char* name);

// A program's own start-up, as its main starts it, until the first paint.
int startupProbeMain(char* programPath, const char* name);

// With the dispatcher the environment selects, the cost of one call of
// event processing with nothing pending on a shown window, and a run of the
// first program.
int dispatcherProbeMain(int argc, char** argv, int calls, std::int32_t steps);

}  // namespace vortiquo
