#pragma once

#include <cmath>
#include <cstdint>
#include <limits>

#include "analysis/Dynamics.h"
#include "analysis/PlaneKernels.h"
#include "flows/FlowJacobians.h"
#include "flows/FlowModels.h"
#include "maps/MapJacobians.h"
#include "maps/MapModels.h"

namespace vortiquo {

// What the plane's kernels compile per model: the model's own step formula
// and the Jacobian of that step, both written once in the model family's
// headers for doubles and for vectors of doubles alike. A plane kind is
//
//   struct SomePlane {
//       static constexpr int coordinates = 2;          // or 3
//       template <class S> static void next(S& s);     // xNext, yNext (zNext)
//       template <class S, class N> static void tangent(const S& s, N& v0, N& v1, N& v2);
//   };
//
// and the loops below, and the lanes of analysis/PlaneLanes.h, take the
// kind as a template argument, so the step and the Jacobian are inline in
// them. The maps leave v2 alone: their tangent has two components.

struct RecurrencePlane {
    static constexpr int coordinates = 2;
    template <class S> static void next(S& s) { recurrenceNext(s); }
    template <class S, class N> static void tangent(const S& s, N& v0, N& v1, N&) { recurrenceTangent(s, v0, v1); }
};

struct QuadraticPlane {
    static constexpr int coordinates = 2;
    template <class S> static void next(S& s) { quadraticNext(s); }
    template <class S, class N> static void tangent(const S& s, N& v0, N& v1, N&) { quadraticTangent(s, v0, v1); }
};

struct ConvectionPlane {
    static constexpr int coordinates = 3;
    template <class S> static void next(S& s)
    {
        convectionDerivative(s);
        eulerNext(s);
    }
    template <class S, class N> static void tangent(const S& s, N& v0, N& v1, N& v2)
    {
        convectionTangent(s, v0, v1, v2);
    }
};

struct SpiralPlane {
    static constexpr int coordinates = 3;
    template <class S> static void next(S& s)
    {
        spiralDerivative(s);
        eulerNext(s);
    }
    template <class S, class N> static void tangent(const S& s, N& v0, N& v1, N& v2) { spiralTangent(s, v0, v1, v2); }
};

namespace planeDetail {

// Steps between two looks at the cancel flag.
constexpr std::int64_t CancelEvery = 4096;

// The step after `step` (0: the pixel's start) at which the tangent vector is
// next measured and renormalised: 16 steps on, or sooner at the end of the
// transient or of the measurement. Its size leaving [1e-100, 1e100] brings
// it forward.
inline std::int64_t nextRenormalisation(std::int64_t step, std::int64_t transient, std::int64_t steps)
{
    std::int64_t next = step + 16;
    if (step < transient && transient < next)
        next = transient;
    return next < steps ? next : steps;
}

// The size the vector is watched by: |v0| + |v1| (+ |v2|).
inline double tangentSize(double v0, double v1, double v2, int coordinates)
{
    double size = std::fabs(v0) + std::fabs(v1);
    if (coordinates == 3)
        size = size + std::fabs(v2);
    return size;
}

inline bool sizeInRange(double size) { return size > 1e-100 && size < 1e100; }

// Divides the vector by its length and returns the length.
inline double renormalise(double& v0, double& v1, double& v2, int coordinates)
{
    const double norm = length(Tangent{v0, v1, v2}, coordinates);
    const double inverse = 1.0 / norm;
    v0 = v0 * inverse;
    v1 = v1 * inverse;
    v2 = v2 * inverse;
    return norm;
}

// The exponent of a sum of logarithms over `measured` steps of a duration
// each. A vector that vanished leaves −∞, then NaN, in the sum: nothing
// stretches it again.
inline double exponentOf(double sum, std::int64_t measured, double duration)
{
    if (!std::isfinite(sum))
        return -std::numeric_limits<double>::infinity();
    return sum / (static_cast<double>(measured) * duration);
}

}  // namespace planeDetail

// One pixel on one orbit at a time: the reference the lanes are held to.
// NaN when a step faults, or when the control is cancelled (it looks every
// few thousand steps).
template <class Kind>
double scalarPlanePixel(SimulationState state, std::int64_t transient, std::int64_t measured, double duration,
                        const AnalysisControl& control)
{
    using namespace planeDetail;
    constexpr int coordinates = Kind::coordinates;
    const std::int64_t steps = transient + measured;
    double v0 = 1.0, v1 = 0.0, v2 = 0.0;
    double sum = 0;
    std::int64_t renormaliseAt = nextRenormalisation(0, transient, steps);
    for (std::int64_t step = 1; step <= steps; ++step) {
        Kind::tangent(state, v0, v1, v2);
        if (step % CancelEvery == 0 && control.cancelled())
            return std::numeric_limits<double>::quiet_NaN();
        Kind::next(state);
        if (!(std::isfinite(state.xNext) && std::isfinite(state.yNext) &&
              (coordinates == 2 || std::isfinite(state.zNext))))
            return std::numeric_limits<double>::quiet_NaN();
        commitNext(Kind{}, state);
        if (step == renormaliseAt || !sizeInRange(tangentSize(v0, v1, v2, coordinates))) {
            const double norm = renormalise(v0, v1, v2, coordinates);
            if (step > transient)
                sum += std::log(norm);
            renormaliseAt = nextRenormalisation(step, transient, steps);
        }
    }
    return exponentOf(sum, measured, duration);
}

// The kernels of a row, each compiled per kind: false when cancelled.
template <class Kind>
bool planeRowInScalar(const PlaneRow& row, const AnalysisControl& control)
{
    for (int pixel = 0; pixel < row.pixels; ++pixel) {
        row.values[pixel] =
            scalarPlanePixel<Kind>(row.starts[pixel], row.transient, row.measured, row.stepDuration, control);
        if (control.cancelled())
            return false;
    }
    return true;
}
template <class Kind>
bool planeRowInAvx2(const PlaneRow& row, const AnalysisControl& control);  // analysis/PlaneLanesAvx2.cpp
template <class Kind>
bool planeRowInAvx512(const PlaneRow& row, const AnalysisControl& control);  // analysis/PlaneLanesAvx512.cpp

}  // namespace vortiquo
