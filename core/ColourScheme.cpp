#include "core/ColourScheme.h"

#include <algorithm>
#include <cmath>

int bandComponent(double value, const ColourBand& band)
{
    if (value <= band.low)
        return 0;
    if (value > band.high)
        return 255;
    const double difference = value - band.base;
    const double scaled = 255.0 * difference;
    return static_cast<int>(std::floor(scaled / band.span));
}

namespace {

std::uint8_t channel(int component)
{
    return static_cast<std::uint8_t>(std::clamp(component, 0, 255));
}

// Which component (0 first, 1 second, 2 third) feeds red, green and blue.
struct ChannelOrder {
    int red, green, blue;
};

constexpr ChannelOrder schemeOrders[6] = {
    {2, 0, 1},  // 1
    {2, 1, 0},  // 2
    {1, 0, 2},  // 3
    {1, 2, 0},  // 4
    {0, 1, 2},  // 5
    {0, 2, 1},  // 6
};

}  // namespace

void applyColourScheme(std::int16_t scheme, int first, int second, int third, PlotPoint& point)
{
    const int components[3] = {first, second, third};
    const int index = std::clamp<int>(scheme, 1, 6) - 1;
    const ChannelOrder& order = schemeOrders[index];
    point.red = channel(components[order.red]);
    point.green = channel(components[order.green]);
    point.blue = channel(components[order.blue]);
}
