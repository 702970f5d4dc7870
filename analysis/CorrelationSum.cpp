#include "analysis/CorrelationSum.h"

#include <algorithm>
#include <bit>
#include <cmath>

namespace vortiquo {

namespace {

// Work (pairs compared) between two looks at the cancel flag.
constexpr std::uint64_t CheckEvery = 1 << 22;
// Cells across r₀: smaller cells fit the ball of radius r₀ more closely, so
// fewer pairs are compared; more cells cost more runs of points per point.
constexpr int CellsPerRadius = 2;
// The grid has at most this many cells; beyond, its cells grow (larger
// cells find the same pairs, with more comparisons).
constexpr std::int64_t MaxCells = 1 << 21;

// The radius a squared distance falls under, from the bits of the two
// numbers: r_k² = r₀² · 2^(−k), so d² < r_k² compares the binary exponent
// of d² with that of r₀² less k, then the mantissas. No logarithm and no
// rounding: the bin is a function of d² alone.
class RadiusBins {
public:
    RadiusBins(double largestRadius, int radii)
        : limit_(largestRadius * largestRadius), limitExponent_(exponentOf(limit_)),
          limitMantissa_(mantissaOf(limit_)), last_(radii - 1)
    {
    }

    // Whether every r_k² is a normal number, as the bits above need.
    bool usable() const
    {
        return std::isnormal(limit_) && last_ >= 0 && last_ < MaxRadii && limitExponent_ - last_ >= 1;
    }

    // The last k with d² < r_k², at most the last radius, for d² < r₀². A
    // d² of 0, or below every normal number, has exponent 0 and so a k
    // beyond the last radius: no branch is needed for it.
    int bin(double squared) const
    {
        const int exponent = exponentOf(squared);
        const int k = limitExponent_ - exponent - (mantissaOf(squared) >= limitMantissa_ ? 1 : 0);
        return std::min(k, last_);
    }

private:
    static int exponentOf(double value) { return static_cast<int>(std::bit_cast<std::uint64_t>(value) >> 52); }
    static std::uint64_t mantissaOf(double value)
    {
        return std::bit_cast<std::uint64_t>(value) & ((std::uint64_t{1} << 52) - 1);
    }

    double limit_;
    int limitExponent_;
    std::uint64_t limitMantissa_;
    int last_;
};

// Points as three columns of coordinates, with each point's place in the set.
struct Columns {
    std::vector<double> x, y, z;
    std::vector<std::int64_t> order;

    explicit Columns(std::size_t size) : x(size), y(size), z(size), order(size) {}
    void set(std::size_t at, const Point& p, std::int64_t place)
    {
        x[at] = p[0];
        y[at] = p[1];
        z[at] = p[2];
        order[at] = place;
    }
};

// The counts by bin as they are gathered, and the checks of the cancel flag.
class PairCounter {
public:
    PairCounter(const CorrelationSettings& settings, const AnalysisControl& control)
        : bins_(settings.largestRadius, settings.radii),
          limit_(settings.largestRadius * settings.largestRadius), theiler_(settings.theilerWindow), control_(control)
    {
    }

    bool usable() const { return bins_.usable(); }

    // Compares point p with points from to to of the columns.
    void compareRange(const Columns& columns, std::size_t p, std::size_t from, std::size_t to)
    {
        const double px = columns.x[p], py = columns.y[p], pz = columns.z[p];
        const std::int64_t place = columns.order[p];
        for (std::size_t begin = from; begin < to; begin += Chunk) {
            const std::size_t size = std::min(Chunk, to - begin);
            // The squared distances first, a chunk at a time: a loop with no
            // branch, which the compiler can run in SIMD lanes with the same bits.
            double squared[Chunk];
            for (std::size_t i = 0; i < size; ++i) {
                const double dx = px - columns.x[begin + i], dy = py - columns.y[begin + i],
                             dz = pz - columns.z[begin + i];
                squared[i] = (dx * dx + dy * dy) + dz * dz;
            }
            // Then the few closer than r₀, without a branch per pair.
            std::uint32_t close[Chunk];
            std::size_t found = 0;
            for (std::size_t i = 0; i < size; ++i) {
                close[found] = static_cast<std::uint32_t>(i);
                found += squared[i] < limit_ ? 1 : 0;
            }
            // Neighbouring pairs often share a bin: four copies of the
            // histogram keep one increment from waiting on the one before.
            for (std::size_t c = 0; c < found; ++c) {
                const std::size_t i = close[c];
                if (theiler_ == 0 || std::llabs(place - columns.order[begin + i]) > theiler_)
                    ++histograms_[c % Copies][bins_.bin(squared[i])];
            }
        }
    }

