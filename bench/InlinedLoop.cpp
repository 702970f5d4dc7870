#include "bench/InlinedLoop.h"

#include <cmath>

namespace vortiquo {

namespace {

// A colour band's component, clamped to a channel.
inline int band(double value, double low, double high)
{
    if (value <= low)
        return 0;
    if (value > high)
        return 255;
    const int component = static_cast<int>(std::floor((255.0 * (value - low)) / (high - low)));
    return component < 0 ? 0 : component > 255 ? 255 : component;
}

}  // namespace

std::int64_t inlinedConvectionRun(const SimulationState& start, const InlinedPicture& picture,
                                  std::int64_t steps)
{
    const double a = start.a, b = start.b, c = start.c, dt = start.dt;
    const double cosine = start.cosAlpha, sine = start.sinAlpha;
    const double width = start.plotWidth, height = start.plotHeight;
    const double columns = picture.columns, rows = picture.rows;
    // Which of the bands of x, y and z feeds red, green and blue.
    static constexpr int Orders[6][3] = {{2, 0, 1}, {2, 1, 0}, {1, 0, 2}, {1, 2, 0}, {0, 1, 2}, {0, 2, 1}};
    const int scheme = start.colourScheme < 1 ? 0 : start.colourScheme > 6 ? 5 : start.colourScheme - 1;
    const int redFrom = Orders[scheme][0], greenFrom = Orders[scheme][1], blueFrom = Orders[scheme][2];
    double x = start.x, y = start.y, z = start.z;
    std::int64_t step = 0;
    for (; step < steps; ++step) {
        const double dx = a * (y - x);
        const double dy = ((b * x) - y) - (x * z);
        const double dz = (c * z) + (x * y);
        const double xNext = x + dt * dx;
        const double yNext = y + dt * dy;
        const double zNext = z + dz * dt;
        if (!std::isfinite(xNext) || !std::isfinite(yNext) || !std::isfinite(zNext))
            break;
        const double u = cosine * yNext - sine * xNext;
        const double w = ((-sine) * yNext - sine * xNext) + zNext;
        const double screenX = std::floor(((u - -20.0) / 40.0) * width);
        const double screenY = std::floor(height - ((w - -20.0) / 100.0) * height);
        if (!(std::fabs(screenX) < 0x1.ffffffp127) || !(std::fabs(screenY) < 0x1.ffffffp127))
            break;
        const int components[3] = {band(xNext, 0, 20), band(yNext, -15, 15), band(zNext, 10, 30)};
        const double across = screenX / 15.0;
        const double down = screenY / 15.0;
        if (across >= 0.0 && across < columns && down >= 0.0 && down < rows)
            picture.pixels[static_cast<std::ptrdiff_t>(down) * picture.pixelsPerRow +
                           static_cast<std::ptrdiff_t>(across)] =
                0xFF000000u | static_cast<std::uint32_t>(components[redFrom]) << 16 |
                static_cast<std::uint32_t>(components[greenFrom]) << 8 |
                static_cast<std::uint32_t>(components[blueFrom]);
        x = xNext;
        y = yNext;
        z = zNext;
    }
    return step;
}

}  // namespace vortiquo
