#pragma once

#include <cstdint>
#include <functional>
#include <limits>

#include "analysis/Control.h"
#include "analysis/Dynamics.h"

namespace vortiquo {

// What a flow's orbit is turned into when it is read as a map: the local
// maxima of one coordinate, and the crossings of a plane. Both are read off
// the Euler iterates the program computes, nothing in between.

// The local maxima of a sequence of iterates u0, u1, u2, ...: u_k is a
// maximum when u_k > u_(k−1) and u_k ≥ u_(k+1). Its value is the iterate's
// own, the number the program computed: no curve is fitted through the
// neighbours, so a maximum is exactly reproducible from the iterates alone.
// (The first iterate is never one: it has no neighbour before it.)
class MaximumFinder {
public:
    explicit MaximumFinder(double first) : current_(first) {}
    // Takes the next iterate; true when the one before it was a maximum,
    // whose value goes into `maximum`.
    bool next(double value, double& maximum)
    {
        const bool peak = current_ > before_ && current_ >= value;
        if (peak)
            maximum = current_;
        before_ = current_;
        current_ = value;
        return peak;
    }

private:
    double before_ = std::numeric_limits<double>::quiet_NaN();  // compares false: no maximum yet
    double current_;
};

// A section's plane: coordinate `at` = `level`, crossed in one direction.
struct SectionPlane {
    Coordinate at = Coordinate::Z;
    double level = 0;
    bool upward = true;  // crossings where the coordinate grows, else where it falls
};

// Whether the step from point p to point q crosses the plane in its
// direction: upward, p's coordinate u below the level V and q's w at or
// above it; downward, u above V and w at or below it. The crossing point is
// then the one straight interpolation between p and q, t = (V − u) / (w − u),
// each other coordinate p_i + t·(q_i − p_i), and the plane's own coordinate
// exactly V.
bool crossesPlane(const SectionPlane& plane, const Tangent& p, const Tangent& q, Tangent& crossing);

// One orbit from a start: `transient` steps discarded, then `steps` steps
// searched.
struct OrbitRequest {
    const Model* model = nullptr;
    SimulationState base;  // the parameters, Δt and the start point
    std::int64_t transient = 0, steps = 0;
};

// How the search of an orbit ended. A fault (the orbit overflowed) keeps
// what was found before it; `faultStep` counts the transient too.
struct OrbitSearch {
    Outcome outcome = Outcome::Invalid;
    std::int64_t faultStep = 0;
    std::int64_t found = 0;  // maxima or crossings handed over
};

// Hands each maximum of `recorded` over to `found`, in order; `found`
// returns false to stop the search (which then ends Cancelled).
OrbitSearch orbitMaxima(const OrbitRequest& request, Coordinate recorded, const std::function<bool(double)>& found,
                        const AnalysisControl& control = {});
// Hands each crossing of the plane over to `found`, in order.
OrbitSearch orbitSection(const OrbitRequest& request, const SectionPlane& plane,
                         const std::function<bool(const Tangent&)>& found, const AnalysisControl& control = {});

}  // namespace vortiquo
