#pragma once

#include <cstdint>

// Counts every heap allocation of the process (malloc and its relatives,
// and so operator new and Qt's containers) while counting is on. The
// thread that called markCountingThread() is counted apart from the others,
// so that allocations of Qt's helper threads (the X event reader) do not
// hide in the loop's figures.
//
// A build with the sanitizers has no counter, since they own malloc: there
// available() is false and every count is zero.
namespace AllocationCounter {

struct Counts {
    std::uint64_t thisThread = 0;   // the marked thread
    std::uint64_t otherThreads = 0;
};

bool available();
void markCountingThread();
void start();
Counts stop();

}  // namespace AllocationCounter
