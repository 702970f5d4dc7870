#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "core/Model.h"

namespace vortiquo {

// The colour arithmetic of every plotted point. It is inline because the run
// loops compile it into their one body with the step and the pixel.

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
inline int bandComponent(double value, const ColourBand& band)
{
    if (value <= band.low)
        return 0;
    if (value > band.high)
        return 255;
    const double difference = value - band.base;
    const double scaled = 255.0 * difference;
    const double quotient = scaled / band.span;
    // The floor as a whole number. Between the bounds the quotient is far
    // inside the range of an int, so truncating it and stepping down past a
    // negative fraction gives the same number as std::floor, at a fraction of
    // its cost on the run's every point.
    const int truncated = static_cast<int>(quotient);
    return truncated > quotient ? truncated - 1 : truncated;
}

namespace colourDetail {

inline std::uint8_t channel(int component)
{
    return static_cast<std::uint8_t>(std::clamp(component, 0, 255));
}

// Which component (0 first, 1 second, 2 third) feeds red, green and blue.
struct ChannelOrder {
    int red, green, blue;
};

inline constexpr ChannelOrder SchemeOrders[6] = {
    {2, 0, 1},  // 1
    {2, 1, 0},  // 2
    {1, 0, 2},  // 3
    {1, 2, 0},  // 4
    {0, 1, 2},  // 5
    {0, 2, 1},  // 6
};

}  // namespace colourDetail

// Assigns the first, second and third component to red, green and blue as the
// colour scheme (1 to 6) says. Components outside 0 to 255 are clamped.
inline void applyColourScheme(std::int16_t scheme, int first, int second, int third, PlotPoint& point)
{
    const int components[3] = {first, second, third};
    const int index = std::clamp<int>(scheme, 1, 6) - 1;
    const colourDetail::ChannelOrder& order = colourDetail::SchemeOrders[index];
    point.red = colourDetail::channel(components[order.red]);
    point.green = colourDetail::channel(components[order.green]);
    point.blue = colourDetail::channel(components[order.blue]);
}

}  // namespace vortiquo
