#pragma once

#include <QImage>
#include <QString>
#include <cstdint>
#include <optional>
#include <span>

#include "picture/SweepRecipe.h"

namespace vortiquo {

// The pictures of the parameter sweeps, one pixel for each point computed:
// the plane's pixel (i, j) is its exponent's colour, the diagram's cell its
// count's shade, and one orbit's points (maxima, crossings) a count's shade. A pixel depends on nothing but its own value, so bands
// computed apart and put side by side give the whole picture's pixels.

// `rows` rows of a plane `width` wide, row 0 at the top, its colours
// saturated at |λ| ≥ scale.
QImage planeImage(std::span<const double> exponents, int width, int rows, double scale);
// `columns` columns of a diagram `height` high. A cell's shade is its count
// against the points each column counts, not against the picture's largest
// count, so that a band is shaded as in the whole picture.
QImage diagramImage(std::span<const std::uint32_t> counts, int columns, int height, std::int64_t points);
// The points of one orbit's picture (the map of maxima, the section):
// `height` rows of `width` counts, shaded against the picture's largest.
QImage pointsImage(std::span<const std::uint32_t> counts, int width, int height);
// The plane's colour bar, λ from −scale at the bottom to +scale at the top,
// with an escaped orbit's grey in the lowest tenth.
QImage colourBar(int width, int height, double scale);

// The Italian summary of a sweep for the Description chunk.
QString describeSweep(const SweepRecipe& recipe);

// Writes a sweep's picture (a whole one, or the band of a tile) with its
// Software, Description and recipe chunks, atomically; the reason in
// Italian on failure, else an empty string.
QString writeSweepPicture(const QString& path, const QImage& image, const SweepRecipe& recipe);

// A sweep's picture read back from untrusted bytes: the recipe checked whole
// and the image the size of the band that the recipe names.
struct SweepPicture {
    QImage image;
    SweepRecipe recipe;
};
std::optional<SweepPicture> readSweepPicture(const QString& path, const Program& program, QString& error);

}  // namespace vortiquo
