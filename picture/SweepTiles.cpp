#include "picture/SweepTiles.h"

#include <algorithm>
#include <span>

#include "analysis/ParameterSweep.h"
#include "picture/SweepPicture.h"

namespace vortiquo {

namespace {

PlaneRequest planeRequest(const SweepRecipe& recipe, const SimulationState& base)
{
    return PlaneRequest{recipe.program->model, base,          recipe.a0,        recipe.a1,         recipe.b0,
                        recipe.b1,             recipe.width,  recipe.height,    recipe.transient,  recipe.iterations};
}

OrbitDiagramRequest diagramRequest(const SweepRecipe& recipe, const SimulationState& base)
{
    return OrbitDiagramRequest{recipe.program->model,
                               base,
                               recipe.vary == 'a' ? SweepParameter::A : SweepParameter::B,
                               recipe.p0,
                               recipe.p1,
                               recipe.xLow,
                               recipe.xHigh,
                               recipe.width,
                               recipe.height,
                               recipe.transient,
                               recipe.iterations};
}

std::optional<SweepBand> planeBand(const SweepRecipe& recipe, const SimulationState& base, int threads,
                                   const AnalysisControl& control)
{
    const PlaneRequest request = planeRequest(recipe, base);
    if (!validRequest(request))
        return std::nullopt;
    SweepBand result;
    result.band = recipeBand(recipe);
    const int rows = result.band.end - result.band.first;
    const auto width = static_cast<std::size_t>(recipe.width);
    result.exponents.assign(width * static_cast<std::size_t>(rows), 0.0);
    std::span<double> exponents(result.exponents);
    const bool done = runInParallel(
        rows, threads,
        [&](int row) {
            computePlaneRows(request, result.band.first + row, 1, exponents.subspan(row * width, width));
        },
        control);
    if (!done)
        return std::nullopt;
    result.image = planeImage(result.exponents, recipe.width, rows);
    return result;
}

std::optional<SweepBand> diagramBand(const SweepRecipe& recipe, const SimulationState& base, int threads,
                                     const AnalysisControl& control)
{
    const OrbitDiagramRequest request = diagramRequest(recipe, base);
    if (!validRequest(request))
        return std::nullopt;
    SweepBand result;
    result.band = recipeBand(recipe);
    const int columns = result.band.end - result.band.first;
    std::vector<std::uint32_t> counts(static_cast<std::size_t>(columns) * recipe.height, 0);
    // Each column is counted apart and copied in, so that two threads never
    // write into the same cache lines while counting.
    const bool done = runInParallel(
        columns, threads,
        [&](int column) {
            std::vector<std::uint32_t> cells(static_cast<std::size_t>(recipe.height), 0);
            computeDiagramColumns(request, result.band.first + column, 1, cells);
            for (int row = 0; row < recipe.height; ++row)
                counts[static_cast<std::size_t>(row) * columns + column] = cells[row];
        },
        control);
    if (!done)
        return std::nullopt;
    result.image = diagramImage(counts, columns, recipe.height, recipe.iterations);
    return result;
}

}  // namespace

std::optional<SweepBand> computeSweepBand(const SweepRecipe& recipe, const SimulationState& base, int threads,
                                          const AnalysisControl& control)
{
    if (recipe.program == nullptr || recipe.program->sweep == nullptr)
        return std::nullopt;
    return recipe.kind == SweepRecipe::Kind::Plane ? planeBand(recipe, base, threads, control)
                                                   : diagramBand(recipe, base, threads, control);
}

double recipeA(const SweepRecipe& recipe, int column)
{
    return planeA(planeRequest(recipe, SimulationState{}), column);
}

double recipeB(const SweepRecipe& recipe, int row)
{
    return planeB(planeRequest(recipe, SimulationState{}), row);
}

}  // namespace vortiquo
