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

// The headless render of one program against its bare loop for the same
// steps, with its target: at least 0.8 of the bare loop's speed, that is at
// most 1.25 times its time, start-up and PNG writing included.
void printRender(const ProgramReport& report, const RenderFigures& render, const Options& options);
