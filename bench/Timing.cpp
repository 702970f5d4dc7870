#include "bench/Timing.h"

#include <algorithm>
#include <ctime>
#include <fstream>
#include <string>
#include <unistd.h>

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

double stolenCpuSeconds()
{
    // cpu  user nice system idle iowait irq softirq steal ...
    std::ifstream stat("/proc/stat");
    std::string label;
    double field[8] = {};
    if (!(stat >> label) || label != "cpu")
        return 0;
    for (double& each : field)
        if (!(stat >> each))
            return 0;
    const long ticks = sysconf(_SC_CLK_TCK);
    return ticks > 0 ? field[7] / static_cast<double>(ticks) : 0;
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
