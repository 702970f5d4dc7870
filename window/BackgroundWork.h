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

}  // namespace vortiquo
