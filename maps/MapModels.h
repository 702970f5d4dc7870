#pragma once

#include "core/ColourScheme.h"
#include "core/Model.h"

// One application of each map, in the grouping that reproduces the
// reference results bit for bit. They return false when a result is not finite.
bool recurrenceStep(SimulationState& state);
bool quadraticStep(SimulationState& state);

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
bool plotMapPoint(const MapView& view, const SimulationState& state, PlotPoint& point);

extern const Model RecurrenceMap;
extern const Model QuadraticMap;
