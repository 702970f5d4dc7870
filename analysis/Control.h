#pragma once

#include <atomic>
#include <cstdint>
#include <functional>

namespace vortiquo {

// How often a long computation looks at the cancel flag, and reports how
// far it is, in steps.
inline constexpr std::int64_t CancelCheckEvery = 4096;
inline constexpr std::int64_t ProgressEvery = 65536;

// How a long analysis is stopped and followed from another thread, and how it
// ended. Every analysis reads the cancel flag every few thousand steps.
struct AnalysisControl {
    // Set (by any thread) to stop the computation soon; nullptr: never stopped.
    const std::atomic<bool>* cancel = nullptr;
    // The fraction done, 0 to 1, called now and then from the computing
    // thread; the parallel sweeps call it from one worker at a time.
    std::function<void(double)> progress;
    // Called first on each thread that computes, the caller's included: a
    // window lowers the priority of its workers here, so a run keeps its speed.
    std::function<void()> workerStarted;

    bool cancelled() const { return cancel != nullptr && cancel->load(std::memory_order_relaxed); }
    void startWorker() const
    {
        if (workerStarted)
            workerStarted();
    }
    // At step `step` of `total`: every ProgressEvery steps reports how far
    // it is, and every CancelCheckEvery steps says whether to stop; false
    // between the checks, which cost one division.
    bool stopsAt(std::int64_t step, std::int64_t total) const
    {
        if (step % CancelCheckEvery != 0)
            return false;
        if (step % ProgressEvery == 0)
            report(static_cast<double>(step) / static_cast<double>(total));
        return cancelled();
    }
    void report(double fraction) const
    {
        if (progress)
            progress(fraction);
    }
};

enum class Outcome : std::uint8_t {
    Finished,
    Fault,      // a step overflowed, or a singular Jacobian collapsed a tangent: no number is made of it
    Cancelled,  // the cancel flag was seen
    Invalid,    // the settings cannot give a result (a zero or infinite time step, too few steps)
};

// Which computation met the fault.
enum class FaultSource : std::uint8_t { None, Orbit, Twin, Tangent };

}  // namespace vortiquo
