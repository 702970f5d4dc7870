#pragma once

#include <cmath>

#include "core/AreaMapping.h"
#include "core/ColourScheme.h"
#include "core/Model.h"

namespace vortiquo {

// The flows' arithmetic is inline: the run loops compile it, with the plot
// and the pixel, into one body per flow (core/ModelKind.h).

// The flows' Euler steps, in the grouping that reproduces the reference
// results bit for bit. The formulas take any state whose members are doubles
// or vectors of doubles: a run steps one orbit, the parameter plane several
// orbits at once in SIMD lanes, with the same operations.
template <typename State>
inline void convectionDerivative(State& s)
{
    s.dx = s.a * (s.y - s.x);
    s.dy = ((s.b * s.x) - s.y) - (s.x * s.z);
    s.dz = (s.c * s.z) + (s.x * s.y);
}

template <typename State>
inline void spiralDerivative(State& s)
{
    s.dx = -(s.y + s.z);
    s.dy = s.x + (s.a * s.y);
    s.dz = ((s.x * s.z) - (s.c * s.z)) + s.b;
}

// One explicit Euler step from the derivative already in dx, dy, dz.
template <typename State>
inline void eulerNext(State& s)
{
    s.xNext = s.x + s.dt * s.dx;
    s.yNext = s.y + s.dt * s.dy;
    s.zNext = s.z + s.dz * s.dt;
}

namespace flowDetail {

inline bool eulerUpdate(SimulationState& s)
{
    eulerNext(s);
    return std::isfinite(s.xNext) && std::isfinite(s.yNext) && std::isfinite(s.zNext);
}

}  // namespace flowDetail

// The steps of a run; false when a result is not finite.
inline bool convectionStep(SimulationState& s)
{
    convectionDerivative(s);
    return flowDetail::eulerUpdate(s);
}

inline bool spiralStep(SimulationState& s)
{
    spiralDerivative(s);
    return flowDetail::eulerUpdate(s);
}

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
inline bool plotFlowPoint(const FlowView& view, SimulationState& s, PlotPoint& point)
{
    const double cosine = s.cosAlpha;
    const double sine = s.sinAlpha;
    const double u = cosine * s.yNext - sine * s.xNext;
    const double w = ((-sine) * s.yNext - sine * s.xNext) + s.zNext;
    const double width = s.plotWidth;
    const double height = s.plotHeight;
    const double screenX = drawingX(u, view.u0, view.uSpan, width);
    const double screenY = drawingY(w, view.w0, view.wSpan, height);
    // A coordinate that fits a float is finite, so the usual case needs one
    // test each. A finite coordinate is kept even when it faults.
    if (!fitsInFloat(screenX) || !fitsInFloat(screenY)) {
        if (std::isfinite(screenX) && std::isfinite(screenY)) {
            s.screenX = screenX;
            s.screenY = screenY;
        }
        return false;
    }
    s.screenX = screenX;
    s.screenY = screenY;
    point.x = screenX;
    point.y = screenY;
    applyColourScheme(s.colourScheme, bandComponent(s.xNext, view.bandX),
                      bandComponent(s.yNext, view.bandY), bandComponent(s.zNext, view.bandZ), point);
    return true;
}

// The two flows as model kinds (core/ModelKind.h).
struct ConvectionKind {
    static constexpr int coordinates = 3;
    static bool StepModel(SimulationState& s) { return convectionStep(s); }
    static bool PlotStep(SimulationState& s, PlotPoint& p) { return plotFlowPoint(ConvectionView, s, p); }
};

struct SpiralKind {
    static constexpr int coordinates = 3;
    static bool StepModel(SimulationState& s) { return spiralStep(s); }
    static bool PlotStep(SimulationState& s, PlotPoint& p) { return plotFlowPoint(SpiralView, s, p); }
};

extern const Model ConvectionFlow;
extern const Model SpiralFlow;

}  // namespace vortiquo
