#include "engine/SweepTiles.h"

#include <algorithm>
#include <cmath>

#include "picture/SweepPicture.h"

namespace vortiquo {

namespace {

const Dynamics& dynamicsOfRecipe(const SweepRecipe& recipe)
{
    return *dynamicsOf(*recipe.program->model);
}

// The recipe's durations in steps at the base's Δt; −1 where they would be
// more than MaxSweepSteps or a step lasts no time.
std::int64_t stepsOf(const SweepRecipe& recipe, const SimulationState& base, double duration)
{
    return sweepSteps(dynamicsOfRecipe(recipe), base, duration, MaxSweepSteps);
}

PlaneRequest planeRequest(const SweepRecipe& recipe, const SimulationState& base)
{
    PlaneRequest request;
    request.model = recipe.program->model;
    request.base = base;
    request.across = sweepParameter(recipe.acrossParameter);
    request.up = sweepParameter(recipe.upParameter);
    request.p0 = recipe.across0, request.p1 = recipe.across1;
    request.q0 = recipe.up0, request.q1 = recipe.up1;
    request.width = recipe.width, request.height = recipe.height;
    request.transient = stepsOf(recipe, base, recipe.transient);
    request.measured = stepsOf(recipe, base, recipe.duration);
    return request;
}

OrbitDiagramRequest diagramRequest(const SweepRecipe& recipe, const SimulationState& base)
{
    OrbitDiagramRequest request;
    request.model = recipe.program->model;
    request.base = base;
    request.parameter = sweepParameter(recipe.vary);
    request.p0 = recipe.across0, request.p1 = recipe.across1;
    request.recorded = sweepCoordinate(recipe.of);
    request.maxima = dynamicsOfRecipe(recipe).timed;  // a flow's points are its maxima
    request.low = recipe.up0, request.high = recipe.up1;
    request.width = recipe.width, request.height = recipe.height;
    request.transient = stepsOf(recipe, base, recipe.transient);
    request.points = stepsOf(recipe, base, recipe.duration);
    return request;
}

OrbitRequest orbitRequest(const SweepRecipe& recipe, const SimulationState& base)
{
    return OrbitRequest{recipe.program->model, base, stepsOf(recipe, base, recipe.transient),
                        stepsOf(recipe, base, recipe.duration)};
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
    result.image = planeImage(result.exponents, recipe.width, rows, sweepViewOf(*recipe.program)->colourScale);
    return result;
}

std::optional<SweepBand> diagramBand(const SweepRecipe& recipe, const SimulationState& base, int threads,
                                     const AnalysisControl& control, const ColumnValues& columnValues)
{
    SweepBand result;
    result.band = recipeBand(recipe);
    const int columns = result.band.end - result.band.first;
    std::vector<std::uint32_t> counts;
    if (computeDiagramBand(diagramRequest(recipe, base), result.band.first, columns, threads, counts, control,
                           columnValues) != Outcome::Finished)
        return std::nullopt;
    // A map's column is shaded against the points it counts; a flow's,
    // whose maxima come a few per ten units of time, against one maximum
    // per ten units of time. Either is fixed by the recipe, so that a band
    // is shaded as in the whole picture.
    const bool timed = dynamicsOfRecipe(recipe).timed;
    const auto reference = std::max<std::int64_t>(1, std::llround(timed ? recipe.duration / 10 : recipe.duration));
    result.image = diagramImage(counts, columns, recipe.height, reference);
    return result;
}

// The column a value falls in, of `columns` from `low` at the left edge to
// `high` at the right, and the row, of `rows` from `high` at the top to
// `low` at the bottom (as the diagram's rows); −1 outside.
int columnOf(double value, double low, double high, int columns)
{
    const double column = std::floor(((value - low) / (high - low)) * columns);
    return column >= 0 && column < columns ? static_cast<int>(column) : -1;
}

int rowOf(double value, double low, double high, int rows)
{
    const double row = std::floor(((high - value) / (high - low)) * rows);
    return row >= 0 && row < rows ? static_cast<int>(row) : -1;
}

// The points of one orbit's picture, as pairs (across, up).
using PointSink = std::function<bool(double across, double up)>;

OrbitSearch orbitPoints(const SweepRecipe& recipe, const SimulationState& base, const PointSink& point,
                        const AnalysisControl& control)
{
    if (recipe.kind == SweepRecipe::Kind::Maxima) {
        bool first = true;
        double before = 0;
        return recipeMaxima(
            recipe, base,
            [&](double maximum) {
                const bool go = first || point(before, maximum);
                first = false;
                before = maximum;
                return go;
            },
            control);
    }
    const Coordinate at = sweepCoordinate(recipe.of);
    const std::size_t across = at == Coordinate::X ? 1 : 0;
    const std::size_t up = at == Coordinate::Z ? 1 : 2;
    return recipeSection(
        recipe, base, [&](const Tangent& crossing) { return point(crossing[across], crossing[up]); }, control);
}

// The smallest and largest of the points, widened by a twentieth each way
// (a single value by a twentieth of its size, or of 1).
void fitRanges(const SweepRecipe& recipe, const SimulationState& base, SweepBand& result,
               const AnalysisControl& control)
{
    double lowAcross = INFINITY, highAcross = -INFINITY, lowUp = INFINITY, highUp = -INFINITY;
    orbitPoints(recipe, base,
                [&](double across, double up) {
                    lowAcross = std::min(lowAcross, across), highAcross = std::max(highAcross, across);
                    lowUp = std::min(lowUp, up), highUp = std::max(highUp, up);
                    return true;
                },
                control);
    if (recipe.kind == SweepRecipe::Kind::Maxima) {  // one scale on both axes: the diagonal stays a diagonal
        lowAcross = lowUp = std::min(lowAcross, lowUp);
        highAcross = highUp = std::max(highAcross, highUp);
    }
    const auto widen = [](double low, double high, double& from, double& to) {
        if (!(low <= high))
            low = high = 0;  // no points: any range will do
        const double margin = high > low ? (high - low) / 20 : std::max(std::fabs(low), 1.0) / 20;
        from = low - margin;
        to = high + margin;
    };
    widen(lowAcross, highAcross, result.across0, result.across1);
    widen(lowUp, highUp, result.up0, result.up1);
}

std::optional<SweepBand> orbitBand(const SweepRecipe& recipe, const SimulationState& base,
                                   const AnalysisControl& control)
{
    SweepBand result;
    result.band = recipeBand(recipe);
    result.across0 = recipe.across0, result.across1 = recipe.across1;
    result.up0 = recipe.up0, result.up1 = recipe.up1;
    if (recipe.fitted)
        fitRanges(recipe, base, result, control);
    std::vector<std::uint32_t> counts(static_cast<std::size_t>(recipe.width) * recipe.height, 0);
    const OrbitSearch search = orbitPoints(
        recipe, base,
        [&](double across, double up) {
            const int column = columnOf(across, result.across0, result.across1, recipe.width);
            const int row = rowOf(up, result.up0, result.up1, recipe.height);
            if (column >= 0 && row >= 0) {
                std::uint32_t& cell = counts[static_cast<std::size_t>(row) * recipe.width + column];
                cell += cell < UINT32_MAX ? 1 : 0;
            }
            return true;
        },
        control);
    if (search.outcome != Outcome::Finished && search.outcome != Outcome::Fault)
        return std::nullopt;
    result.found = search.found;
    result.faultStep = search.outcome == Outcome::Fault ? search.faultStep : 0;
    result.image = pointsImage(counts, recipe.width, recipe.height);
    return result;
}

}  // namespace

const SweepView* sweepViewOf(const Program& program)
{
    const Dynamics* dynamics = dynamicsOf(*program.model);
    return dynamics == nullptr ? nullptr : dynamics->sweep;
}

QString sweepProblem(const SweepRecipe& recipe, const SimulationState& base)
{
    if (recipe.program == nullptr || sweepViewOf(*recipe.program) == nullptr)
        return QStringLiteral("questo programma non esplora i parametri");
    if (stepsOf(recipe, base, recipe.transient) < 0 || stepsOf(recipe, base, recipe.duration) < 0)
        return QStringLiteral("con Δt = %1 le durate chiedono più di %2 passi, o un passo non dura nulla; "
                              "scegliete durate più brevi o un Δt più grande")
            .arg(QString::number(base.dt, 'g', 17))
            .arg(MaxSweepSteps);
    if (recipe.kind == SweepRecipe::Kind::Plane && stepsOf(recipe, base, recipe.duration) == 0)
        return QStringLiteral("la durata misurata è meno di un passo: sceglietela più lunga");
    return {};
}

std::optional<SweepBand> computeSweepBand(const SweepRecipe& recipe, const SimulationState& base, int threads,
                                          const AnalysisControl& control, const ColumnValues& columnValues)
{
    if (!sweepProblem(recipe, base).isEmpty())
        return std::nullopt;
    std::optional<SweepBand> band;
    switch (recipe.kind) {
    case SweepRecipe::Kind::Plane: band = planeBand(recipe, base, threads, control); break;
    case SweepRecipe::Kind::Orbits: band = diagramBand(recipe, base, threads, control, columnValues); break;
    case SweepRecipe::Kind::Maxima:
    case SweepRecipe::Kind::Section: return orbitBand(recipe, base, control);
    }
    if (band) {
        band->across0 = recipe.across0, band->across1 = recipe.across1;
        band->up0 = recipe.up0, band->up1 = recipe.up1;
    }
    return band;
}

OrbitSearch recipeMaxima(const SweepRecipe& recipe, const SimulationState& base,
                         const std::function<bool(double)>& found, const AnalysisControl& control)
{
    return orbitMaxima(orbitRequest(recipe, base), sweepCoordinate(recipe.of), found, control);
}

OrbitSearch recipeSection(const SweepRecipe& recipe, const SimulationState& base,
                          const std::function<bool(const Tangent&)>& found, const AnalysisControl& control)
{
    const SectionPlane plane{sweepCoordinate(recipe.of), recipe.level, recipe.upward};
    return orbitSection(orbitRequest(recipe, base), plane, found, control);
}

double recipeAcross(const SweepRecipe& recipe, int column)
{
    return planeP(planeRequest(recipe, SimulationState{}), column);
}

double recipeUp(const SweepRecipe& recipe, int row)
{
    return planeQ(planeRequest(recipe, SimulationState{}), row);
}

SweepParameter sweepParameter(char letter)
{
    return letter == 'c' ? SweepParameter::C : letter == 'b' ? SweepParameter::B : SweepParameter::A;
}

Coordinate sweepCoordinate(char letter)
{
    return letter == 'z' ? Coordinate::Z : letter == 'y' ? Coordinate::Y : Coordinate::X;
}

}  // namespace vortiquo
