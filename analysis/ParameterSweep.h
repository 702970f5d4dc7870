#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <vector>

#include "analysis/Control.h"
#include "analysis/Dynamics.h"

namespace vortiquo {

// The parameter sweeps: the orbit diagram and the parameter plane. A
// column of the diagram, or a pixel of the plane, depends only on its own
// parameters and the start point: no shared sum, no random numbers. So any
// number of threads, and any split into bands computed apart and put side by
// side, give the same bits. Images are stored row by row, row 0 at the top.
// Counts of steps are Euler steps for a flow (the window's Δt converts its
// durations: sweepSteps in analysis/Dynamics.h).

// The orbit diagram: column i runs the model with the swept parameter at the
// column's centre, p0 + ((i + ½)(p1 − p0)) / width, from the start point,
// discards `transient` steps, then records the next `points` steps: a map
// every value of the recorded coordinate, a flow its local maxima only
// (MaximumFinder in analysis/OrbitEvents.h). Each value is counted into the
// column's rows, from `low` at the bottom edge to `high` at the top. An orbit
// that escapes (a step fault) leaves the rest of its column empty.
struct OrbitDiagramRequest {
    const Model* model = nullptr;
    SimulationState base;  // the parameters not swept, Δt and the start point
    SweepParameter parameter = SweepParameter::A;
    double p0 = 0, p1 = 0;
    Coordinate recorded = Coordinate::X;
    bool maxima = false;  // the recorded coordinate's maxima, not its every value
    double low = 0, high = 0;
    int width = 0, height = 0;
    std::int64_t transient = 0, points = 0;
};

// The model's default diagram (SweepView) from the start given (the
// window's fields: fieldStart in core/FieldRules.h), its durations in steps
// at the start's Δt; none for a model without sweeps or a Δt that makes
// them more than MaxDefaultSteps.
std::optional<OrbitDiagramRequest> defaultOrbitDiagram(const Model& model, const SimulationState& window, int width,
                                                       int height);
double diagramParameter(const OrbitDiagramRequest& request, int column);
// The row a value falls in, floor(((high − value) / (high − low)) × height),
// or −1 outside the rows.
int diagramRow(const OrbitDiagramRequest& request, double value);

// The parameter plane: pixel (i, j) has the parameter `across` at
// p0 + ((i + ½)(p1 − p0)) / width and the parameter `up` at
// q1 − ((j + ½)(q1 − q0)) / height (it grows upwards); any two of the
// model's parameters, the third keeping the base's value. It holds the
// largest Lyapunov exponent by the tangent method, per step for a map and
// per unit of time for a flow (the exponent of the Euler map at the base's
// Δt), measured over `measured` steps after `transient` (through which the
// tangent already runs), from the start point. NaN: the orbit escaped (a
// step fault). −∞: the tangent vector vanished (a superstable orbit).
struct PlaneRequest {
    const Model* model = nullptr;
    SimulationState base;  // the parameter not swept, Δt and the start point
    SweepParameter across = SweepParameter::A, up = SweepParameter::B;
    double p0 = 0, p1 = 0;  // across, left edge to right edge
    double q0 = 0, q1 = 0;  // up, bottom edge to top edge
    int width = 0, height = 0;
    std::int64_t transient = 0, measured = 0;
};

std::optional<PlaneRequest> defaultPlane(const Model& model, const SimulationState& window, int width, int height);
double planeP(const PlaneRequest& request, int column);
double planeQ(const PlaneRequest& request, int row);
// One pixel's value, for the parameter across at p and the one up at q;
// NaN too when `control` was cancelled while it ran (it looks every few
// thousand steps). The one reference for what a pixel holds.
double planeExponent(const PlaneRequest& request, double p, double q, const AnalysisControl& control = {});

// Whether a request can be computed: a model with sweeps, a size of at least
// one pixel, parameters the model has (two different ones on the plane), a
// non-empty range of values, counts of steps that are not negative, and a
// flow's Δt finite and not 0.
bool validRequest(const OrbitDiagramRequest& request);
bool validRequest(const PlaneRequest& request);

// The one driver of the sweeps. A band is rows [first, first + count) of
// the plane or columns of the diagram: the whole picture, or one tile of it.
// Each row (column) is one task on `threads` threads (at least 1), and each
// task looks at the cancel flag every few thousand steps. The band's values
// go into `exponents` (count rows of width values) or `counts` (height rows
// of count cells), row by row from the top. Returns Finished, Cancelled (the
// values are then incomplete) or Invalid (a request that cannot be computed,
// or a band outside the picture: nothing computed).
Outcome computePlaneBand(const PlaneRequest& request, int firstRow, int rowCount, int threads,
                         std::vector<double>& exponents, const AnalysisControl& control = {});
//
// The diagram can also hand each column's values over, in the order they
// were found, to `columnValues`: called with the picture's column index for
// the band's columns left to right, from one thread at a time, as soon as a column and those before it
// are done. It returns false to stop the band (which then ends Cancelled).
using ColumnValues = std::function<bool(int column, std::span<const double> values)>;
Outcome computeDiagramBand(const OrbitDiagramRequest& request, int firstColumn, int columnCount, int threads,
                           std::vector<std::uint32_t>& counts, const AnalysisControl& control = {},
                           const ColumnValues& columnValues = {});

// Runs task(0) to task(count − 1) on `threads` threads, each taking the next
// index in turn, until all are done or the cancel flag is seen. Reports the
// fraction done after each task. Every thread that works, the caller's
// included, first calls control.workerStarted. Returns false when cancelled.
bool runInParallel(int count, int threads, const std::function<void(int)>& task, const AnalysisControl& control);

}  // namespace vortiquo
