#pragma once

#include <cstdint>

#include "core/Model.h"

// A colour band turns one coordinate into a component: 0 at or below the low
// bound, 255 above the high bound, and in between the floor of
// 255 * (v - base) / span.
struct ColourBand {
    double low, high, base, span;
};

// A band whose base and span are its own bounds.
constexpr ColourBand bandFromBounds(double low, double high)
{
    return {low, high, low, high - low};
}

// The raw component of a band; it may lie outside 0 to 255 where the base
// and span do not match the bounds.
int bandComponent(double value, const ColourBand& band);

// Assigns the first, second and third component to red, green and blue as the
// colour scheme (1 to 6) says. Components outside 0 to 255 are clamped.
void applyColourScheme(std::int16_t scheme, int first, int second, int third, PlotPoint& point);
