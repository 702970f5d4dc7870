#pragma once

#include <QImage>
#include <cstdint>
#include <optional>
#include <vector>

#include "analysis/Control.h"
#include "analysis/Dynamics.h"
#include "core/SimulationState.h"
#include "picture/SweepRecipe.h"

namespace vortiquo {

// Computes the band of a sweep that a recipe names (the whole picture, or
// one tile) with the analyses' band driver and makes its picture: the same
// on any number of threads. Called by the command line and by the
// "Esplora parametri" window, which passes a cancel flag and a progress
// callback in `control`.
struct SweepBand {
    QImage image;
    std::vector<double> exponents;  // the plane's, row by row; empty for the diagram
    Band band;                      // the rows (plane) or columns (diagram) computed
};

// The program's sweep views (the dynamics table's row), or nullptr for a
// program without sweeps.
const SweepView* sweepViewOf(const Program& program);

// `base` holds the start point and the parameter the diagram does not vary.
// None when cancelled or when the recipe cannot be computed.
std::optional<SweepBand> computeSweepBand(const SweepRecipe& recipe, const SimulationState& base, int threads,
                                          const AnalysisControl& control = {});

// The parameters of the plane's pixel (column, row) of the whole picture.
double recipeA(const SweepRecipe& recipe, int column);
double recipeB(const SweepRecipe& recipe, int row);

}  // namespace vortiquo
