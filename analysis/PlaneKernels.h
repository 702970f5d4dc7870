#pragma once

#include <cstdint>
#include <vector>

#include "analysis/Control.h"
#include "core/Model.h"
#include "core/SimulationState.h"

namespace vortiquo {

// The parameter plane's rows, computed by loops compiled once per model
// (analysis/PlaneKinds.h): one pixel at a time, or several at once in the
// SIMD lanes of the processor. Every lane does the scalar loop's operations
// in the scalar order, each one IEEE double operation, and the logarithms
// stay scalar library calls, so a pixel has the same bits on every path.

enum class PlanePath : std::uint8_t {
    Scalar,  // one pixel at a time, on any processor
    Avx2,    // 4 lanes of 256 bits
    Avx512,  // 8 lanes of 512 bits
};

const char* planePathName(PlanePath path);
// The paths this processor (and its operating system) can take, the
// scalar one first, the widest last.
const std::vector<PlanePath>& availablePlanePaths();
// The widest of them: the one the sweeps take.
PlanePath fastestPlanePath();

// One row of a plane: each pixel's start (the start point with that pixel's
// parameters), the steps, the time a step lasts (a flow's Δt, 1 for a map)
// and where each pixel's value goes.
struct PlaneRow {
    const SimulationState* starts = nullptr;
    int pixels = 0;
    std::int64_t transient = 0, measured = 0;  // measured > 0
    double stepDuration = 1;
    double* values = nullptr;
};

// Whether the model has plane kernels (each model of the suite has).
bool hasPlaneKernels(const Model& model);

// Computes every pixel of the row: the largest Lyapunov exponent by the
// tangent method, per unit of the step's duration, as planeExponent
// computes it, bit for bit. NaN: a
// step faulted; −∞: the tangent vector vanished. A path this processor
// cannot take is replaced by the scalar one. Returns false, with the row
// incomplete, when the control was cancelled (it is looked at every few
// thousand steps), or for a model without kernels.
bool computePlaneRow(const Model& model, const PlaneRow& row, PlanePath path, const AnalysisControl& control = {});

}  // namespace vortiquo
