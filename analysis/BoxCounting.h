#pragma once

#include <cstdint>
#include <vector>

#include "analysis/CorrelationSum.h"

namespace vortiquo {

// The boxes a set of points occupies in nested grids: the box that holds the
// set's bounding box at level 0, then boxes of half the side at each level,
// each inside one box of the level before. The box-counting dimension is the
// slope of log N against log (1 / side) over the scaling range.

inline constexpr int MaxBoxLevels = 21;  // 21 bits a coordinate: three fit one 64-bit key

struct BoxCounts {
    Outcome outcome = Outcome::Invalid;
    std::vector<double> sides;          // largest first, each half the one before
    std::vector<std::uint64_t> boxes;   // the boxes holding a point, at each side
};

// `levels`: 1 to MaxBoxLevels. Invalid when a point is not finite or the set
// has no extent.
BoxCounts boxCounts(const std::vector<Point>& points, int levels, const AnalysisControl& control = {});

}  // namespace vortiquo
