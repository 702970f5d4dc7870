#include "FlowModels.h"

#include "AreaMapping.h"

#include <cmath>

namespace {

bool AllFinite(double first, double second, double third)
{
    return std::isfinite(first) && std::isfinite(second) && std::isfinite(third);
}

// One explicit Euler step from the derivative already in dx, dy, dz.
bool EulerUpdate(SimulationState& s)
{
    s.xNext = s.x + s.dt * s.dx;
    s.yNext = s.y + s.dt * s.dy;
    s.zNext = s.z + s.dz * s.dt;
    return AllFinite(s.xNext, s.yNext, s.zNext);
}

}  // namespace

bool ConvectionStep(SimulationState& s)
{
    s.dx = s.a * (s.y - s.x);
    s.dy = ((s.b * s.x) - s.y) - (s.x * s.z);
    s.dz = (s.c * s.z) + (s.x * s.y);
    return EulerUpdate(s);
}

bool SpiralStep(SimulationState& s)
{
    s.dx = -(s.y + s.z);
    s.dy = s.x + (s.a * s.y);
    s.dz = ((s.x * s.z) - (s.c * s.z)) + s.b;
    return EulerUpdate(s);
}

bool PlotFlowPoint(const FlowView& view, SimulationState& s, PlotPoint& point)
{
    const double c = s.cosAlpha;
    const double sine = s.sinAlpha;
    const double u = c * s.yNext - sine * s.xNext;
    const double w = ((-sine) * s.yNext - sine * s.xNext) + s.zNext;
    const double width = s.plotWidth;
    const double height = s.plotHeight;
    const double screenX = AcrossArea(u, view.u0, view.uSpan, width);
    const double screenY = DownArea(w, view.w0, view.wSpan, height);
    if (!std::isfinite(screenX) || !std::isfinite(screenY))
        return false;
    s.screenX = screenX;
    s.screenY = screenY;
    if (!HasSingleForm(screenX) || !HasSingleForm(screenY))
        return false;
    point.x = screenX;
    point.y = screenY;
    ApplyColourScheme(s.colourScheme, BandComponent(s.xNext, view.bandX),
                      BandComponent(s.yNext, view.bandY), BandComponent(s.zNext, view.bandZ), point);
    return true;
}

const Model ConvectionFlow = {
    ConvectionStep,
    [](SimulationState& s, PlotPoint& p) { return PlotFlowPoint(ConvectionView, s, p); },
    3,
};

const Model SpiralFlow = {
    SpiralStep,
    [](SimulationState& s, PlotPoint& p) { return PlotFlowPoint(SpiralView, s, p); },
    3,
};
