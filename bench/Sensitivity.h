#pragma once

#include "bench/Options.h"

namespace vortiquo {

// The sensitivity analyses: the time the largest Lyapunov exponent takes
// for each program's default measurement (1,000,000 steps of a map,
// 10,000,000 of a flow), and how much a tool window that computes without
// pause (Sensibilità, and Esplora parametri) slows the run of its program's
// window.

// Measured in this process; prints its own table.
void printExponentTimes(const Options& options);

// Starts `--sensitivity-load` children, one per program and tool, and prints
// what they report.
void printSensitivityLoad(const char* benchPath, const Options& options);

// The child: runs a window for `steps` steps, alone and beside a tool window
// kept computing, by turns (argv[5]: "esplora" for Esplora parametri,
// "sensibilita" for a Sensibilità window edited again as soon as it shows a
// result, anything else for no tool at all), and prints on one line the
// medians of both rates, by the wall clock and by the thread's CPU time,
// the computations started, and the medians of the turns' ratios of the
// rate beside the tool to the rate alone, by either clock.
int sensitivityLoadMain(int argc, char** argv, const char* name, int steps);

}  // namespace vortiquo
