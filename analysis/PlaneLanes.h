#pragma once

// The plane's row in SIMD lanes: each lane carries one pixel's orbit and
// tangent vector through the scalar loop of analysis/PlaneKinds.h, step by
// step, all lanes in the same instruction. This file is included by one
// source file per instruction set, inside its `#pragma GCC target` region,
// so that these templates are compiled for that set only; `Lanes` is the
// set's traits, a type private to that source file:
//
//   struct Lanes {
//       using Vector = ...;                     // Width doubles
//       static constexpr int Width = ...;
//       static Vector load(const double* p);    // Width doubles, aligned to the vector
//       static void store(double* p, Vector v);
//       static Vector absolute(Vector v);
//       static Vector squareRoot(Vector v);     // correctly rounded, as std::sqrt
//       static unsigned outside(Vector size);   // bit i: !(1e-100 < size < 1e100)
//   };
//
// The lanes do the arithmetic only; every decision the scalar loop makes on
// a value (a step that is not finite, a size out of range, the steps that
// measure and renormalise) is made again in scalar code on that lane's
// values, so a lane cannot decide otherwise than the scalar loop. The
// vector tests only say when to look.

#include <cmath>
#include <cstdint>
#include <limits>

#include "analysis/PlaneKinds.h"

// Everything here has internal linkage: each including file gets its own
// copy, compiled for its own instruction set, that no other file can reach.
namespace vortiquo::planeLanes {
namespace {

// The orbit of a lane group, in the members the model formulas use.
template <class Number>
struct Orbits {
    Number x, y, z, xNext, yNext, zNext, dx, dy, dz, a, b, c, dt;
    Number v0, v1, v2;  // the tangent vector
};

// Calls f on each pair of the members two orbits share: the point, the
// parameters and the step's intermediate values (a SimulationState has them
// all), then on the tangent vectors when both have one.
template <class First, class Second, class Function>
void pairMembers(First& first, Second& second, Function f)
{
    f(first.x, second.x), f(first.y, second.y), f(first.z, second.z);
    f(first.xNext, second.xNext), f(first.yNext, second.yNext), f(first.zNext, second.zNext);
    f(first.dx, second.dx), f(first.dy, second.dy), f(first.dz, second.dz);
    f(first.a, second.a), f(first.b, second.b), f(first.c, second.c), f(first.dt, second.dt);
    if constexpr (requires { second.v0; })
        f(first.v0, second.v0), f(first.v1, second.v1), f(first.v2, second.v2);
}

// One member of every lane of Groups vectors, as plain doubles.
template <class Lanes, int Groups>
struct alignas(sizeof(typename Lanes::Vector)) LaneValues {
    double at[Groups * Lanes::Width];
};

// The scalar side of a row in lanes: which pixel each lane carries, where
// it started, when it next renormalises, its sum of logarithms, and its
// orbit as plain doubles while the lanes stand between two runs of steps.
template <class Lanes, class Kind, int Groups>
class LaneBook {
public:
    static constexpr int Width = Groups * Lanes::Width;
    using Vector = typename Lanes::Vector;
    using Values = LaneValues<Lanes, Groups>;
    static constexpr std::int64_t Idle = std::numeric_limits<std::int64_t>::max();

    explicit LaneBook(const PlaneRow& row) : row_(row), steps_(row.transient + row.measured)
    {
        for (int lane = 0; lane < Width; ++lane)
            refill(lane, 0);
    }

    unsigned active() const { return active_; }

    // The global step at which a lane next renormalises, or Idle.
    std::int64_t earliestRenormalisation() const
    {
        std::int64_t next = Idle;
        for (int lane = 0; lane < Width; ++lane)
            next = renormaliseAt_[lane] < next ? renormaliseAt_[lane] : next;
        return next;
    }

    void load(Orbits<Vector> (&lanes)[Groups]) const
    {
        for (int group = 0; group < Groups; ++group)
            pairMembers(lanes[group], values_, [group](Vector& vector, const Values& values) {
                vector = Lanes::load(values.at + group * Lanes::Width);
            });
    }

    // Stores the lanes, with every tangent vector's renormalisation done in
    // the lanes as the scalar loop does it (squares, square root, inverse,
    // products) for settle to take where it applies.
    void store(const Orbits<Vector> (&lanes)[Groups])
    {
        for (int group = 0; group < Groups; ++group) {
            const Orbits<Vector>& s = lanes[group];
            pairMembers(s, values_, [group](const Vector& vector, Values& values) {
                Lanes::store(values.at + group * Lanes::Width, vector);
            });
            Vector squares = s.v0 * s.v0 + s.v1 * s.v1;
            if constexpr (Kind::coordinates == 3)
                squares = squares + s.v2 * s.v2;
            const Vector norm = Lanes::squareRoot(squares);
            const Vector inverse = 1.0 / norm;
            double* at[] = {squares_.at, norms_.at, unit0_.at, unit1_.at, unit2_.at};
            const Vector results[] = {squares, norm, s.v0 * inverse, s.v1 * inverse, s.v2 * inverse};
            for (int result = 0; result < 5; ++result)
                Lanes::store(at[result] + group * Lanes::Width, results[result]);
        }
    }

