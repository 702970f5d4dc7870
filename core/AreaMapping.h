#pragma once

#include <cmath>

namespace vortiquo {

// Model coordinates to drawing coordinates (twips, origin top-left, y
// downwards), in the order of operations that the pictures are defined by.

// Left to right: base at the left edge, base + span at the right edge.
inline double drawingX(double value, double base, double span, double width)
{
    return std::floor(((value - base) / span) * width);
}

// Bottom to top: base at the bottom edge, base + span at the top edge; the
// drawing's y grows downwards, so the value is flipped.
inline double drawingY(double value, double base, double span, double height)
{
    return std::floor(height - ((value - base) / span) * height);
}

// Whether a drawing coordinate fits in a float, as the drawing call needs.
// The conversion rounds to nearest: below halfway between the largest float
// and 2^128 a double becomes the largest float; from halfway on it overflows.
inline bool fitsInFloat(double coordinate)
{
    return std::fabs(coordinate) < 0x1.ffffffp127;
}

}  // namespace vortiquo
