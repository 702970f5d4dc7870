#pragma once

#include <string>
#include <vector>

#include "bench/Figures.h"
#include "bench/Options.h"

// What the parent prints: the machine, the tables of figures, and the
// targets read against them.

std::string machineName();
std::string loadAverage();

void printReport(const std::vector<ProgramReport>& reports, const std::vector<DispatcherFigures>& dispatchers,
                 const Options& options);

// The targets, read against this run. They are set for the reference
// machine under a real X server; a smoke run is too short to judge them.
void printTargets(const std::vector<ProgramReport>& reports, const Options& options);
