#include "analysis/BoxCounting.h"

#include <algorithm>
#include <cmath>

namespace vortiquo {

namespace {

// Spreads the low 21 bits of v three apart: bit i goes to bit 3i.
std::uint64_t spread(std::uint64_t v)
{
    v &= 0x1fffff;
    v = (v | v << 32) & 0x1f00000000ffff;
    v = (v | v << 16) & 0x1f0000ff0000ff;
    v = (v | v << 8) & 0x100f00f00f00f00f;
    v = (v | v << 4) & 0x10c30c30c30c30c3;
    v = (v | v << 2) & 0x1249249249249249;
    return v;
}

}  // namespace

BoxCounts boxCounts(const std::vector<Point>& points, int levels, const AnalysisControl& control)
{
    BoxCounts counts;
    if (points.empty() || levels < 1 || levels > MaxBoxLevels)
        return counts;
    Point low = points.front(), high = points.front();
    for (const Point& p : points)
        for (int axis = 0; axis < 3; ++axis) {
            if (!std::isfinite(p[axis]))
                return counts;
            low[axis] = std::min(low[axis], p[axis]);
            high[axis] = std::max(high[axis], p[axis]);
        }
    double extent = 0;
    for (int axis = 0; axis < 3; ++axis)
        extent = std::max(extent, high[axis] - low[axis]);
    if (!(extent > 0) || !std::isfinite(extent))
        return counts;
    // A hair above the extent, so that the highest point is inside the top box.
    const double top = extent * (1 + 0x1p-20);
    const double finest = std::ldexp(top, 1 - levels);
    const std::uint64_t most = (std::uint64_t{1} << (levels - 1)) - 1;

    // Each point's finest box as one key whose bits interleave x, y and z,
    // most significant first: the boxes of a coarser level are the keys'
    // leading bits, so sorted keys keep every box of every level together.
    std::vector<std::uint64_t> keys(points.size());
    for (std::size_t i = 0; i < points.size(); ++i) {
        std::uint64_t key = 0;
        for (int axis = 0; axis < 3; ++axis) {
            const auto at = static_cast<std::uint64_t>((points[i][axis] - low[axis]) / finest);
            key |= spread(std::min(at, most)) << axis;
        }
        keys[i] = key;
    }
    if (control.cancelled()) {
        counts.outcome = Outcome::Cancelled;
        return counts;
    }
    std::sort(keys.begin(), keys.end());
    for (int level = 0; level < levels; ++level) {
        const int shift = 3 * (levels - 1 - level);
        std::uint64_t boxes = 1;
        for (std::size_t i = 1; i < keys.size(); ++i)
            boxes += (keys[i] >> shift) != (keys[i - 1] >> shift) ? 1 : 0;
        counts.sides.push_back(std::ldexp(top, -level));
        counts.boxes.push_back(boxes);
    }
    counts.outcome = Outcome::Finished;
    control.report(1.0);
    return counts;
}

}  // namespace vortiquo
