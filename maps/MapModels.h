#pragma once

#include <cmath>
#include <cstdint>
#include <limits>

#include "core/AreaMapping.h"
#include "core/ColourScheme.h"
#include "core/Model.h"

namespace vortiquo {

// The maps' arithmetic is inline: the run loops compile it, with the plot
// and the pixel, into one body per map (core/ModelKind.h).

// One application of each map, in the grouping that reproduces the
// reference results bit for bit. The formulas take any state whose members
// are doubles or vectors of doubles: a run steps one orbit, the parameter
// plane several orbits at once in SIMD lanes, with the same operations.
template <typename State>
inline void recurrenceNext(State& s)
{
    s.xNext = (s.a * s.x) + s.y;
    s.yNext = s.b + (s.x * s.x);
}

template <typename State>
inline void quadraticNext(State& s)
{
    s.xNext = (s.y + 1.0) - (s.a * (s.x * s.x));
    s.yNext = s.b * s.x;
}

// The steps of a run; false when a result is not finite.
inline bool recurrenceStep(SimulationState& s)
{
    recurrenceNext(s);
    return std::isfinite(s.xNext) && std::isfinite(s.yNext);
}

inline bool quadraticStep(SimulationState& s)
{
    quadraticNext(s);
    return std::isfinite(s.xNext) && std::isfinite(s.yNext);
}

// The view of a map: the rectangle mapped onto the drawing area and the
// colour bands of x and y.
struct MapView {
    double x0, xSpan;  // x from x0 at the left edge to x0 + xSpan at the right
    double y0, ySpan;  // y from y0 at the bottom edge to y0 + ySpan at the top
    ColourBand bandX, bandY;
};

// The recurrence map's bands are scaled from a base other than their low bound.
inline constexpr MapView RecurrenceView = {-2, 4, -2, 4, {0, 20, -2, 22}, {-15, 15, -2, 4}};
inline constexpr MapView QuadraticView = {-1.5, 3, -0.5, 1,
                                          bandFromBounds(-1.5, 1.5), bandFromBounds(-0.5, 0.5)};

// Maps the next point onto the area and colours it (the third component is
// 0). Returns false on an arithmetic fault, including a vertical coordinate
// outside the 16-bit signed range.
inline bool plotMapPoint(const MapView& view, const SimulationState& s, PlotPoint& point)
{
    const double width = s.plotWidth;
    const double height = s.plotHeight;
    const double horizontal = drawingX(s.xNext, view.x0, view.xSpan, width);
    const double vertical = drawingY(s.yNext, view.y0, view.ySpan, height);
    // The vertical coordinate must fit 16 bits; the horizontal one only needs
    // a single-precision form.
    if (!(vertical >= std::numeric_limits<std::int16_t>::min() &&
          vertical <= std::numeric_limits<std::int16_t>::max()))
        return false;
    if (!fitsInFloat(horizontal))
        return false;
    point.x = horizontal;
    point.y = vertical;
    applyColourScheme(s.colourScheme, bandComponent(s.xNext, view.bandX),
                      bandComponent(s.yNext, view.bandY), 0, point);
    return true;
}

// The two maps as model kinds (core/ModelKind.h).
struct RecurrenceKind {
    static constexpr int coordinates = 2;
    static bool StepModel(SimulationState& s) { return recurrenceStep(s); }
    static bool PlotStep(SimulationState& s, PlotPoint& p) { return plotMapPoint(RecurrenceView, s, p); }
};

struct QuadraticKind {
    static constexpr int coordinates = 2;
    static bool StepModel(SimulationState& s) { return quadraticStep(s); }
    static bool PlotStep(SimulationState& s, PlotPoint& p) { return plotMapPoint(QuadraticView, s, p); }
};

extern const Model RecurrenceMap;
extern const Model QuadraticMap;

}  // namespace vortiquo
