#include "bench/Options.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace vortiquo {

namespace {

void makeSmoke(Options& options)
{
    options.smoke = true;
    options.steps = 50'000;
    options.bareSteps = 200'000;
    options.naiveSteps = 200;
    options.repeats = 1;
    options.startupProbes = 1;
    options.dispatcherRounds = 1;
    options.dispatcherCalls = 20'000;
    options.stopDelayMs = 50;
    options.stopClicks = 1;
    options.latencyEvents = 20;
    options.renderSteps = 2'000'000;
    options.memorySteps = 10'000;
    options.memoryScale = 2;
}

[[noreturn]] void exitWithUsage()
{
    std::fprintf(stderr,
                 "usage: vortiquo-bench [--smoke] [--steps N] [--repeats N] [--renders-only | --planes-only | --measures-only]\n"
                 "platform: QT_QPA_PLATFORM=xcb (with DISPLAY) or offscreen\n");
    std::exit(2);
}

}  // namespace

Options parseOptions(int first, int argc, char** argv)
{
    Options options;
    for (int index = first; index < argc; ++index) {
        const std::string argument = argv[index];
        const bool hasValue = index + 1 < argc;
        if (argument == "--smoke")
            makeSmoke(options);
        else if (argument == "--renders-only")
            options.rendersOnly = true;
        else if (argument == "--measures-only")
            options.measuresOnly = true;
        else if (argument == "--planes-only")
            options.planesOnly = true;
        else if (argument == "--steps" && hasValue)
            options.steps = std::atoi(argv[++index]);
        else if (argument == "--repeats" && hasValue)
            options.repeats = std::max(1, std::atoi(argv[++index]));
        else
            exitWithUsage();
    }
    options.steps = std::max(options.steps, 1);
    options.bareSteps = std::max(options.bareSteps, options.steps);
    return options;
}

}  // namespace vortiquo
