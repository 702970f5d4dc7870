#include "analysis/OrbitEvents.h"

namespace vortiquo {

namespace {

// Steps between two looks at the cancel flag.
constexpr std::int64_t CancelEvery = 4096;

// Any model: the events need nothing but its step.
bool validRequest(const OrbitRequest& request)
{
    return request.model != nullptr && request.transient >= 0 && request.steps >= 0;
}

// Runs the transient, then calls begin() at the point it ends on, then
// visit() after each counted step until visit returns false. `state` is the
// orbit's, as the last step left it.
template <typename Begin, typename Visit>
OrbitSearch walkOrbit(const OrbitRequest& request, const AnalysisControl& control, SimulationState& state,
                      Begin begin, Visit visit)
{
    OrbitSearch search;
    if (!validRequest(request))
        return search;
    const std::int64_t total = request.transient + request.steps;
    if (request.transient == 0)
        begin();
    for (std::int64_t step = 1; step <= total; ++step) {
        if (step % CancelEvery == 0 && control.cancelled()) {
            search.outcome = Outcome::Cancelled;
            return search;
        }
        if (!advance(*request.model, state)) {
            search.outcome = Outcome::Fault;
            search.faultStep = step;
            return search;
        }
        const bool go = step < request.transient ? true : step == request.transient ? (begin(), true) : visit();
        if (!go) {
            search.outcome = Outcome::Cancelled;
            return search;
        }
    }
    search.outcome = Outcome::Finished;
    return search;
}

}  // namespace

bool crossesPlane(const SectionPlane& plane, const Tangent& p, const Tangent& q, Tangent& crossing)
{
    const auto k = static_cast<std::size_t>(plane.at);
    const double u = p[k], w = q[k], level = plane.level;
    const bool crosses = plane.upward ? (u < level && w >= level) : (u > level && w <= level);
    if (!crosses)
        return false;
    const double t = (level - u) / (w - u);
    for (std::size_t i = 0; i < 3; ++i)
        crossing[i] = i == k ? level : p[i] + t * (q[i] - p[i]);
    return true;
}

OrbitSearch orbitMaxima(const OrbitRequest& request, Coordinate recorded, const std::function<bool(double)>& found,
                        const AnalysisControl& control)
{
    SimulationState state = request.base;
    std::int64_t count = 0;
    MaximumFinder finder(0);
    OrbitSearch search = walkOrbit(
        request, control, state, [&] { finder = MaximumFinder(coordinateOf(state, recorded)); },
        [&] {
            double maximum = 0;
            if (!finder.next(coordinateOf(state, recorded), maximum))
                return true;
            ++count;
            return found(maximum);
        });
    search.found = count;
    return search;
}

OrbitSearch orbitSection(const OrbitRequest& request, const SectionPlane& plane,
                         const std::function<bool(const Tangent&)>& found, const AnalysisControl& control)
{
    if (request.model != nullptr && request.model->coordinates != 3)
        return {};  // a section's plane needs three coordinates
    SimulationState state = request.base;
    std::int64_t count = 0;
    Tangent before{};
    OrbitSearch search = walkOrbit(
        request, control, state, [&] { before = pointOf(state, 3); },
        [&] {
            const Tangent now = pointOf(state, 3);
            Tangent crossing{};
            const bool crossed = crossesPlane(plane, before, now, crossing);
            before = now;
            if (!crossed)
                return true;
            ++count;
            return found(crossing);
        });
    search.found = count;
    return search;
}

}  // namespace vortiquo
