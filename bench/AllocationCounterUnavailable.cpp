#include "bench/AllocationCounter.h"

// The counter of a build whose malloc belongs to the sanitizers: it counts
// nothing and says so.
namespace AllocationCounter {

bool available()
{
    return false;
}

void markCountingThread() {}

void start() {}

Counts stop()
{
    return {};
}

}  // namespace AllocationCounter
