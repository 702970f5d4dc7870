#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <vector>

#include "analysis/Control.h"
#include "analysis/Dynamics.h"

namespace vortiquo {

// The parameter sweeps of a map: the orbit diagram and the parameter plane.
// A column of the diagram, or a pixel of the plane, depends only on its own
// parameters and the start point: no shared sum, no random numbers. So any
// number of threads, and any split into bands computed apart and put side by
// side, give the same bits. Images are stored row by row, row 0 at the top.

// The orbit diagram: column i runs the map with the swept parameter at the
// column's centre, p0 + ((i + ½)(p1 − p0)) / width, from the start point,
// discards `transient` steps, then counts the x of the next `points` points
// into the column's rows, x from xLow at the bottom edge to xHigh at the top.
// An orbit that escapes (a step fault) leaves the rest of its column empty.
struct OrbitDiagramRequest {
    const Model* model = nullptr;
    SimulationState base;  // the fixed parameter and the start point (x, y)
    SweepParameter parameter = SweepParameter::A;
    double p0 = 0, p1 = 0;
    double xLow = 0, xHigh = 0;
    int width = 0, height = 0;
    std::int64_t transient = 0, points = 0;
};

// The model's default diagram (SweepView) from the start given (the
// window's fields: fieldStart in core/FieldRules.h); none for a model
// without sweeps.
std::optional<OrbitDiagramRequest> defaultOrbitDiagram(const Model& model, const SimulationState& window, int width,
                                                       int height);
double diagramParameter(const OrbitDiagramRequest& request, int column);
// The row x falls in, floor(((xHigh − x) / (xHigh − xLow)) × height), or −1
// outside the rows.
int diagramRow(const OrbitDiagramRequest& request, double x);
// The parameter plane: pixel (i, j) has a = a0 + ((i + ½)(a1 − a0)) / width and
// b = b1 − ((j + ½)(b1 − b0)) / height (b grows upwards), and holds the
// largest Lyapunov exponent per step by the tangent method, measured over
// `measured` steps after `transient` (through which the tangent already runs),
// from the start point. NaN: the orbit escaped (a step fault). −∞: the
// tangent vector vanished (a superstable orbit).
struct PlaneRequest {
    const Model* model = nullptr;
    SimulationState base;  // the start point (x, y)
    double a0 = 0, a1 = 0, b0 = 0, b1 = 0;
    int width = 0, height = 0;
    std::int64_t transient = 0, measured = 0;
};

std::optional<PlaneRequest> defaultPlane(const Model& model, const SimulationState& window, int width, int height);
double planeA(const PlaneRequest& request, int column);
double planeB(const PlaneRequest& request, int row);
// One pixel's value, for parameters a and b; NaN too when `control` was
// cancelled while it ran (it looks every few thousand steps).
double planeExponent(const PlaneRequest& request, double a, double b, const AnalysisControl& control = {});

// Whether a request can be computed: a model with sweeps, a size of at least
// one pixel, a non-empty x range, and counts of steps that are not negative.
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
Outcome computeDiagramBand(const OrbitDiagramRequest& request, int firstColumn, int columnCount, int threads,
                           std::vector<std::uint32_t>& counts, const AnalysisControl& control = {});

// Runs task(0) to task(count − 1) on `threads` threads, each taking the next
// index in turn, until all are done or the cancel flag is seen. Reports the
// fraction done after each task. Every thread that works, the caller's
// included, first calls control.workerStarted. Returns false when cancelled.
bool runInParallel(int count, int threads, const std::function<void(int)>& task, const AnalysisControl& control);

}  // namespace vortiquo
