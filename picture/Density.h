#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "core/Raster.h"

namespace vortiquo {

// A density picture: how many points landed on each device pixel, shown as
// brightness, in the colour the points picture gives that pixel (the last
// point that landed there). Counting and toning are integer work here, free
// of Qt, so that a density picture is the same bit for bit everywhere.

// How counts become brightness.
enum class Tone : std::uint8_t {
    log,       // log(1 + count) / log(1 + largest count)
    equalize,  // the share of lit pixels with at most this count
};

// How a picture is made from its points: the points as drawn, or their
// density; `supersample` S draws S times larger and averages S×S blocks of
// the final colours down.
struct PictureLook {
    bool density = false;
    Tone tone = Tone::log;
    int supersample = 1;

    // The picture the window shows, which the fast path of the renderer draws.
    bool plain() const { return !density && supersample == 1; }
    bool operator==(const PictureLook&) const = default;
};

inline constexpr int MostSupersample = 4;

// One more hit, stopping at the largest count rather than wrapping to 0.
template <typename Count>
inline void countOneMore(Count& count)
{
    if (count != static_cast<Count>(~Count{0}))
        ++count;
}

// Points counted per device pixel, with the colour of the last one there.
struct DensityCanvas {
    PixelGrid grid;
    int width = 0, height = 0;
    std::vector<std::uint32_t> counts;   // row by row, 0 where no point landed
    std::vector<std::uint32_t> colours;  // 0xRRGGBB of the last point there

    DensityCanvas() = default;
    DensityCanvas(int columns, int rows, double ratio);

    void setPoint(const PlotPoint& point)
    {
        int column = 0, row = 0;
        if (!grid.locate(point.x, point.y, column, row))
            return;
        const std::size_t at = static_cast<std::size_t>(row) * static_cast<std::size_t>(width) +
                               static_cast<std::size_t>(column);
        countOneMore(counts[at]);
        colours[at] = opaquePixel(point) & 0xFFFFFFu;
    }
};

// The opacity, 0 to 255, that each count takes under a tone, for counts as
// they stand: level(count) is 0 for 0 and at least 1 for a lit pixel.
class ToneLevels {
public:
    ToneLevels(std::span<const std::uint32_t> counts, Tone tone);
    std::uint8_t level(std::uint32_t count) const;

private:
    std::uint8_t logLevel(std::uint32_t count) const;
    std::uint8_t equalizedLevel(std::uint32_t count) const;

    Tone tone_;
    double logLargest_ = 0;
    // Equalisation: lit pixels with at most a count, for small counts by
    // index and for the rare large ones in a sorted list.
    std::vector<std::uint32_t> atMostSmall_;
    std::vector<std::uint32_t> largeCounts_;
    std::size_t lit_ = 0;
    // Logarithm levels of small counts, worked out once.
    std::vector<std::uint8_t> logSmall_;
};

// One channel of colour drawn at `level` of 255 over the background:
// (colour·level + background·(255 − level)) / 255, to nearest.
inline std::uint32_t blendChannel(std::uint32_t colour, std::uint32_t background, std::uint32_t level)
{
    return (colour * level + background * (255u - level) + 127u) / 255u;
}
std::uint32_t blendPixel(std::uint32_t colour, std::uint32_t background, std::uint32_t level);

// The density toned and drawn over the background (0xRRGGBB) into opaque
// 0xFFRRGGBB pixels, `pixelsPerRow` apart.
void toneDensity(const DensityCanvas& canvas, Tone tone, std::uint32_t background, std::uint32_t* pixels,
                 std::ptrdiff_t pixelsPerRow);

// Averages every `factor`×`factor` block of opaque pixels into one, each
// channel rounded to nearest: `width`×`height` are the small picture's.
void averageBlocks(const std::uint32_t* large, std::ptrdiff_t largePerRow, int factor, int width, int height,
                   std::uint32_t* small, std::ptrdiff_t smallPerRow);

}  // namespace vortiquo
