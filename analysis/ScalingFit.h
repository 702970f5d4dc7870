#pragma once

#include <cstdint>
#include <limits>
#include <vector>

namespace vortiquo {

// A dimension is the slope of log count against log scale where the two
// follow a straight line: below it the counts are too few to trust, above
// it the set's finite size bends the line. The scaling range is that
// stretch of the curve; it is found automatically and can be chosen by hand.

// A curve of counts at scales, largest scale first. A fit uses only usable
// points: those with a count, which the caller may narrow further.
struct ScalingCurve {
    std::vector<double> logScale;  // natural logarithms
    std::vector<double> logCount;  // natural logarithms of count / per; −∞ for no count
    std::vector<bool> usable;
};
ScalingCurve scalingCurve(const std::vector<double>& scales, const std::vector<std::uint64_t>& counts, double per);

struct ScalingFit {
    bool valid = false;
    int first = 0, last = 0;  // the range: curve points first to last (largest scale first), both in
    double slope = std::numeric_limits<double>::quiet_NaN();
    double intercept = std::numeric_limits<double>::quiet_NaN();  // of the fitted line log count = slope · log scale + intercept
    // How much the slope varies across the range: the larger difference
    // between the whole range's slope and that of its upper or lower half.
    double uncertainty = std::numeric_limits<double>::quiet_NaN();
};

// The fewest points a range holds.
inline constexpr int FewestRangePoints = 5;

// The least-squares line over points first to last of the curve, which must
// all be usable and at least FewestRangePoints; otherwise an invalid fit.
ScalingFit fitScaling(const ScalingCurve& curve, int first, int last);

// The scaling range found automatically: the longest run of usable points
// over which every local slope (between neighbouring points) stays within
// `tolerance` (a share of the slope) of the fitted slope; of runs equally
// long, the one whose local slopes stray least.
ScalingFit findScalingRange(const ScalingCurve& curve, double tolerance);

}  // namespace vortiquo
