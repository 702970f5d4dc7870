#include "analysis/Dimension.h"

#include <algorithm>
#include <cmath>

namespace vortiquo {

namespace {

constexpr std::int64_t CheckEvery = 4096;

// Below this many pairs a radius's count is too noisy to fit.
constexpr std::uint64_t FewestPairs = 200;
// Boxes too few to fit are the coarsest levels; boxes that hold fewer than
// this many points on average are the finest, where the count saturates
// towards the number of points.
constexpr std::uint64_t FewestBoxes = 4;
constexpr std::uint64_t FewestPointsPerBox = 8;
// How far a local slope may stray from the fitted one, as a share of it.
constexpr double ScalingTolerance = 0.1;

// The share of the work each part takes, for the progress bar.
constexpr double OrbitShare = 0.35;
constexpr double PairsShare = 0.6;

// A control that reports its fraction into [from, from + share] of another's.
AnalysisControl part(const AnalysisControl& whole, double from, double share)
{
    AnalysisControl control = whole;
    if (whole.progress)
        control.progress = [&whole, from, share](double fraction) { whole.report(from + share * fraction); };
    return control;
}

double diagonal(const std::vector<Point>& points)
{
    if (points.empty())
        return 0;
    Point low = points.front(), high = points.front();
    for (const Point& p : points)
        for (int axis = 0; axis < 3; ++axis) {
            low[axis] = std::min(low[axis], p[axis]);
            high[axis] = std::max(high[axis], p[axis]);
        }
    const double dx = high[0] - low[0], dy = high[1] - low[1], dz = high[2] - low[2];
    return std::sqrt((dx * dx + dy * dy) + dz * dz);
}

bool valid(const Dynamics* dynamics, const SimulationState& start, const DimensionSettings& settings)
{
    if (dynamics == nullptr)
        return false;
    const double unit = stepDuration(*dynamics, start);  // a zero step stands still
    return unit != 0 && std::isfinite(unit) && settings.points >= MinDimensionPoints && settings.points <= MaxDimensionPoints &&
           settings.spacingSteps >= 1 && settings.transientSteps >= 0 && settings.theilerWindow >= 0 &&
           settings.transientSteps <= MaxDimensionSteps &&
           settings.spacingSteps <= MaxDimensionSteps / settings.points;
}

}  // namespace

DimensionSettings defaultDimensionSettings(const Dynamics& dynamics, const SimulationState& state,
                                           std::int64_t points)
{
    DimensionSettings settings;
    settings.transientSteps = stepsFor(dynamics, state, dynamics.transientTime);
    settings.points = points;
    settings.spacingSteps = std::max<std::int64_t>(1, stepsFor(dynamics, state, dynamics.pointSpacing));
    settings.theilerWindow = std::llround(dynamics.theilerTime / dynamics.pointSpacing);
    return settings;
}

std::vector<Point> attractorPoints(const Model& model, const SimulationState& start, const DimensionSettings& settings,
                                   const AnalysisControl& control, std::int64_t& faultStep)
{
    faultStep = 0;
    std::vector<Point> points;
    points.reserve(static_cast<std::size_t>(settings.points));
    const int coordinates = model.coordinates;
    const std::int64_t total = settings.transientSteps + (settings.points - 1) * settings.spacingSteps;
    SimulationState orbit = start;
    std::int64_t nextKept = settings.transientSteps;
    for (std::int64_t step = 0;; ++step) {
        if (step == nextKept) {
            points.push_back(pointOf(orbit, coordinates));
            if (static_cast<std::int64_t>(points.size()) == settings.points)
                break;
            nextKept += settings.spacingSteps;
        }
        if (!advance(model, orbit)) {
            faultStep = step + 1;
            points.clear();
            break;
        }
        if ((step + 1) % CheckEvery == 0) {
            control.report(static_cast<double>(step + 1) / static_cast<double>(total));
            if (control.cancelled()) {
                points.clear();
                break;
            }
        }
    }
    return points;
}

DimensionResult attractorDimensions(const Model& model, const SimulationState& start,
                                    const DimensionSettings& settings, const AnalysisControl& control)
{
    DimensionResult result;
    if (!valid(dynamicsOf(model), start, settings))
        return result;
    std::int64_t faultStep = 0;
    const std::vector<Point> points = attractorPoints(model, start, settings, part(control, 0, OrbitShare), faultStep);
    if (faultStep != 0) {
        result.outcome = Outcome::Fault;
        result.faultSource = FaultSource::Orbit;
        result.faultStep = faultStep;
        return result;
    }
    if (points.empty()) {
        result.outcome = Outcome::Cancelled;
        return result;
    }
    return dimensionsOfPoints(points, settings.theilerWindow, part(control, OrbitShare, 1 - OrbitShare));
}

DimensionResult dimensionsOfPoints(const std::vector<Point>& points, std::int64_t theilerWindow,
                                   const AnalysisControl& control)
{
    DimensionResult result;
    result.points = static_cast<std::int64_t>(points.size());
    result.theilerWindow = theilerWindow;
    result.attractorSize = diagonal(points);
    if (!(result.attractorSize > 0) || !std::isfinite(result.attractorSize))
        return result;  // a fixed point, or points beyond measure: no dimension

    const CorrelationSettings pairs{result.attractorSize * LargestRadiusShare, CorrelationRadii, theilerWindow};
    result.correlation = correlationSum(points, pairs, part(control, 0, PairsShare));
    if (result.correlation.outcome != Outcome::Finished) {
        result.outcome = result.correlation.outcome;
        return result;
    }
    result.boxes = boxCounts(points, BoxLevels, part(control, PairsShare, 1 - PairsShare));
    if (result.boxes.outcome != Outcome::Finished) {
        result.outcome = result.boxes.outcome;
        return result;
    }

    result.correlationCurve = scalingCurve(result.correlation.radii, result.correlation.pairs,
                                           static_cast<double>(result.correlation.eligiblePairs));
    for (std::size_t k = 0; k < result.correlation.pairs.size(); ++k)
        if (result.correlation.pairs[k] < FewestPairs)
            result.correlationCurve.usable[k] = false;
    result.correlationFit = findScalingRange(result.correlationCurve, ScalingTolerance);

    result.boxCurve = scalingCurve(result.boxes.sides, result.boxes.boxes, 1.0);
    const auto saturated = static_cast<std::uint64_t>(result.points) / FewestPointsPerBox;
    for (std::size_t level = 0; level < result.boxes.boxes.size(); ++level)
        if (result.boxes.boxes[level] < FewestBoxes || result.boxes.boxes[level] > saturated)
            result.boxCurve.usable[level] = false;
    result.boxFit = findScalingRange(result.boxCurve, ScalingTolerance);
    result.outcome = Outcome::Finished;
    control.report(1.0);
    return result;
}

}  // namespace vortiquo
