#include "picture/Density.h"

#include <algorithm>
#include <cmath>

namespace vortiquo {

namespace {

// Counts below this are looked up by index; the rest are few, and searched.
constexpr std::uint32_t SmallCounts = 1u << 16;

std::uint8_t atLeastOne(double share)
{
    const long level = std::lround(255.0 * share);
    return static_cast<std::uint8_t>(std::clamp(level, 1L, 255L));
}

}  // namespace

DensityCanvas::DensityCanvas(int columns, int rows, double ratio)
    : grid{ratio, static_cast<double>(columns), static_cast<double>(rows)}, width(columns), height(rows),
      counts(static_cast<std::size_t>(columns) * static_cast<std::size_t>(rows), 0),
      colours(counts.size(), 0)
{
}

ToneLevels::ToneLevels(std::span<const std::uint32_t> counts, Tone tone) : tone_(tone)
{
    std::uint32_t largest = 0;
    for (std::uint32_t count : counts)
        largest = std::max(largest, count);
    if (largest == 0)
        return;
    if (tone == Tone::log) {
        logLargest_ = std::log1p(static_cast<double>(largest));
        logSmall_.resize(std::min<std::uint32_t>(largest, SmallCounts - 1) + 1);
        for (std::size_t count = 1; count < logSmall_.size(); ++count)
            logSmall_[count] = atLeastOne(std::log1p(static_cast<double>(count)) / logLargest_);
        return;
    }
    atMostSmall_.assign(std::min<std::uint32_t>(largest, SmallCounts - 1) + 1, 0);
    for (std::uint32_t count : counts) {
        if (count == 0)
            continue;
        ++lit_;
        if (count < atMostSmall_.size())
            ++atMostSmall_[count];
        else
            largeCounts_.push_back(count);
    }
    for (std::size_t count = 1; count < atMostSmall_.size(); ++count)
        atMostSmall_[count] += atMostSmall_[count - 1];
    std::sort(largeCounts_.begin(), largeCounts_.end());
}

std::uint8_t ToneLevels::level(std::uint32_t count) const
{
    if (count == 0)
        return 0;
    return tone_ == Tone::log ? logLevel(count) : equalizedLevel(count);
}

std::uint8_t ToneLevels::logLevel(std::uint32_t count) const
{
    if (count < logSmall_.size())
        return logSmall_[count];
    return atLeastOne(std::log1p(static_cast<double>(count)) / logLargest_);
}

std::uint8_t ToneLevels::equalizedLevel(std::uint32_t count) const
{
    std::size_t atMost = 0;
    if (count < atMostSmall_.size()) {
        atMost = atMostSmall_[count];
    } else {
        atMost = atMostSmall_.empty() ? 0 : atMostSmall_.back();
        atMost += static_cast<std::size_t>(std::upper_bound(largeCounts_.begin(), largeCounts_.end(), count) -
                                           largeCounts_.begin());
    }
    return atLeastOne(static_cast<double>(atMost) / static_cast<double>(lit_));
}

std::uint32_t blendPixel(std::uint32_t colour, std::uint32_t background, std::uint32_t level)
{
    std::uint32_t pixel = 0xFF000000u;
    for (int shift : {16, 8, 0})
        pixel |= blendChannel((colour >> shift) & 0xFFu, (background >> shift) & 0xFFu, level) << shift;
    return pixel;
}

void toneDensity(const DensityCanvas& canvas, Tone tone, std::uint32_t background, std::uint32_t* pixels,
                 std::ptrdiff_t pixelsPerRow)
{
    const ToneLevels levels(canvas.counts, tone);
    const std::uint32_t opaqueBackground = 0xFF000000u | (background & 0xFFFFFFu);
    for (int row = 0; row < canvas.height; ++row) {
        const std::size_t first = static_cast<std::size_t>(row) * static_cast<std::size_t>(canvas.width);
        std::uint32_t* out = pixels + row * pixelsPerRow;
        for (int column = 0; column < canvas.width; ++column) {
            const std::size_t at = first + static_cast<std::size_t>(column);
            const std::uint32_t count = canvas.counts[at];
            out[column] = count == 0 ? opaqueBackground
                                     : blendPixel(canvas.colours[at], background, levels.level(count));
        }
    }
}

void averageBlocks(const std::uint32_t* large, std::ptrdiff_t largePerRow, int factor, int width, int height,
                   std::uint32_t* small, std::ptrdiff_t smallPerRow)
{
    const std::uint32_t area = static_cast<std::uint32_t>(factor * factor);
    for (int row = 0; row < height; ++row) {
        for (int column = 0; column < width; ++column) {
            std::uint32_t sums[3] = {0, 0, 0};
            for (int down = 0; down < factor; ++down) {
                const std::uint32_t* in = large + (row * factor + down) * largePerRow + column * factor;
                for (int across = 0; across < factor; ++across) {
                    sums[0] += (in[across] >> 16) & 0xFFu;
                    sums[1] += (in[across] >> 8) & 0xFFu;
                    sums[2] += in[across] & 0xFFu;
                }
            }
            std::uint32_t pixel = 0xFF000000u;
            pixel |= ((sums[0] + area / 2) / area) << 16;
            pixel |= ((sums[1] + area / 2) / area) << 8;
            pixel |= (sums[2] + area / 2) / area;
            small[row * smallPerRow + column] = pixel;
        }
    }
}

}  // namespace vortiquo
