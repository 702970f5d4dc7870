#include "analysis/ParameterSweep.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <limits>
#include <mutex>
#include <thread>

#include "analysis/PlaneKernels.h"

namespace vortiquo {

namespace {

const SweepView* sweepOf(const Model* model)
{
    const Dynamics* dynamics = model == nullptr ? nullptr : dynamicsOf(*model);
    return dynamics == nullptr ? nullptr : dynamics->sweep;
}

// A parameter at the centre of cell `index` of `cells` between p0 and p1.
double cellCentre(double p0, double p1, int index, int cells)
{
    return p0 + ((index + 0.5) * (p1 - p0)) / cells;
}

void setParameter(SimulationState& state, SweepParameter parameter, double value)
{
    (parameter == SweepParameter::A ? state.a : state.b) = value;
}

// A band of `count` rows or columns from `first`, inside `extent`.
bool validBand(int first, int count, int extent)
{
    return first >= 0 && count > 0 && count <= extent - first;
}

bool validSize(int width, int height)
{
    return width > 0 && height > 0 && static_cast<std::int64_t>(width) * height <= std::int64_t{1} << 31;
}

// Steps between two looks at the cancel flag inside one pixel or column.
constexpr std::int64_t CancelEvery = 4096;

bool cancelledAt(std::int64_t step, const AnalysisControl& control)
{
    return step % CancelEvery == 0 && control.cancelled();
}

// Column `column` of the diagram into cells[row], one cell a row.
void diagramColumn(const OrbitDiagramRequest& request, int column, std::uint32_t* cells,
                   const AnalysisControl& control)
{
    SimulationState state = request.base;
    setParameter(state, request.parameter, diagramParameter(request, column));
    for (std::int64_t step = 0; step < request.transient; ++step)
        if (cancelledAt(step, control) || !advance(*request.model, state))
            return;
    for (std::int64_t point = 0; point < request.points; ++point) {
        if (cancelledAt(point, control) || !advance(*request.model, state))
            return;
        const int row = diagramRow(request, state.x);
        if (row >= 0) {
            std::uint32_t& cell = cells[row];
            if (cell != std::numeric_limits<std::uint32_t>::max())
                ++cell;
        }
    }
}

}  // namespace

std::optional<OrbitDiagramRequest> defaultOrbitDiagram(const Model& model, const SimulationState& window, int width,
                                                       int height)
{
    const SweepView* view = sweepOf(&model);
    if (view == nullptr)
        return std::nullopt;
    return OrbitDiagramRequest{&model,       window, view->diagramParameter, view->p0, view->p1,
                               view->xLow,   view->xHigh,             width,                  height,   view->transient,
                               view->points};
}

double diagramParameter(const OrbitDiagramRequest& request, int column)
{
    return cellCentre(request.p0, request.p1, column, request.width);
}

int diagramRow(const OrbitDiagramRequest& request, double x)
{
    const double row = std::floor(((request.xHigh - x) / (request.xHigh - request.xLow)) * request.height);
    return row >= 0 && row < request.height ? static_cast<int>(row) : -1;
}

std::optional<PlaneRequest> defaultPlane(const Model& model, const SimulationState& window, int width, int height)
{
    const SweepView* view = sweepOf(&model);
    if (view == nullptr)
        return std::nullopt;
    return PlaneRequest{&model, window, view->a0,      view->a1,      view->b0,
                        view->b1, width,                 height,        view->transient, view->measured};
}

double planeA(const PlaneRequest& request, int column)
{
    return cellCentre(request.a0, request.a1, column, request.width);
}

double planeB(const PlaneRequest& request, int row)
{
    return request.b1 - ((row + 0.5) * (request.b1 - request.b0)) / request.height;
}

double planeExponent(const PlaneRequest& request, double a, double b, const AnalysisControl& control)
{
    const Dynamics& dynamics = *dynamicsOf(*request.model);
    const int coordinates = request.model->coordinates;
    SimulationState state = request.base;
    state.a = a;
    state.b = b;
    // The tangent vector's length is taken, and the vector renormalised,
    // only every 16 steps (sooner when its size leaves [1e-100, 1e100], and
    // at the end of the transient and of the measurement): the logarithm,
    // square root and division of each step were most of a pixel's time.
    Tangent tangent = {1.0, 0.0, 0.0};
    double sum = 0;
    int pending = 0;
    const std::int64_t steps = request.transient + request.measured;
    for (std::int64_t step = 1; step <= steps; ++step) {
        dynamics.jacobian(state, tangent);
        if (cancelledAt(step, control) || !advance(*request.model, state))
            return std::numeric_limits<double>::quiet_NaN();
        const double size = std::fabs(tangent[0]) + std::fabs(tangent[1]) + std::fabs(tangent[2]);
        if (++pending == 16 || step == request.transient || step == steps || !(size > 1e-100 && size < 1e100)) {
            const double norm = length(tangent, coordinates);
            if (step > request.transient)
                sum += std::log(norm);
            const double inverse = 1.0 / norm;
            tangent = {tangent[0] * inverse, tangent[1] * inverse, tangent[2] * inverse};
            pending = 0;
        }
    }
    // A vector that vanished leaves −∞, then NaN, in the sum: nothing stretches it again.
    if (!std::isfinite(sum))
        return -std::numeric_limits<double>::infinity();
    return sum / static_cast<double>(request.measured);
}

bool validRequest(const OrbitDiagramRequest& request)
{
    return sweepOf(request.model) != nullptr && validSize(request.width, request.height) &&
           request.xLow < request.xHigh && std::isfinite(request.xHigh - request.xLow) && request.transient >= 0 &&
           request.points >= 0;
}

bool validRequest(const PlaneRequest& request)
{
    return sweepOf(request.model) != nullptr && validSize(request.width, request.height) && request.transient >= 0 &&
           request.measured > 0;
}

Outcome computeDiagramBand(const OrbitDiagramRequest& request, int firstColumn, int columnCount, int threads,
                           std::vector<std::uint32_t>& counts, const AnalysisControl& control)
{
    counts.clear();
    if (!validRequest(request) || !validBand(firstColumn, columnCount, request.width))
        return Outcome::Invalid;
    counts.assign(static_cast<std::size_t>(columnCount) * request.height, 0);
    // Each column is counted apart and then copied in, so that two threads
    // never write into the same cache lines while counting.
    const bool done = runInParallel(
        columnCount, threads,
        [&](int column) {
            std::vector<std::uint32_t> cells(static_cast<std::size_t>(request.height), 0);
            diagramColumn(request, firstColumn + column, cells.data(), control);
            for (int row = 0; row < request.height; ++row)
                counts[static_cast<std::size_t>(row) * columnCount + column] = cells[row];
        },
        control);
    return done ? Outcome::Finished : Outcome::Cancelled;
}

Outcome computePlaneBand(const PlaneRequest& request, int firstRow, int rowCount, int threads,
                         std::vector<double>& exponents, const AnalysisControl& control)
{
    exponents.clear();
    if (!validRequest(request) || !validBand(firstRow, rowCount, request.height))
        return Outcome::Invalid;
    const auto width = static_cast<std::size_t>(request.width);
    exponents.assign(width * static_cast<std::size_t>(rowCount), std::numeric_limits<double>::quiet_NaN());
    const bool done = runInParallel(
        rowCount, threads,
        [&](int row) {
            // The row's pixels start from the same point, each with its own parameters.
            const double b = planeB(request, firstRow + row);
            std::vector<SimulationState> starts(width, request.base);
            for (int column = 0; column < request.width; ++column) {
                starts[column].a = planeA(request, column);
                starts[column].b = b;
            }
            double* values = exponents.data() + static_cast<std::size_t>(row) * width;
            computePlaneRow(*request.model, {starts.data(), request.width, request.transient, request.measured, values},
                            fastestPlanePath(), control);
        },
        control);
    return done ? Outcome::Finished : Outcome::Cancelled;
}

bool runInParallel(int count, int threads, const std::function<void(int)>& task, const AnalysisControl& control)
{
    std::atomic<int> next = 0;
    std::atomic<bool> stopped = false;
    std::mutex reporting;
    int done = 0;
    const auto work = [&] {
        control.startWorker();
        for (;;) {
            if (control.cancelled()) {
                stopped = true;
                return;
            }
            const int index = next.fetch_add(1);
            if (index >= count)
                return;
            task(index);
            if (control.cancelled()) {
                stopped = true;  // the task may have stopped short
                return;
            }
            const std::lock_guard lock(reporting);
            control.report(static_cast<double>(++done) / count);
        }
    };
    std::vector<std::thread> workers;
    for (int worker = 1; worker < std::clamp(threads, 1, std::max(count, 1)); ++worker)
        workers.emplace_back(work);
    work();
    for (std::thread& worker : workers)
        worker.join();
    return !stopped;
}

}  // namespace vortiquo
