#include "bench/IdleComputation.h"

#include "window/BackgroundWork.h"

namespace vortiquo {

namespace {

// Iterates a quadratic map in doubles, the kind of work a tool's worker does,
// until told to stop; the result is kept so the loop is not optimised away.
void iterateUntil(const std::atomic<bool>& stopping)
{
    lowerThreadPriority();
    double x = 0.3, y = 0.1;
    volatile double kept = 0;
    while (!stopping.load(std::memory_order_relaxed)) {
        for (int i = 0; i < 100'000; ++i) {
            const double next = 1.0 - 1.4 * x * x + y;
            y = 0.3 * x;
            x = next;
        }
        kept = x;
    }
    (void)kept;
}

}  // namespace

void IdleComputation::start()
{
    stop();
    stopping_ = false;
    thread_ = std::thread(iterateUntil, std::cref(stopping_));
}

void IdleComputation::stop()
{
    if (!thread_.joinable())
        return;
    stopping_ = true;
    thread_.join();
}

}  // namespace vortiquo
