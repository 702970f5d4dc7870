#pragma once

#include <cstdint>
#include <vector>

#include "analysis/BoxCounting.h"
#include "analysis/CorrelationSum.h"
#include "analysis/Dynamics.h"
#include "analysis/ScalingFit.h"

namespace vortiquo {

// The dimensions of the attractor an orbit draws, from M of its points
// after the transient:
//  - the correlation dimension D₂, the slope of log C(r) against log r over
//    the scaling range (CorrelationSum.h), pairs within the Theiler window
//    left out;
//  - the box-counting dimension D₀, the slope of log N against log (1 / side)
//    of the boxes the same points occupy (BoxCounting.h).
// Each range is found automatically (ScalingFit.h) and can be moved; the
// uncertainty says how much the slope varies across it.

struct DimensionSettings {
    std::int64_t transientSteps = 0;
    std::int64_t points = 0;        // M, from MinDimensionPoints to MaxDimensionPoints
    std::int64_t spacingSteps = 1;  // steps from one point kept to the next
    std::int64_t theilerWindow = 0; // pairs of points i, j with |i − j| at most this are left out
};
inline constexpr std::int64_t MinDimensionPoints = 1000;
inline constexpr std::int64_t MaxDimensionPoints = 1'000'000;
// Beyond this many steps of the orbit in all, settings are Invalid.
inline constexpr std::int64_t MaxDimensionSteps = 1'000'000'000'000;
// What the window and the command line take unless told otherwise.
inline constexpr std::int64_t DefaultDimensionPoints = 20'000;

// The defaults of a model (Dynamics.h): its transient, a point every
// pointSpacing units of time (every step for the maps) and a Theiler window
// of theilerTime.
DimensionSettings defaultDimensionSettings(const Dynamics& dynamics, const SimulationState& state,
                                           std::int64_t points = DefaultDimensionPoints);

// The radii of the correlation sum: from a sixty-fourth of the attractor's
// size down, √2 apart. The scaling range lies below the largest (above it
// the attractor's finite size bends the curve), and only pairs closer than
// it are counted, so it also bounds the work.
inline constexpr double LargestRadiusShare = 1.0 / 64;
inline constexpr int CorrelationRadii = 33;
// Nested boxes: from the one that holds the attractor down to a side 2^-15 of it.
inline constexpr int BoxLevels = 16;

struct DimensionResult {
    Outcome outcome = Outcome::Invalid;
    // On a fault: the orbit's step that overflowed, counted from 1 at the start.
    FaultSource faultSource = FaultSource::None;
    std::int64_t faultStep = 0;
    std::int64_t points = 0;
    std::int64_t theilerWindow = 0;
    double attractorSize = 0;  // the diagonal of the points' bounding box
    CorrelationCurve correlation;
    ScalingCurve correlationCurve;  // log C(r) against log r
    ScalingFit correlationFit;      // its slope is D₂
    BoxCounts boxes;
    ScalingCurve boxCurve;  // log N against log side
    ScalingFit boxFit;      // its slope is −D₀
};

// The points the dimensions are measured on: M points of the orbit from
// `start` (its point is the orbit's first), the first after the transient
// and then one every spacingSteps steps. On a fault, `fault` gets the step.
std::vector<Point> attractorPoints(const Model& model, const SimulationState& start, const DimensionSettings& settings,
                                   const AnalysisControl& control, std::int64_t& faultStep);

// Both dimensions of a model's attractor. Same inputs, same bits.
DimensionResult attractorDimensions(const Model& model, const SimulationState& start,
                                    const DimensionSettings& settings, const AnalysisControl& control = {});

// Both dimensions of a set of points, as above from the points on.
DimensionResult dimensionsOfPoints(const std::vector<Point>& points, std::int64_t theilerWindow,
                                   const AnalysisControl& control = {});

// The dimensions a fit gives (fitScaling moves a range, findScalingRange finds one).
inline double correlationDimension(const ScalingFit& fit) { return fit.slope; }
inline double boxCountingDimension(const ScalingFit& fit) { return -fit.slope; }

}  // namespace vortiquo
