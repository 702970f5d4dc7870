#pragma once

#include <cstdint>

namespace vortiquo {

// The colours of the sweeps' pictures, as 0xAARRGGBB words (opaque).

// The parameter plane's diverging map: a negative exponent (a periodic
// orbit) in cool blues, a positive one (chaos) in warm oranges, both darkest
// near 0 and fully saturated at |λ| ≥ scale, the intensity growing as the
// square root of |λ| / scale so that small exponents still show. An escaped
// orbit (NaN) is mid grey; −∞ is the deepest blue.
inline constexpr double ExponentColourScale = 1.0;
std::uint32_t exponentColour(double exponent, double scale = ExponentColourScale);

// The orbit diagram's shading: dark ink on white, by the logarithm of the
// count relative to the image's largest, so that a single hit shows faintly
// and the densest cell is black. A count of 0 is white.
std::uint32_t densityShade(std::uint32_t count, std::uint32_t maxCount);
// One orbit's points (maxima, crossings), thin curves of single hits: as
// densityShade, but a single hit is already half way to black.
std::uint32_t pointShade(std::uint32_t count, std::uint32_t maxCount);

}  // namespace vortiquo