    // After `compared` more pairs: false once the cancel flag is seen.
    bool goOn(std::uint64_t compared, double fractionDone)
    {
        work_ += compared;
        if (work_ < CheckEvery)
            return true;
        work_ = 0;
        control_.report(fractionDone);
        return !control_.cancelled();
    }

    CorrelationCurve curve(const CorrelationSettings& settings, std::int64_t points) const
    {
        CorrelationCurve curve;
        curve.outcome = Outcome::Finished;
        std::uint64_t closer = 0;
        curve.pairs.assign(static_cast<std::size_t>(settings.radii), 0);
        for (int k = settings.radii - 1; k >= 0; --k) {
            for (const auto& histogram : histograms_)
                closer += histogram[k];
            curve.pairs[static_cast<std::size_t>(k)] = closer;
        }
        for (int k = 0; k < settings.radii; ++k)
            curve.radii.push_back(settings.largestRadius * std::exp2(-0.5 * k));
        const std::int64_t partners = points - 1 - settings.theilerWindow;  // of the first point
        curve.eligiblePairs =
            partners > 0 ? static_cast<std::uint64_t>(partners) * static_cast<std::uint64_t>(partners + 1) / 2 : 0;
        return curve;
    }

private:
    static constexpr std::size_t Chunk = 256;

    RadiusBins bins_;
    double limit_;  // r₀²
    std::int64_t theiler_;
    const AnalysisControl& control_;
    static constexpr std::size_t Copies = 4;
    std::uint64_t histograms_[Copies][MaxRadii] = {};
    std::uint64_t work_ = 0;
};

bool allFinite(const std::vector<Point>& points)
{
    return std::all_of(points.begin(), points.end(), [](const Point& p) {
        return std::isfinite(p[0]) && std::isfinite(p[1]) && std::isfinite(p[2]);
    });
}

bool valid(const std::vector<Point>& points, const CorrelationSettings& settings, const PairCounter& counter)
{
    return counter.usable() && settings.theilerWindow >= 0 && allFinite(points);
}

// The points sorted into cells, the cells in order of z, then y, then x, so
// that the cells of a row along x are one run of points; within a cell the
// points keep their order.
struct Grid {
    int cells[3] = {1, 1, 1};
    double span = 1;                  // r₀ in cells, with its margin
    std::vector<std::int64_t> begin;  // of each cell's points, and the end of the last
    Columns points;

    Grid(const std::vector<Point>& set, double largestRadius) : points(set.size())
    {
        Point low = set.front(), high = set.front();
        for (const Point& p : set)
            for (int axis = 0; axis < 3; ++axis) {
                low[axis] = std::min(low[axis], p[axis]);
                high[axis] = std::max(high[axis], p[axis]);
            }
        // A margin above r₀ keeps two points closer than r₀ within `span`
        // cells of each other whatever the rounding of their cells' coordinates.
        const double reach = largestRadius * (1 + 0x1p-20);
        double side = reach / CellsPerRadius;
        const auto count = [&](int axis) { return std::floor((high[axis] - low[axis]) / side) + 1; };
        while (count(0) * count(1) * count(2) > static_cast<double>(MaxCells))
            side *= 2;
        span = reach / side;
        for (int axis = 0; axis < 3; ++axis)
            cells[axis] = static_cast<int>(count(axis));
        const auto cellOf = [&](const Point& p) {
            std::int64_t cell = 0;
            for (int axis = 2; axis >= 0; --axis) {
                const auto at = static_cast<std::int64_t>((p[axis] - low[axis]) / side);
                cell = cell * cells[axis] + std::min<std::int64_t>(at, cells[axis] - 1);
            }
            return cell;
        };
        const std::int64_t total = static_cast<std::int64_t>(cells[0]) * cells[1] * cells[2];
        begin.assign(static_cast<std::size_t>(total + 1), 0);
        std::vector<std::int64_t> cellOfPoint(set.size());
        for (std::size_t i = 0; i < set.size(); ++i) {
            cellOfPoint[i] = cellOf(set[i]);
            ++begin[static_cast<std::size_t>(cellOfPoint[i] + 1)];
        }
        for (std::size_t cell = 1; cell < begin.size(); ++cell)
            begin[cell] += begin[cell - 1];
        std::vector<std::int64_t> next(begin.begin(), begin.end() - 1);
        for (std::size_t i = 0; i < set.size(); ++i) {
            const auto at = static_cast<std::size_t>(next[static_cast<std::size_t>(cellOfPoint[i])]++);
            points.set(at, set[i], static_cast<std::int64_t>(i));
        }
    }

