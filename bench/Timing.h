#pragma once

#include <chrono>
#include <vector>

namespace vortiquo {

// Clocks and rates of the benchmark. Wall-clock rates depend on what else
// the machine runs, so each stretch is also timed in the CPU time of the
// thread that ran it.

using Clock = std::chrono::steady_clock;

double seconds(Clock::duration duration);
double milliseconds(Clock::duration duration);
// CPU time of the calling thread, in seconds.
double threadCpuSeconds();
// The time a virtual machine's host has taken from all of this machine's
// CPUs since it booted, in CPU seconds (the steal of /proc/stat); 0 where
// the system does not tell. A thread's CPU time leaves it out, its wall
// clock does not.
double stolenCpuSeconds();

// Wall-clock and CPU time of one measured stretch on this thread.
class Stopwatch {
public:
    Stopwatch();
    void stop();
    double wallSeconds = 0;
    double cpuSeconds = 0;

private:
    Clock::time_point wall_;
    double cpu_;
};

struct Rate {
    double wall = 0;  // per second of wall-clock time
    double cpu = 0;   // per second of the thread's CPU time
};

Rate rateOf(double count, const Stopwatch& watch);
// The middle value (the upper one of an even count); 0 for none.
double median(std::vector<double> values);
Rate median(const std::vector<Rate>& rates);

}  // namespace vortiquo
