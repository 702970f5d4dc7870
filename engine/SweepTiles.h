#pragma once

#include <QImage>
#include <QString>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "analysis/Control.h"
#include "analysis/Dynamics.h"
#include "analysis/OrbitEvents.h"
#include "analysis/ParameterSweep.h"
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
    std::vector<double> exponents;  // the plane's, row by row; empty for the other kinds
    Band band;                      // the rows (plane, one orbit) or columns (diagram) computed
    // The ranges the picture spans: the recipe's, or those a fitted one found.
    double across0 = 0, across1 = 0, up0 = 0, up1 = 0;
    // One orbit's: the maxima or crossings found, and the step it
    // overflowed at (0: it did not); what came before a fault is drawn.
    std::int64_t found = 0;
    std::int64_t faultStep = 0;
};

// The program's sweep views (the dynamics table's row), or nullptr for a
// program without sweeps.
const SweepView* sweepViewOf(const Program& program);

// Why a recipe cannot be computed from `base` (its Δt makes the durations
// too many steps, or none), in Italian; empty when it can.
QString sweepProblem(const SweepRecipe& recipe, const SimulationState& base);

// `base` holds the start point, Δt and the parameters not swept. None when
// cancelled or when the recipe cannot be computed. A diagram also hands each
// column's values to `columnValues`, in order (computeDiagramBand).
std::optional<SweepBand> computeSweepBand(const SweepRecipe& recipe, const SimulationState& base, int threads,
                                          const AnalysisControl& control = {}, const ColumnValues& columnValues = {});

// One orbit's maxima (a Maxima recipe) or crossings (a Section recipe)
// handed over in order as they are found, with none kept in memory.
OrbitSearch recipeMaxima(const SweepRecipe& recipe, const SimulationState& base,
                         const std::function<bool(double)>& found, const AnalysisControl& control = {});
OrbitSearch recipeSection(const SweepRecipe& recipe, const SimulationState& base,
                          const std::function<bool(const Tangent&)>& found, const AnalysisControl& control = {});

// The plane's parameters at column `column` and row `row` of the whole
// picture; the diagram's parameter at a column.
double recipeAcross(const SweepRecipe& recipe, int column);
double recipeUp(const SweepRecipe& recipe, int row);

// The letters of the recipe as the analyses name them.
SweepParameter sweepParameter(char letter);
Coordinate sweepCoordinate(char letter);

}  // namespace vortiquo
