#pragma once

#include <cstdint>

namespace vortiquo {

// How much the benchmark measures: a full run, or a smoke run of seconds
// that only checks that everything works.
struct Options {
    std::int32_t steps = 4'000'000;  // steps of one timed run of a window
    std::int32_t bareSteps = 20'000'000;
    std::int32_t naiveSteps = 10'000;
    int repeats = 3;
    int startupProbes = 3;
    int dispatcherRounds = 3;
    int dispatcherCalls = 2'000'000;
    int stopDelayMs = 300;  // when, into a run, "Stop" is clicked
    int stopClicks = 7;     // of each kind, each ending a run of its own
    int latencyEvents = 200;  // of each kind, during a run
    std::int64_t renderSteps = 100'000'000;  // the headless render against the inlined loop
    std::int64_t memorySteps = 1'000'000;    // the renders at a large scale
    int memoryScale = 16;
    bool smoke = false;
    bool rendersOnly = false;  // only the headless render and its memory
    bool measuresOnly = false;  // only the spectrum and the dimensions
    bool planesOnly = false;   // only the parameter plane against its plain loop
};

// Reads the options from argv[first] on; prints the usage and exits with
// status 2 on an argument it does not know.
Options parseOptions(int first, int argc, char** argv);

}  // namespace vortiquo
