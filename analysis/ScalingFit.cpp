#include "analysis/ScalingFit.h"

#include <cmath>

namespace vortiquo {

namespace {

struct Line {
    double slope, intercept;
};

Line leastSquares(const ScalingCurve& curve, int first, int last)
{
    const double n = last - first + 1;
    double meanX = 0, meanY = 0;
    for (int i = first; i <= last; ++i) {
        meanX += curve.logScale[static_cast<std::size_t>(i)];
        meanY += curve.logCount[static_cast<std::size_t>(i)];
    }
    meanX /= n;
    meanY /= n;
    double xy = 0, xx = 0;
    for (int i = first; i <= last; ++i) {
        const double dx = curve.logScale[static_cast<std::size_t>(i)] - meanX;
        xy += dx * (curve.logCount[static_cast<std::size_t>(i)] - meanY);
        xx += dx * dx;
    }
    const double slope = xy / xx;
    return {slope, meanY - slope * meanX};
}

double localSlope(const ScalingCurve& curve, int i)
{
    const auto at = static_cast<std::size_t>(i);
    return (curve.logCount[at + 1] - curve.logCount[at]) / (curve.logScale[at + 1] - curve.logScale[at]);
}

// The largest distance of a local slope in the range from `slope`.
double straying(const ScalingCurve& curve, int first, int last, double slope)
{
    double most = 0;
    for (int i = first; i < last; ++i)
        most = std::fmax(most, std::fabs(localSlope(curve, i) - slope));
    return most;
}

bool allUsable(const ScalingCurve& curve, int first, int last)
{
    for (int i = first; i <= last; ++i)
        if (!curve.usable[static_cast<std::size_t>(i)])
            return false;
    return true;
}

}  // namespace

ScalingCurve scalingCurve(const std::vector<double>& scales, const std::vector<std::uint64_t>& counts, double per)
{
    ScalingCurve curve;
    for (std::size_t i = 0; i < scales.size() && i < counts.size(); ++i) {
        curve.logScale.push_back(std::log(scales[i]));
        curve.logCount.push_back(std::log(static_cast<double>(counts[i]) / per));
        curve.usable.push_back(counts[i] > 0 && std::isfinite(curve.logScale.back()) &&
                               std::isfinite(curve.logCount.back()));
    }
    return curve;
}

ScalingFit fitScaling(const ScalingCurve& curve, int first, int last)
{
    ScalingFit fit;
    const auto size = static_cast<int>(curve.logScale.size());
    if (first < 0 || last >= size || last - first + 1 < FewestRangePoints || !allUsable(curve, first, last))
        return fit;
    const Line whole = leastSquares(curve, first, last);
    const int middle = first + (last - first) / 2;
    const Line upper = leastSquares(curve, first, middle);  // the larger scales
    const Line lower = leastSquares(curve, middle, last);
    fit.valid = std::isfinite(whole.slope);
    fit.first = first;
    fit.last = last;
    fit.slope = whole.slope;
    fit.intercept = whole.intercept;
    fit.uncertainty = std::fmax(std::fabs(upper.slope - whole.slope), std::fabs(lower.slope - whole.slope));
    return fit;
}

ScalingFit findScalingRange(const ScalingCurve& curve, double tolerance)
{
    ScalingFit best;
    double bestStraying = 0;
    const auto size = static_cast<int>(curve.logScale.size());
    for (int first = 0; first < size; ++first)
        for (int last = first + FewestRangePoints - 1; last < size; ++last) {
            if (!allUsable(curve, first, last))
                break;
            const ScalingFit fit = fitScaling(curve, first, last);
            if (!fit.valid)
                continue;
            const double stray = straying(curve, first, last, fit.slope);
            if (stray > tolerance * std::fabs(fit.slope))
                continue;
            const int length = last - first, bestLength = best.last - best.first;
            if (!best.valid || length > bestLength || (length == bestLength && stray < bestStraying)) {
                best = fit;
                bestStraying = stray;
            }
        }
    return best;
}

}  // namespace vortiquo
