#include "engine/SweepTiles.h"

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
    SweepBand result;
    result.band = recipeBand(recipe);
    const int rows = result.band.end - result.band.first;
    if (computePlaneBand(planeRequest(recipe, base), result.band.first, rows, threads, result.exponents, control) !=
        Outcome::Finished)
        return std::nullopt;
    result.image = planeImage(result.exponents, recipe.width, rows);
    return result;
}

std::optional<SweepBand> diagramBand(const SweepRecipe& recipe, const SimulationState& base, int threads,
                                     const AnalysisControl& control)
{
    SweepBand result;
    result.band = recipeBand(recipe);
    const int columns = result.band.end - result.band.first;
    std::vector<std::uint32_t> counts;
    if (computeDiagramBand(diagramRequest(recipe, base), result.band.first, columns, threads, counts, control) !=
        Outcome::Finished)
        return std::nullopt;
    result.image = diagramImage(counts, columns, recipe.height, recipe.iterations);
    return result;
}

}  // namespace

const SweepView* sweepViewOf(const Program& program)
{
    const Dynamics* dynamics = dynamicsOf(*program.model);
    return dynamics == nullptr ? nullptr : dynamics->sweep;
}

std::optional<SweepBand> computeSweepBand(const SweepRecipe& recipe, const SimulationState& base, int threads,
                                          const AnalysisControl& control)
{
    if (recipe.program == nullptr || sweepViewOf(*recipe.program) == nullptr)
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
