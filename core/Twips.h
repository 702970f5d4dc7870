#pragma once

// Layouts and drawing coordinates are measured in twips, this many to a
// logical pixel.
inline constexpr int TwipsPerPixel = 15;
