#include "bench/Timing.h"

#include <algorithm>
#include <ctime>

namespace vortiquo {

double seconds(Clock::duration duration)
{
    return std::chrono::duration<double>(duration).count();
}

double milliseconds(Clock::duration duration)
{
    return std::chrono::duration<double, std::milli>(duration).count();
}

double threadCpuSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

Stopwatch::Stopwatch() : wall_(Clock::now()), cpu_(threadCpuSeconds()) {}

void Stopwatch::stop()
{
    wallSeconds = seconds(Clock::now() - wall_);
    cpuSeconds = threadCpuSeconds() - cpu_;
}

Rate rateOf(double count, const Stopwatch& watch)
{
    return {count / watch.wallSeconds, watch.cpuSeconds > 0 ? count / watch.cpuSeconds : 0};
}

double median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

Rate median(const std::vector<Rate>& rates)
{
    std::vector<double> wall, cpu;
    for (const Rate& rate : rates) {
        wall.push_back(rate.wall);
        cpu.push_back(rate.cpu);
    }
    return {median(wall), median(cpu)};
}

}  // namespace vortiquo
