#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

#include "program/Program.h"

namespace vortiquo {

// How a parameter plane or an orbit diagram was made, so that it can be
// computed again bit for bit: the program, the kind, the ranges, the size,
// the steps, the fields set before it (the start point, the diagram's fixed
// parameter) and, for one band of a picture computed in parts, its place.
// Stored as a versioned JSON document in a PNG text chunk.
struct SweepRecipe {
    enum class Kind : std::uint8_t { Plane, Orbits };
    const Program* program = nullptr;
    Kind kind = Kind::Plane;
    double a0 = 0, a1 = 0, b0 = 0, b1 = 0;  // the plane's ranges
    char vary = 'a';                        // the diagram's swept parameter, 'a' or 'b'
    double p0 = 0, p1 = 0;                  // its range
    double xLow = 0, xHigh = 0;             // the diagram's x, bottom to top
    int width = 0, height = 0;              // the whole picture
    qint64 transient = 0, iterations = 0;
    std::vector<std::pair<Field, QString>> edits;  // --set FIELD=TEXT, in order
    int tile = 0, tiles = 0;                       // band `tile` (from 1) of `tiles`; 0 of 0: the whole

    bool isTile() const { return tiles > 0; }
    // The same recipe with no band: the whole picture's.
    SweepRecipe whole() const;
    bool sameWholeAs(const SweepRecipe& other) const;
};

// The key of the PNG text chunk that holds a sweep's recipe.
inline constexpr char SweepRecipeKey[] = "Vortiquo sweep";
inline constexpr int SweepRecipeVersion = 1;
// Bounds that a recipe read from a file must keep.
inline constexpr int MaxSweepSide = 16384;
// The pixels of a whole picture, width times height: a plane keeps a double
// and a colour for each, so this bounds its memory, whatever the two sides.
inline constexpr qint64 MaxSweepPixels = qint64{1} << 26;
inline constexpr qint64 MaxSweepSteps = 1'000'000'000;
inline constexpr int MaxSweepEdits = 64;
inline constexpr int MaxSweepEditLength = 4096;

// A band of a picture split into `tiles` parts along an `extent` of rows
// (the plane) or columns (the diagram, whose columns are orbits): [first, end).
struct Band {
    int first = 0, end = 0;
};
Band bandOf(int tile, int tiles, int extent);
// The extent that bands split: the plane's rows, the diagram's columns.
int bandExtent(const SweepRecipe& recipe);
// The band a recipe computes: all of the extent for the whole picture.
Band recipeBand(const SweepRecipe& recipe);

QByteArray sweepRecipeToJson(const SweepRecipe& recipe);
// Reads a recipe of `program` from untrusted bytes, whole or not at all;
// on failure `error` says why, in Italian.
std::optional<SweepRecipe> sweepRecipeFromJson(const QByteArray& json, const Program& program, QString& error);

}  // namespace vortiquo
