#include "picture/PlaneColours.h"

#include <algorithm>
#include <cmath>

namespace vortiquo {

namespace {

struct Rgb {
    double red, green, blue;
};

constexpr Rgb NearZero = {16, 16, 20};
constexpr Rgb Periodic = {40, 140, 255};
constexpr Rgb Chaotic = {255, 170, 30};
constexpr std::uint32_t Escaped = 0xff808080u;

std::uint32_t channel(double value)
{
    return static_cast<std::uint32_t>(std::lround(std::clamp(value, 0.0, 255.0)));
}

std::uint32_t opaque(double red, double green, double blue)
{
    return 0xff000000u | channel(red) << 16 | channel(green) << 8 | channel(blue);
}

}  // namespace

std::uint32_t exponentColour(double exponent, double scale)
{
    if (std::isnan(exponent))
        return Escaped;
    const double share = std::sqrt(std::min(std::fabs(exponent) / scale, 1.0));
    const Rgb& end = exponent < 0 ? Periodic : Chaotic;
    return opaque(NearZero.red + share * (end.red - NearZero.red),
                  NearZero.green + share * (end.green - NearZero.green),
                  NearZero.blue + share * (end.blue - NearZero.blue));
}

std::uint32_t densityShade(std::uint32_t count, std::uint32_t maxCount)
{
    if (count == 0 || maxCount == 0)
        return 0xffffffffu;
    const double share =
        std::min(std::log1p(static_cast<double>(count)) / std::log1p(static_cast<double>(maxCount)), 1.0);
    const double grey = 255.0 * (1.0 - share);
    return opaque(grey, grey, grey);
}

std::uint32_t pointShade(std::uint32_t count, std::uint32_t maxCount)
{
    if (count == 0 || maxCount == 0)
        return 0xffffffffu;
    const double share =
        std::min(std::log1p(static_cast<double>(count)) / std::log1p(static_cast<double>(maxCount)), 1.0);
    const double grey = 255.0 * (0.5 - 0.5 * share);
    return opaque(grey, grey, grey);
}

}  // namespace vortiquo
