#pragma once

#include <optional>
#include <string>
#include <vector>

#include "bench/Figures.h"
#include "bench/Options.h"

namespace vortiquo {

// What the parent prints: the machine, the tables of figures, and the
// targets read against them.

std::string machineName();
std::string loadAverage();

void printReport(const std::vector<ProgramReport>& reports, const std::vector<DispatcherFigures>& dispatchers,
                 const Options& options);

// The targets, read against this run. They are set for the reference
// machine under a real X server; a smoke run is too short to judge them.
void printTargets(const std::vector<ProgramReport>& reports, const Options& options);

// The headless render against the inlined loop for the same steps, with its
// target: at least 0.95 of the inlined loop's speed, start-up and PNG
// writing included. The window's bare loop, when measured, is shown beside it.
void printRender(const RenderFigures& render, const Options& options, std::optional<double> bareLoopCpu);

// The peak memory of every program's render at a large scale, with its
// target: at most 1.6 times the picture's bytes.
void printRenderMemory(const std::vector<MemoryFigures>& memory, const Options& options);

}  // namespace vortiquo
