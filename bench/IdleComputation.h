#pragma once

#include <atomic>
#include <thread>

namespace vortiquo {

// A plain computation on a thread of its own, scheduled as the tools'
// workers are: the benchmark's measure of what a busy neighbour core costs a
// window's run by itself, with no window of its own and nothing shown.
class IdleComputation {
public:
    IdleComputation() = default;
    IdleComputation(const IdleComputation&) = delete;
    IdleComputation& operator=(const IdleComputation&) = delete;
    ~IdleComputation() { stop(); }

    void start();
    void stop();

private:
    std::thread thread_;
    std::atomic<bool> stopping_{false};
};

}  // namespace vortiquo
