#pragma once

namespace vortiquo {

// Layouts and drawing coordinates are measured in twips, this many to a
// logical pixel.
inline constexpr int TwipsPerPixel = 15;

}  // namespace vortiquo
