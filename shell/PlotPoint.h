#pragma once

#include <cstdint>

// One coloured point for the drawing area: drawing coordinates in twips
// (whole numbers, origin top-left, y downwards) and a colour.
struct PlotPoint {
    double x = 0;
    double y = 0;
    std::uint8_t red = 0, green = 0, blue = 0;
};
