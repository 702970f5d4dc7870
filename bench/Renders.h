#pragma once

#include <QStringList>
#include <cstdint>
#include <vector>

#include "bench/Figures.h"
#include "program/Program.h"

namespace vortiquo {

// The headless render, measured as a user runs it: whole processes of the
// real program, from their start to their exit.

// Starts the program with the arguments (standard output discarded,
// standard error shared) and waits for it.
ProcessFigures runProcess(const QString& program, const QStringList& arguments);

// `BrisutaW7 --render FILE --steps N` against the inlined loop for the same
// steps, alternately, `rounds` times each: the machine is shared, and a
// change in its load then falls on both. First checks, on a short run, that
// the inlined loop draws what the render's loop draws.
RenderFigures measureRender(std::int64_t steps, int rounds);

// What `PROGRAM --render FILE --steps N` computes, in this process: the
// replay of the journal that the command line makes, with no start-up and
// no PNG. Timed on this thread.
Rate headlessRun(const Program& program, std::int64_t steps);

// Every program rendered at `scale`, each in a process of its own.
std::vector<MemoryFigures> measureRenderMemory(std::int64_t steps, int scale);

}  // namespace vortiquo
