#include "MapModels.h"

#include "AreaMapping.h"

#include <cmath>
#include <cstdint>
#include <limits>

bool RecurrenceStep(SimulationState& s)
{
    s.xNext = (s.a * s.x) + s.y;
    s.yNext = s.b + (s.x * s.x);
    return std::isfinite(s.xNext) && std::isfinite(s.yNext);
}

bool QuadraticStep(SimulationState& s)
{
    s.xNext = (s.y + 1.0) - (s.a * (s.x * s.x));
    s.yNext = s.b * s.x;
    return std::isfinite(s.xNext) && std::isfinite(s.yNext);
}

bool PlotMapPoint(const MapView& view, const SimulationState& s, PlotPoint& point)
{
    const double width = s.plotWidth;
    const double height = s.plotHeight;
    const double horizontal = AcrossArea(s.xNext, view.x0, view.xSpan, width);
    const double vertical = DownArea(s.yNext, view.y0, view.ySpan, height);
    // The vertical coordinate must fit 16 bits; the horizontal one only needs
    // a single-precision form.
    if (!(vertical >= std::numeric_limits<std::int16_t>::min() &&
          vertical <= std::numeric_limits<std::int16_t>::max()))
        return false;
    if (!HasSingleForm(horizontal))
        return false;
    point.x = horizontal;
    point.y = vertical;
    ApplyColourScheme(s.colourScheme, BandComponent(s.xNext, view.bandX),
                      BandComponent(s.yNext, view.bandY), 0, point);
    return true;
}

const Model RecurrenceMap = {
    RecurrenceStep,
    [](SimulationState& s, PlotPoint& p) { return PlotMapPoint(RecurrenceView, s, p); },
    2,
};

const Model QuadraticMap = {
    QuadraticStep,
    [](SimulationState& s, PlotPoint& p) { return PlotMapPoint(QuadraticView, s, p); },
    2,
};
