#pragma once

#include <climits>
#include <cstddef>
#include <cstdint>

#include "core/Model.h"
#include "core/Twips.h"

namespace vortiquo {

// Where drawing coordinates (twips) land on a grid of device pixels, K of
// them to a logical pixel of 15 twips (TwipsPerPixel): column floor(X·K/15),
// row floor(Y·K/15). The window at device pixel ratio K and the renderer at
// scale K use this one expression, so that scale 1 is the window bit for bit.
struct PixelGrid {
    double ratio = 1;
    double columns = 0, rows = 0;

    // False for a point outside the grid, which is simply not drawn.
    bool locate(double x, double y, int& column, int& row) const
    {
        constexpr double twips = TwipsPerPixel;
        const double across = (x * ratio) / twips;
        const double down = (y * ratio) / twips;
        if (!(across >= 0.0 && across < columns && down >= 0.0 && down < rows))
            return false;
        column = static_cast<int>(across);
        row = static_cast<int>(down);
        return true;
    }
};

// The pixel word of a drawn point: opaque, 0xAARRGGBB. A pixel that no point
// has reached stays 0, transparent, so the background shows through it.
inline std::uint32_t opaquePixel(const PlotPoint& point)
{
    return 0xFF000000u | (std::uint32_t{point.red} << 16) | (std::uint32_t{point.green} << 8) |
           std::uint32_t{point.blue};
}

// Points set into a block of 32-bit pixels that someone else owns.
struct Raster {
    PixelGrid grid;
    std::uint32_t* pixels = nullptr;
    std::ptrdiff_t pixelsPerRow = 0;

    // Sets the pixel the point falls on and says which; false for a point
    // outside, which is not drawn.
    bool setPixel(const PlotPoint& point, int& column, int& row)
    {
        if (!grid.locate(point.x, point.y, column, row))
            return false;
        pixels[row * pixelsPerRow + column] = opaquePixel(point);
        return true;
    }

    void setPoint(const PlotPoint& point)
    {
        int column = 0, row = 0;
        setPixel(point, column, row);
    }
};

// The smallest rectangle of pixels holding every pixel added since it was
// last emptied.
struct DirtyRect {
    int left = INT_MAX, top = INT_MAX, right = INT_MIN, bottom = INT_MIN;

    bool empty() const { return left > right; }
    void add(int column, int row)
    {
        if (column < left) left = column;
        if (column > right) right = column;
        if (row < top) top = row;
        if (row > bottom) bottom = row;
    }
};

// The window's picture: points set into its pixels, and the rectangle they
// have touched since the screen was last refreshed, which is all it repaints.
struct TrackedRaster {
    Raster raster;
    DirtyRect dirty;

    void setPoint(const PlotPoint& point)
    {
        int column = 0, row = 0;
        if (raster.setPixel(point, column, row))
            dirty.add(column, row);
    }
};

}  // namespace vortiquo
