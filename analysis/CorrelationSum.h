#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "analysis/Control.h"

namespace vortiquo {

// Points of a set, in the order they were taken (for an orbit, in time);
// the maps leave z at 0.
using Point = std::array<double, 3>;

// The correlation sum C(r): the share of pairs of points closer than r, at
// radii r_k = r₀ · 2^(−k/2) (k = 0, 1, …), evenly spaced in log r. Pairs of
// points taken within a Theiler window of each other (|i − j| ≤ w) are left
// out. A pair is closer than r_k when its squared distance, computed as
// dx² + dy² + dz², is below r₀² · 2^(−k): every way of counting compares the
// same numbers, so they find the same counts to the pair.

inline constexpr int MaxRadii = 64;

struct CorrelationSettings {
    double largestRadius = 0;  // r₀
    int radii = 0;             // 1 to MaxRadii
    std::int64_t theilerWindow = 0;
};

struct CorrelationCurve {
    Outcome outcome = Outcome::Invalid;
    std::vector<double> radii;         // r_k, largest first
    std::vector<std::uint64_t> pairs;  // the pairs closer than r_k
    std::uint64_t eligiblePairs = 0;   // every pair i < j − w
};

// The counts by a grid of cells no smaller than r₀: a pair closer than r₀
// lies in one cell or two neighbouring ones, so only those are compared.
CorrelationCurve correlationSum(const std::vector<Point>& points, const CorrelationSettings& settings,
                                const AnalysisControl& control = {});

// The same counts by comparing every pair: the reference the grid is
// checked and timed against.
CorrelationCurve correlationSumAllPairs(const std::vector<Point>& points, const CorrelationSettings& settings,
                                        const AnalysisControl& control = {});

}  // namespace vortiquo