    std::int64_t cellAt(int x, int y, int z) const
    {
        return (static_cast<std::int64_t>(z) * cells[1] + y) * cells[0] + x;
    }
    std::int64_t start(std::int64_t cell) const { return begin[static_cast<std::size_t>(cell)]; }
};

// A row of cells along x near a cell: those from x − reach to x + reach in
// the row dy, dz away.
struct Row {
    int dy, dz, reach;
};

// The rows that follow a cell's own (dz > 0, or dz = 0 and dy > 0), each cut
// to the cells that can hold a point closer than r₀ to a point of the cell:
// cells d apart along an axis hold points at least (|d| − 1) cells apart
// there. Each pair of cells is then visited once, from the first of the two;
// the cell's own row is the cell's own points and the cells after it.
std::vector<Row> forwardRows(double span, int& ownReach)
{
    const int reach = static_cast<int>(std::ceil(span));
    const double limit = span * span;
    const auto gap = [](int d) {
        const int apart = std::abs(d) - 1;
        return apart > 0 ? static_cast<double>(apart) * apart : 0.0;
    };
    const auto widest = [&](double part) {
        int width = 0;
        while (width < reach && gap(width + 1) + part < limit)
            ++width;
        return width;
    };
    std::vector<Row> rows;
    for (int dz = 0; dz <= reach; ++dz)
        for (int dy = -reach; dy <= reach; ++dy) {
            const double part = gap(dy) + gap(dz);
            if ((dz == 0 && dy <= 0) || part >= limit)
                continue;
            rows.push_back({dy, dz, widest(part)});
        }
    ownReach = widest(0);
    return rows;
}

}  // namespace

CorrelationCurve correlationSum(const std::vector<Point>& points, const CorrelationSettings& settings,
                                const AnalysisControl& control)
{
    PairCounter counter(settings, control);
    if (!valid(points, settings, counter))
        return {};
    const auto size = static_cast<std::int64_t>(points.size());
    if (size < 2)
        return counter.curve(settings, size);
    const Grid grid(points, settings.largestRadius);
    int ownReach = 0;
    const std::vector<Row> rows = forwardRows(grid.span, ownReach);
    const auto compareRun = [&](std::int64_t p, std::int64_t from, std::int64_t to) {
        if (from >= to)
            return std::uint64_t{0};
        counter.compareRange(grid.points, static_cast<std::size_t>(p), static_cast<std::size_t>(from),
                             static_cast<std::size_t>(to));
        return static_cast<std::uint64_t>(to - from);
    };
    for (int z = 0; z < grid.cells[2]; ++z)
        for (int y = 0; y < grid.cells[1]; ++y)
            for (int x = 0; x < grid.cells[0]; ++x) {
                const std::int64_t cell = grid.cellAt(x, y, z);
                const std::int64_t ownEnd = grid.start(grid.cellAt(std::min(x + ownReach, grid.cells[0] - 1), y, z) + 1);
                for (std::int64_t p = grid.start(cell); p < grid.start(cell + 1); ++p) {
                    std::uint64_t compared = compareRun(p, p + 1, ownEnd);
                    for (const Row& row : rows) {
                        const int ny = y + row.dy, nz = z + row.dz;
                        if (ny < 0 || ny >= grid.cells[1] || nz >= grid.cells[2])
                            continue;
                        const int first = std::max(x - row.reach, 0);
                        const int last = std::min(x + row.reach, grid.cells[0] - 1);
                        compared += compareRun(p, grid.start(grid.cellAt(first, ny, nz)),
                                               grid.start(grid.cellAt(last, ny, nz) + 1));
                    }
                    if (!counter.goOn(compared, static_cast<double>(p) / static_cast<double>(size)))
                        return {Outcome::Cancelled, {}, {}, 0};
                }
            }
    return counter.curve(settings, size);
}

CorrelationCurve correlationSumAllPairs(const std::vector<Point>& points, const CorrelationSettings& settings,
                                        const AnalysisControl& control)
{
    PairCounter counter(settings, control);
    if (!valid(points, settings, counter))
        return {};
    const auto size = static_cast<std::int64_t>(points.size());
    Columns columns(points.size());
    for (std::size_t i = 0; i < points.size(); ++i)
        columns.set(i, points[i], static_cast<std::int64_t>(i));
    for (std::int64_t i = 0; i < size; ++i) {
        counter.compareRange(columns, static_cast<std::size_t>(i), static_cast<std::size_t>(i + 1),
                             static_cast<std::size_t>(size));
        // Fractions of the pairs, not of the points: the first rows hold the most.
        const double done = 1.0 - static_cast<double>(size - i) * static_cast<double>(size - i) /
                                      (static_cast<double>(size) * static_cast<double>(size));
        if (!counter.goOn(static_cast<std::uint64_t>(size - 1 - i), done))
            return {Outcome::Cancelled, {}, {}, 0};
    }
    return counter.curve(settings, size);
}

}  // namespace vortiquo
