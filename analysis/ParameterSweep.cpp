#include "analysis/ParameterSweep.h"

#include "analysis/OrbitEvents.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <limits>
#include <mutex>
#include <thread>

#include "analysis/PlaneKernels.h"

namespace vortiquo {

namespace {

const Dynamics* dynamicsWithSweeps(const Model* model)
{
    const Dynamics* dynamics = model == nullptr ? nullptr : dynamicsOf(*model);
    return dynamics == nullptr || dynamics->sweep == nullptr ? nullptr : dynamics;
}

// A parameter at the centre of cell `index` of `cells` between p0 and p1.
double cellCentre(double p0, double p1, int index, int cells)
{
    return p0 + ((index + 0.5) * (p1 - p0)) / cells;
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

bool hasParameter(const Dynamics& dynamics, SweepParameter parameter)
{
    return static_cast<int>(parameter) < dynamics.parameters;
}

// A flow's Euler step must last a finite, non-zero time.
bool validStep(const Dynamics& dynamics, const SimulationState& base)
{
    return !dynamics.timed || (std::isfinite(base.dt) && base.dt != 0);
}

// Steps between two looks at the cancel flag inside one pixel or column.
constexpr std::int64_t CancelEvery = 4096;

bool cancelledAt(std::int64_t step, const AnalysisControl& control)
{
    return step % CancelEvery == 0 && control.cancelled();
}

// Column `column` of the diagram: record(value) for each value it finds.
template <typename Record>
void diagramColumn(const OrbitDiagramRequest& request, int column, const AnalysisControl& control, Record record)
{
    SimulationState state = request.base;
    setParameter(state, request.parameter, diagramParameter(request, column));
    if (request.maxima) {
        orbitMaxima(OrbitRequest{request.model, state, request.transient, request.points}, request.recorded,
                    [&](double maximum) {
                        record(maximum);
                        return true;
                    },
                    control);
        return;
    }
    for (std::int64_t step = 0; step < request.transient; ++step)
        if (cancelledAt(step, control) || !advance(*request.model, state))
            return;
    for (std::int64_t point = 0; point < request.points; ++point) {
        if (cancelledAt(point, control) || !advance(*request.model, state))
            return;
        record(coordinateOf(state, request.recorded));
    }
}

void countInto(const OrbitDiagramRequest& request, double value, std::uint32_t* cells)
{
    const int row = diagramRow(request, value);
    if (row >= 0) {
        std::uint32_t& cell = cells[row];
        if (cell != std::numeric_limits<std::uint32_t>::max())
            ++cell;
    }
}

// Hands finished columns over in order: a column waits here until those
// before it are handed over.
class OrderedColumns {
public:
    // Columns first to first + count − 1 of the picture.
    OrderedColumns(int first, int count, const ColumnValues& handOver)
        : first_(first), waiting_(static_cast<std::size_t>(count)), done_(static_cast<std::size_t>(count), false),
          handOver_(handOver)
    {
    }

    void finished(int column, std::vector<double> values)
    {
        const std::lock_guard lock(mutex_);
        waiting_[static_cast<std::size_t>(column)] = std::move(values);
        done_[static_cast<std::size_t>(column)] = true;
        while (next_ < done_.size() && done_[next_] && !refused_) {
            refused_ = !handOver_(first_ + static_cast<int>(next_), waiting_[next_]);
            waiting_[next_] = {};
            ++next_;
        }
    }
    bool refused() const { return refused_; }

private:
    std::mutex mutex_;
    int first_;
    std::vector<std::vector<double>> waiting_;
    std::vector<bool> done_;
    std::size_t next_ = 0;
    std::atomic<bool> refused_ = false;
    const ColumnValues& handOver_;
};

}  // namespace

std::optional<OrbitDiagramRequest> defaultOrbitDiagram(const Model& model, const SimulationState& window, int width,
                                                       int height)
{
    const Dynamics* dynamics = dynamicsWithSweeps(&model);
    if (dynamics == nullptr)
        return std::nullopt;
    const SweepView& view = *dynamics->sweep;
    const std::int64_t transient = sweepSteps(*dynamics, window, view.diagramTransient, MaxDefaultSteps);
    const std::int64_t points = sweepSteps(*dynamics, window, view.diagramDuration, MaxDefaultSteps);
    if (transient < 0 || points < 0)
        return std::nullopt;
    const SweepSpan& values = view.valueSpans[static_cast<std::size_t>(view.recorded)];
    OrbitDiagramRequest request;
    request.model = &model;
    request.base = window;
    request.parameter = view.varied;
    request.p0 = view.variedSpan.low;
    request.p1 = view.variedSpan.high;
    request.recorded = view.recorded;
    request.maxima = dynamics->timed;  // a flow's points are its maxima
    request.low = values.low;
    request.high = values.high;
    request.width = width;
    request.height = height;
    request.transient = transient;
    request.points = points;
    return request;
}

double diagramParameter(const OrbitDiagramRequest& request, int column)
{
    return cellCentre(request.p0, request.p1, column, request.width);
}

int diagramRow(const OrbitDiagramRequest& request, double value)
{
    const double row = std::floor(((request.high - value) / (request.high - request.low)) * request.height);
    return row >= 0 && row < request.height ? static_cast<int>(row) : -1;
}

std::optional<PlaneRequest> defaultPlane(const Model& model, const SimulationState& window, int width, int height)
{
    const Dynamics* dynamics = dynamicsWithSweeps(&model);
    if (dynamics == nullptr)
        return std::nullopt;
    const SweepView& view = *dynamics->sweep;
    const std::int64_t transient = sweepSteps(*dynamics, window, view.planeTransient, MaxDefaultSteps);
    const std::int64_t measured = sweepSteps(*dynamics, window, view.planeMeasured, MaxDefaultSteps);
    if (transient < 0 || measured < 0)
        return std::nullopt;
    return PlaneRequest{&model,
                        window,
                        view.across,
                        view.up,
                        parameterSpan(view, view.across).low,
                        parameterSpan(view, view.across).high,
                        parameterSpan(view, view.up).low,
                        parameterSpan(view, view.up).high,
                        width,
                        height,
                        transient,
                        measured};
}

double planeP(const PlaneRequest& request, int column)
{
    return cellCentre(request.p0, request.p1, column, request.width);
}

double planeQ(const PlaneRequest& request, int row)
{
    return request.q1 - ((row + 0.5) * (request.q1 - request.q0)) / request.height;
}

double planeExponent(const PlaneRequest& request, double p, double q, const AnalysisControl& control)
{
    const Dynamics& dynamics = *dynamicsOf(*request.model);
    const int coordinates = request.model->coordinates;
    SimulationState state = request.base;
    setParameter(state, request.across, p);
    setParameter(state, request.up, q);
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
    // Per step for a map; per unit of time for a flow, as its exponent is
    // everywhere (analysis/Lyapunov.cpp divides the same way).
    return sum / (static_cast<double>(request.measured) * stepDuration(dynamics, state));
}

bool validRequest(const OrbitDiagramRequest& request)
{
    const Dynamics* dynamics = dynamicsWithSweeps(request.model);
    return dynamics != nullptr && validSize(request.width, request.height) &&
           hasParameter(*dynamics, request.parameter) && validStep(*dynamics, request.base) &&
           static_cast<int>(request.recorded) < request.model->coordinates && request.low < request.high &&
           std::isfinite(request.high - request.low) && request.transient >= 0 && request.points >= 0;
}

bool validRequest(const PlaneRequest& request)
{
    const Dynamics* dynamics = dynamicsWithSweeps(request.model);
    return dynamics != nullptr && validSize(request.width, request.height) &&
           hasParameter(*dynamics, request.across) && hasParameter(*dynamics, request.up) &&
           request.across != request.up && validStep(*dynamics, request.base) && request.transient >= 0 &&
           request.measured > 0;
}

Outcome computeDiagramBand(const OrbitDiagramRequest& request, int firstColumn, int columnCount, int threads,
                           std::vector<std::uint32_t>& counts, const AnalysisControl& control,
                           const ColumnValues& columnValues)
{
    counts.clear();
    if (!validRequest(request) || !validBand(firstColumn, columnCount, request.width))
        return Outcome::Invalid;
    counts.assign(static_cast<std::size_t>(columnCount) * request.height, 0);
    OrderedColumns ordered(firstColumn, columnCount, columnValues);
    // Each column is counted apart and then copied in, so that two threads
    // never write into the same cache lines while counting.
    const bool done = runInParallel(
        columnCount, threads,
        [&](int column) {
            if (ordered.refused())
                return;
            std::vector<std::uint32_t> cells(static_cast<std::size_t>(request.height), 0);
            std::vector<double> values;
            diagramColumn(request, firstColumn + column, control, [&](double value) {
                countInto(request, value, cells.data());
                if (columnValues)
                    values.push_back(value);
            });
            for (int row = 0; row < request.height; ++row)
                counts[static_cast<std::size_t>(row) * columnCount + column] = cells[row];
            if (columnValues && !control.cancelled())
                ordered.finished(column, std::move(values));
        },
        control);
    return done && !ordered.refused() ? Outcome::Finished : Outcome::Cancelled;
}

Outcome computePlaneBand(const PlaneRequest& request, int firstRow, int rowCount, int threads,
                         std::vector<double>& exponents, const AnalysisControl& control)
{
    exponents.clear();
    if (!validRequest(request) || !validBand(firstRow, rowCount, request.height))
        return Outcome::Invalid;
    const auto width = static_cast<std::size_t>(request.width);
    exponents.assign(width * static_cast<std::size_t>(rowCount), std::numeric_limits<double>::quiet_NaN());
    const double duration = stepDuration(*dynamicsOf(*request.model), request.base);
    const bool done = runInParallel(
        rowCount, threads,
        [&](int row) {
            // The row's pixels start from the same point, each with its own parameters.
            const double q = planeQ(request, firstRow + row);
            std::vector<SimulationState> starts(width, request.base);
            for (int column = 0; column < request.width; ++column) {
                setParameter(starts[column], request.across, planeP(request, column));
                setParameter(starts[column], request.up, q);
            }
            double* values = exponents.data() + static_cast<std::size_t>(row) * width;
            const PlaneRow pixels{starts.data(), request.width, request.transient, request.measured, duration, values};
            computePlaneRow(*request.model, pixels, fastestPlanePath(), control);
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
