#include "flows/FlowModels.h"

#include "core/AreaMapping.h"

#include <cmath>

namespace {

bool allFinite(double first, double second, double third)
{
    return std::isfinite(first) && std::isfinite(second) && std::isfinite(third);
}

// One explicit Euler step from the derivative already in dx, dy, dz.
bool eulerUpdate(SimulationState& s)
{
    s.xNext = s.x + s.dt * s.dx;
    s.yNext = s.y + s.dt * s.dy;
    s.zNext = s.z + s.dz * s.dt;
    return allFinite(s.xNext, s.yNext, s.zNext);
}

}  // namespace

bool convectionStep(SimulationState& s)
{
    s.dx = s.a * (s.y - s.x);
    s.dy = ((s.b * s.x) - s.y) - (s.x * s.z);
    s.dz = (s.c * s.z) + (s.x * s.y);
    return eulerUpdate(s);
}

bool spiralStep(SimulationState& s)
{
    s.dx = -(s.y + s.z);
    s.dy = s.x + (s.a * s.y);
    s.dz = ((s.x * s.z) - (s.c * s.z)) + s.b;
    return eulerUpdate(s);
}

bool plotFlowPoint(const FlowView& view, SimulationState& s, PlotPoint& point)
{
    const double cosine = s.cosAlpha;
    const double sine = s.sinAlpha;
    const double u = cosine * s.yNext - sine * s.xNext;
    const double w = ((-sine) * s.yNext - sine * s.xNext) + s.zNext;
    const double width = s.plotWidth;
    const double height = s.plotHeight;
    const double screenX = drawingX(u, view.u0, view.uSpan, width);
    const double screenY = drawingY(w, view.w0, view.wSpan, height);
    if (!std::isfinite(screenX) || !std::isfinite(screenY))
        return false;
    s.screenX = screenX;
    s.screenY = screenY;
    if (!fitsInFloat(screenX) || !fitsInFloat(screenY))
        return false;
    point.x = screenX;
    point.y = screenY;
    applyColourScheme(s.colourScheme, bandComponent(s.xNext, view.bandX),
                      bandComponent(s.yNext, view.bandY), bandComponent(s.zNext, view.bandZ), point);
    return true;
}

const Model ConvectionFlow = {
    convectionStep,
    [](SimulationState& s, PlotPoint& p) { return plotFlowPoint(ConvectionView, s, p); },
    3,
};

const Model SpiralFlow = {
    spiralStep,
    [](SimulationState& s, PlotPoint& p) { return plotFlowPoint(SpiralView, s, p); },
    3,
};
