#pragma once

#include <cstdint>
#include <random>
#include <iterator>

namespace soak {

// The one source of chance in a soak. Every choice is drawn from it in the
// order the actions happen, so a seed repeats the same actions.
class Random {
public:
    explicit Random(std::uint64_t seed) : engine_(seed) {}

    // A whole number from 0 to count - 1.
    int below(int count) { return static_cast<int>(engine_() % static_cast<std::uint64_t>(count)); }
    int between(int low, int high) { return low + below(high - low + 1); }
    bool percent(int chance) { return below(100) < chance; }

    // An element of an array or a span (whose elements outlive it).
    template <typename Items>
    const auto& pick(const Items& items)
    {
        return items[static_cast<std::size_t>(below(static_cast<int>(std::size(items))))];
    }

private:
    std::mt19937_64 engine_;  // fully specified by the standard: the same numbers everywhere
};

}  // namespace soak
