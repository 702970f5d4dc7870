#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

#include "program/Program.h"

namespace vortiquo {

// How a sweep's picture was made, so that it can be computed again bit for
// bit: the program, the kind, the ranges, the size, the durations, the
// fields set before it (the start point, Δt, the parameters not swept) and,
// for one band of a picture computed in parts, its place. Stored as a
// versioned JSON document in a PNG text chunk.
//
// Kinds: the parameter plane and the orbit diagram (every program), the map
// of successive maxima and the section (the flows: one orbit at the fields'
// own parameters). Parameters are 'a', 'b', 'c'; coordinates 'x', 'y', 'z'.
struct SweepRecipe {
    enum class Kind : std::uint8_t { Plane, Orbits, Maxima, Section };
    const Program* program = nullptr;
    Kind kind = Kind::Plane;
    // The picture's ranges, across from left to right and up from bottom to
    // top. The plane: its two parameters'. The diagram: the varied
    // parameter's, then the recorded coordinate's. The map of maxima: Mₙ's,
    // then Mₙ₊₁'s. The section: the plane's other two coordinates, in the
    // order x, y, z. A map of maxima or a section may fit its ranges to the
    // points it finds instead (`fitted`).
    double across0 = 0, across1 = 0, up0 = 0, up1 = 0;
    bool fitted = false;
    char acrossParameter = 'a', upParameter = 'b';  // the plane's
    char vary = 'a';                                // the diagram's swept parameter
    char of = 'x';      // the coordinate recorded (diagram, maxima) or the section's plane's
    double level = 0;   // the section's plane: `of` = level
    bool upward = true;  // the section's crossings: where `of` grows, else where it falls
    int width = 0, height = 0;  // the whole picture
    // T and N in the model's unit of time: steps for a map (whole numbers),
    // units of time for a flow, converted into Euler steps at its Δt.
    double transient = 0, duration = 0;
    std::vector<std::pair<Field, QString>> edits;  // --set FIELD=TEXT, in order
    int tile = 0, tiles = 0;                       // band `tile` (from 1) of `tiles`; 0 of 0: the whole

    bool isTile() const { return tiles > 0; }
    // Whether the kind follows one orbit (the map of maxima, the section)
    // rather than one per row or column: it is never split into bands.
    bool oneOrbit() const { return kind == Kind::Maxima || kind == Kind::Section; }
    // The same recipe with no band: the whole picture's.
    SweepRecipe whole() const;
    bool sameWholeAs(const SweepRecipe& other) const;
};

// Whether a program's durations are units of time (a flow's) rather than steps.
bool timedProgram(const Program& program);

// The key of the PNG text chunk that holds a sweep's recipe.
inline constexpr char SweepRecipeKey[] = "Vortiquo sweep";
// Version 1 holds a map's plane over a and b and its diagram of x; version 2
// everything else. A recipe is written in the lowest version that holds it,
// so the maps' pictures keep their bytes, and both versions are read.
inline constexpr int SweepRecipeVersion = 2;
int sweepRecipeVersion(const SweepRecipe& recipe);
// Bounds that a recipe read from a file must keep. A flow's durations must
// also come to at most MaxSweepSteps Euler steps at its Δt, which the sweep
// checks when it starts.
inline constexpr int MaxSweepSide = 16384;
inline constexpr qint64 MaxSweepSteps = 1'000'000'000;
inline constexpr double MaxSweepTime = 1e9;
inline constexpr int MaxSweepEdits = 64;
inline constexpr int MaxSweepEditLength = 4096;

// A band of a picture split into `tiles` parts along an `extent` of rows
// (the plane) or columns (the diagram, whose columns are orbits): [first, end).
// A one-orbit kind has one band, the whole.
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
