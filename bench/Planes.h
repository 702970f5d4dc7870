#pragma once

#include <QString>
#include <vector>

#include "bench/Figures.h"
#include "bench/Options.h"

namespace vortiquo {

// The parameter plane as a user computes it: whole processes of the real
// program (`--plane`, start-up and PNG included) on 1 and 2 threads, taking
// the widest SIMD lanes the processor has, against the plain loop of the
// same arithmetic (bench/PlaneLoop.h) on one thread of this process.

struct PlaneFigures {
    QString program, settings;
    int width = 0, height = 0;
    int sampledRows = 0;            // rows the plain loop computed, a band in the middle
    double plainCpuSeconds = 0;     // for those rows
    ProcessFigures runs[2];         // 1 and 2 threads
    bool sameFiles = false;         // the two runs wrote the same bytes
    int compared = 0, differing = 0, escaped = 0;  // the plain loop's pixels against the program's values
    // The plain loop's CPU time for the whole plane, over the program's.
    double perCore(int run) const;
};

std::vector<PlaneFigures> measurePlanes(const Options& options);
// Prints them with the targets; false when a run failed or a value differed.
bool printPlanes(const std::vector<PlaneFigures>& planes, const Options& options);

}  // namespace vortiquo
