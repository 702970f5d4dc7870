#pragma once

#include "core/ColourScheme.h"
#include "core/Model.h"

// The flows' Euler steps, in the grouping that reproduces the reference
// results bit for bit. They return false when a result is not finite.
bool convectionStep(SimulationState& state);
bool spiralStep(SimulationState& state);

// The view of a flow: the rectangle of projected coordinates mapped onto the
// drawing area, and the colour bands of x, y and z.
struct FlowView {
    double u0, uSpan;  // u from u0 at the left edge to u0 + uSpan at the right
    double w0, wSpan;  // w from w0 at the bottom edge to w0 + wSpan at the top
    ColourBand bandX, bandY, bandZ;
};

inline constexpr FlowView ConvectionView = {-20, 40, -20, 100,
                                            bandFromBounds(0, 20), bandFromBounds(-15, 15),
                                            bandFromBounds(10, 30)};
inline constexpr FlowView SpiralView = {-15, 30, -10, 40,
                                        bandFromBounds(-5, 5), bandFromBounds(-5, 5),
                                        bandFromBounds(0, 30)};

// Projects the next point through the view angle, maps it onto the area and
// colours it. Writes screenX and screenY. Returns false on an arithmetic fault.
bool plotFlowPoint(const FlowView& view, SimulationState& state, PlotPoint& point);

extern const Model ConvectionFlow;
extern const Model SpiralFlow;
