#include "maps/MapModels.h"

#include "core/AreaMapping.h"

#include <cmath>
#include <cstdint>
#include <limits>

bool recurrenceStep(SimulationState& s)
{
    s.xNext = (s.a * s.x) + s.y;
    s.yNext = s.b + (s.x * s.x);
    return std::isfinite(s.xNext) && std::isfinite(s.yNext);
}

bool quadraticStep(SimulationState& s)
{
    s.xNext = (s.y + 1.0) - (s.a * (s.x * s.x));
    s.yNext = s.b * s.x;
    return std::isfinite(s.xNext) && std::isfinite(s.yNext);
}

bool plotMapPoint(const MapView& view, const SimulationState& s, PlotPoint& point)
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

const Model RecurrenceMap = {
    recurrenceStep,
    [](SimulationState& s, PlotPoint& p) { return plotMapPoint(RecurrenceView, s, p); },
    2,
};

const Model QuadraticMap = {
    quadraticStep,
    [](SimulationState& s, PlotPoint& p) { return plotMapPoint(QuadraticView, s, p); },
    2,
};
