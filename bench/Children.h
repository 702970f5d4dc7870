#pragma once

#include <QProcessEnvironment>
#include <QStringList>
#include <optional>
#include <vector>

#include "bench/Figures.h"
#include "bench/Options.h"
#include "program/Program.h"

namespace vortiquo {

// The parent's side of the child processes: starting them and reading what
// they report. Every program is measured in a process of its own, as a
// user runs it, and that process starts no other: a process that has forked
// children was seen to process events measurably slower for the rest of its
// life (docs/PERFORMANCE.md), which no program of the suite ever suffers.

// The environment of a child process: the parent's, platform included, but
// no dispatcher switch, so that a program's start-up makes its own choice.
QProcessEnvironment childEnvironment();

// One program measured in a child process given the benchmark's own
// arguments; nothing when the child failed or its report is incomplete.
std::optional<ProgramMeasurement> measureProgramInChild(const Program& program, const QStringList& arguments,
                                                        const QProcessEnvironment& environment);

// The program's start-up in `probes` new processes.
StartupFigures measureStartup(const Program& program, int probes, const QProcessEnvironment& environment);

// Both dispatchers, the programs' (Qt's UNIX one) first and GLib's second,
// in alternating child processes, so that a change in the machine's load
// falls on both.
std::vector<DispatcherFigures> measureDispatchers(const Options& options, QProcessEnvironment environment);

}  // namespace vortiquo
