#pragma once

class QThreadPool;

namespace vortiquo {

// Where the tool windows compute: a pool of their own whose threads run at
// the lowest priority, so that a run in the program's window and the display
// keep the cores. Linux keeps priorities per thread, so no other work
// inherits it.
QThreadPool& backgroundPool();
// Lowers the calling thread's priority to the lowest: for every thread a
// tool's computation uses, its own workers included.
void lowerThreadPriority();
// The threads a tool's computation takes: one a core, less the core that a
// run of the program's window keeps to itself (at least one). A worker that
// shares the run's core, however low its priority, slows the run by several
// per cent: it preempts it now and then, and each time it passes through the
// core's caches.
int toolThreads(bool besideRun);

}  // namespace vortiquo