    // After global step `step`: what the scalar loop does after that step,
    // lane by lane. A lane whose pixel ends takes the next pixel of the row.
    void settle(std::int64_t step)
    {
        using planeDetail::exponentOf, planeDetail::renormalise, planeDetail::sizeInRange, planeDetail::tangentSize;
        constexpr int coordinates = Kind::coordinates;
        for (int lane = 0; lane < Width; ++lane) {
            if ((active_ >> lane & 1u) == 0)
                continue;
            if (!finiteNext(lane)) {
                finish(lane, std::numeric_limits<double>::quiet_NaN(), step);
                continue;
            }
            double& v0 = values_.v0.at[lane];
            double& v1 = values_.v1.at[lane];
            double& v2 = values_.v2.at[lane];
            if (step != renormaliseAt_[lane] && sizeInRange(tangentSize(v0, v1, v2, coordinates)))
                continue;
            const std::int64_t local = step - origin_[lane];
            double norm = norms_.at[lane];
            if (squares_.at[lane] >= 0x1p-960 && squares_.at[lane] <= 0x1p960) {
                v0 = unit0_.at[lane];
                v1 = unit1_.at[lane];
                v2 = unit2_.at[lane];
            } else {
                norm = renormalise(v0, v1, v2, coordinates);  // by the largest component first
            }
            if (local > row_.transient)
                sums_[lane] += std::log(norm);
            if (local == steps_)
                finish(lane, exponentOf(sums_[lane], row_.measured, row_.stepDuration), step);
            else
                renormaliseAt_[lane] = origin_[lane] + planeDetail::nextRenormalisation(local, row_.transient, steps_);
        }
    }

private:
    bool finiteNext(int lane) const
    {
        return std::isfinite(values_.xNext.at[lane]) && std::isfinite(values_.yNext.at[lane]) &&
               (Kind::coordinates == 2 || std::isfinite(values_.zNext.at[lane]));
    }

    void finish(int lane, double value, std::int64_t step)
    {
        row_.values[pixel_[lane]] = value;
        refill(lane, step);
    }

    // The lane takes the row's next pixel, its first step being the one
    // after `step`; with none left it idles at a point that stays finite.
    void refill(int lane, std::int64_t step)
    {
        const bool idle = next_ >= row_.pixels;
        const SimulationState start = idle ? SimulationState{} : row_.starts[next_];
        pairMembers(values_, start, [lane](Values& values, const double& value) {
            values.at[lane] = value;
        });
        values_.v0.at[lane] = idle ? 0.0 : 1.0;
        values_.v1.at[lane] = 0.0;
        values_.v2.at[lane] = 0.0;
        sums_[lane] = 0;
        origin_[lane] = step;
        pixel_[lane] = next_;
        if (idle) {
            active_ &= ~(1u << lane);
            renormaliseAt_[lane] = Idle;
        } else {
            active_ |= 1u << lane;
            renormaliseAt_[lane] = step + planeDetail::nextRenormalisation(0, row_.transient, steps_);
            ++next_;
        }
    }

    const PlaneRow& row_;
    const std::int64_t steps_;
    int next_ = 0;  // the row's next pixel to start
    unsigned active_ = 0;
    Orbits<Values> values_{};
    Values squares_{}, norms_{}, unit0_{}, unit1_{}, unit2_{};  // each tangent vector's renormalisation
    int pixel_[Width] = {};
    std::int64_t origin_[Width] = {};  // the global step before the pixel's first
    std::int64_t renormaliseAt_[Width] = {};
    double sums_[Width] = {};
};

// One step of every lane of a vector: the Jacobian at the current point,
// the step, the next point made current. Returns the lanes that call for a
// look: a step that is not finite, or a tangent size out of range.
template <class Lanes, class Kind>
inline unsigned stepLanes(Orbits<typename Lanes::Vector>& s)
{
    Kind::tangent(s, s.v0, s.v1, s.v2);
    Kind::next(s);
    // x − x is +0 for a finite x and NaN otherwise, and a size (never
    // negative) plus +0 is the size: one test of the sum answers both.
    typename Lanes::Vector finite = (s.xNext - s.xNext) + (s.yNext - s.yNext);
    typename Lanes::Vector size = Lanes::absolute(s.v0) + Lanes::absolute(s.v1);
    if constexpr (Kind::coordinates == 3) {
        finite = finite + (s.zNext - s.zNext);
        size = size + Lanes::absolute(s.v2);
    }
    s.x = s.xNext;
    s.y = s.yNext;
    if constexpr (Kind::coordinates == 3)
        s.z = s.zNext;
    return Lanes::outside(size + finite);
}

// A map's step is a short chain of dependent operations, so two groups of
// lanes side by side hide each other's latency; a flow's step holds enough
// independent work in itself, and a second group only adds registers.
template <class Kind>
inline constexpr int groupsFor = Kind::coordinates == 2 ? 2 : 1;

// Every pixel of the row, Groups × Width at a time: the groups are
// independent vectors stepped side by side, so that one group's step can
// run while another waits for its results. Returns false when cancelled.
template <class Lanes, class Kind, int Groups>
bool laneRow(const PlaneRow& row, const AnalysisControl& control)
{
    LaneBook<Lanes, Kind, Groups> book(row);
    Orbits<typename Lanes::Vector> lanes[Groups];
    std::int64_t step = 0;  // the steps every lane has taken together
    while (book.active() != 0) {
        const std::int64_t nextLook = (step / planeDetail::CancelEvery + 1) * planeDetail::CancelEvery;
        const std::int64_t renormalisation = book.earliestRenormalisation();
        const std::int64_t until = renormalisation < nextLook ? renormalisation : nextLook;
        const unsigned active = book.active();
        book.load(lanes);
        while (step < until) {
            ++step;
            unsigned flagged = 0;
            for (int group = 0; group < Groups; ++group)
                flagged |= stepLanes<Lanes, Kind>(lanes[group]) << (group * Lanes::Width);
            if ((flagged & active) != 0)
                break;
        }
        book.store(lanes);
        book.settle(step);
        if (step % planeDetail::CancelEvery == 0 && control.cancelled())
            return false;
    }
    return true;
}

}  // namespace
}  // namespace vortiquo::planeLanes
