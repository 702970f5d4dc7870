#include "analysis/Dimension.h"

#include <QTest>

#include <cmath>
#include <random>

#include "OpeningStates.h"

using namespace vortiquo;

Q_DECLARE_METATYPE(std::vector<Point>)
Q_DECLARE_METATYPE(std::vector<double>)

namespace {

// Uniform in [0, 1) from the generator's bits alone, the same on every library.
class Uniform {
public:
    explicit Uniform(std::uint64_t seed) : bits_(seed) {}
    double operator()() { return static_cast<double>(bits_() >> 11) * 0x1p-53; }

private:
    std::mt19937_64 bits_;
};

std::vector<Point> orbitPoints(const Model& model, const SimulationState& start, std::int64_t points)
{
    std::int64_t fault = 0;
    const DimensionSettings settings = defaultDimensionSettings(*dynamicsOf(model), start, points);
    return attractorPoints(model, start, settings, {}, fault);
}

std::vector<Point> segment(int count)
{
    Uniform uniform(7);
    std::vector<Point> points;
    for (int i = 0; i < count; ++i) {
        const double t = uniform();
        points.push_back({t, 2 * t, -t});
    }
    return points;
}

std::vector<Point> square(int count)
{
    Uniform uniform(11);
    std::vector<Point> points;
    for (int i = 0; i < count; ++i) {
        const double x = uniform();
        points.push_back({x, uniform(), 0});
    }
    return points;
}

}  // namespace

class DimensionTest : public QObject {
    Q_OBJECT

private slots:
    void gridCountsEveryPair_data();
    void gridCountsEveryPair();
    void radiiAreStrictBounds();
    void boxesOfALattice();
    void scalingRangeLeavesOutTheBends_data();
    void scalingRangeLeavesOutTheBends();
    void knownSets_data();
    void knownSets();
    void attractorsOfTheMaps();
    void escapingOrbitIsAFault();
};

// The grid compares only pairs in neighbouring cells; it must find exactly
// the pairs that comparing all of them finds.
void DimensionTest::gridCountsEveryPair_data()
{
    QTest::addColumn<std::vector<Point>>("points");
    QTest::addColumn<double>("largestRadius");
    QTest::addColumn<qint64>("theiler");
    const std::vector<Point> convection = orbitPoints(ConvectionFlow, convectionOpening(), 1500);
    QTest::newRow("convection flow, Theiler window of 10") << convection << 77.0 / 32 << qint64(10);
    QTest::newRow("convection flow, radius beyond the attractor") << convection << 200.0 << qint64(0);
    QTest::newRow("quadratic map") << orbitPoints(QuadraticMap, quadraticOpening(), 2000) << 2.67 / 32 << qint64(0);
    // A period-four orbit: every point sits on one of four, at distance 0.
    QTest::newRow("periodic orbit, pairs at distance 0")
        << orbitPoints(QuadraticMap, runStartOf(QuadraticMap, "1.0", "0.3"), 1000) << 0.1 << qint64(3);
    QTest::newRow("many cells: radius far below the set") << square(3000) << 1e-3 << qint64(0);
}

void DimensionTest::gridCountsEveryPair()
{
    QFETCH(std::vector<Point>, points);
    QFETCH(double, largestRadius);
    QFETCH(qint64, theiler);
    const CorrelationSettings settings{largestRadius, CorrelationRadii, theiler};
    const CorrelationCurve grid = correlationSum(points, settings);
    const CorrelationCurve all = correlationSumAllPairs(points, settings);
    QCOMPARE(grid.outcome, Outcome::Finished);
    QCOMPARE(all.outcome, Outcome::Finished);
    QCOMPARE(grid.eligiblePairs, all.eligiblePairs);
    QCOMPARE(grid.pairs, all.pairs);
    QVERIFY(grid.pairs.front() > 0);
}

// A pair exactly r apart is not closer than r; at distance 0 it is closer
// than every radius. Radii 1, 1/√2, 1/2, …: the squares are powers of two.
void DimensionTest::radiiAreStrictBounds()
{
    const std::vector<Point> points = {{0, 0, 0}, {0.5, 0, 0}, {0.5, 0, 0}, {0, 0, 0.25}};
    const CorrelationCurve curve = correlationSum(points, {1.0, 8, 0});
    QCOMPARE(curve.eligiblePairs, std::uint64_t{6});
    // Squared distances 0.3125 (2 pairs), 0.25 (2), 0.0625 (1) and 0 (1),
    // against squared radii 1, 0.5, 0.25, 0.125, 0.0625, …
    const std::vector<std::uint64_t> expected = {6, 6, 2, 2, 1, 1, 1, 1};
    QCOMPARE(curve.pairs, expected);
    // Four coincident points, pairs within one step of each other left out: (0, 2), (0, 3), (1, 3).
    const CorrelationCurve theiler = correlationSum(std::vector<Point>(4, Point{1, 1, 1}), {1.0, 4, 1});
    QCOMPARE(theiler.eligiblePairs, std::uint64_t{3});
    QCOMPARE(theiler.pairs, (std::vector<std::uint64_t>{3, 3, 3, 3}));
}

// An 8 × 8 lattice in the plane: each halving of the boxes splits every
// occupied box into four until each point has a box of its own.
void DimensionTest::boxesOfALattice()
{
    std::vector<Point> points;
    for (int i = 0; i < 8; ++i)
        for (int j = 0; j < 8; ++j)
            points.push_back({i / 8.0, j / 8.0, 0});
    const BoxCounts counts = boxCounts(points, 6);
    QCOMPARE(counts.outcome, Outcome::Finished);
    QCOMPARE(counts.boxes, (std::vector<std::uint64_t>{1, 4, 16, 64, 64, 64}));
    QCOMPARE(counts.sides[1], counts.sides[0] / 2);
    QCOMPARE(boxCounts(std::vector<Point>(5, Point{1, 2, 3}), 6).outcome, Outcome::Invalid);  // no extent
}

// Counts that follow r² over a stretch, bent above it (the attractor's
// size) and scattered below it (few pairs): the range found is the stretch.
void DimensionTest::scalingRangeLeavesOutTheBends_data()
{
    QTest::addColumn<std::vector<double>>("counts");  // at scales 2^(−k/2), k = 0, 1, …
    QTest::addColumn<int>("first");
    QTest::addColumn<int>("last");
    std::vector<double> straight;
    for (int k = 0; k < 16; ++k)
        straight.push_back(std::exp2(40 - k));  // slope 2 in log r, every count exact
    std::vector<double> bent = straight;
    bent[0] = bent[1] * 1.2;  // the curve flattens at the largest scales
    bent[1] = bent[2] * 1.5;
    std::vector<double> scattered = straight;
    scattered[13] *= 1.6;
    scattered[15] *= 0.5;
    QTest::newRow("straight throughout") << straight << 0 << 15;
    QTest::newRow("bent at the top") << bent << 2 << 15;
    QTest::newRow("bent at the top, scattered at the bottom") << [&] {
        std::vector<double> both = bent;
        both[13] = scattered[13], both[15] = scattered[15];
        return both;
    }() << 2 << 12;
}

void DimensionTest::scalingRangeLeavesOutTheBends()
{
    QFETCH(std::vector<double>, counts);
    QFETCH(int, first);
    QFETCH(int, last);
    std::vector<double> scales;
    std::vector<std::uint64_t> whole;
    for (std::size_t k = 0; k < counts.size(); ++k) {
        scales.push_back(std::exp2(-0.5 * static_cast<double>(k)));
        whole.push_back(static_cast<std::uint64_t>(counts[k]));
    }
    const ScalingFit fit = findScalingRange(scalingCurve(scales, whole, 1.0), 0.1);
    QVERIFY(fit.valid);
    QCOMPARE(fit.first, first);
    QCOMPARE(fit.last, last);
    QVERIFY2(std::fabs(fit.slope - 2) < 1e-6, qPrintable(QString::number(fit.slope, 'g', 17)));
    QVERIFY(fit.uncertainty < 1e-6);
}

void DimensionTest::knownSets_data()
{
    QTest::addColumn<std::vector<Point>>("points");
    QTest::addColumn<double>("dimension");
    QTest::newRow("a segment, slanted in space") << segment(20000) << 1.0;
    QTest::newRow("a filled square") << square(20000) << 2.0;
}

void DimensionTest::knownSets()
{
    QFETCH(std::vector<Point>, points);
    QFETCH(double, dimension);
    const DimensionResult result = dimensionsOfPoints(points, 0);
    QCOMPARE(result.outcome, Outcome::Finished);
    const double correlation = correlationDimension(result.correlationFit);
    const double boxes = boxCountingDimension(result.boxFit);
    QVERIFY2(std::fabs(correlation - dimension) <= 0.03, qPrintable(QString::number(correlation)));
    QVERIFY2(std::fabs(boxes - dimension) <= 0.03, qPrintable(QString::number(boxes)));
    QVERIFY(result.correlationFit.uncertainty < 0.05);
    QVERIFY(result.correlationFit.last - result.correlationFit.first + 1 >= FewestRangePoints);
}

// What the windows show at their opening values, from the fields' (0, 0).
void DimensionTest::attractorsOfTheMaps()
{
    SimulationState start = runStartOf(QuadraticMap, "1.4", "0.3");
    start.x = start.y = 0;
    const DimensionResult result =
        attractorDimensions(QuadraticMap, start, defaultDimensionSettings(*dynamicsOf(QuadraticMap), start));
    QCOMPARE(result.outcome, Outcome::Finished);
    QCOMPARE(result.points, DefaultDimensionPoints);
    // A curve folded on itself: between a line and the plane, D₂ below D₀.
    const double correlation = correlationDimension(result.correlationFit);
    const double boxes = boxCountingDimension(result.boxFit);
    QVERIFY2(correlation > 1.1 && correlation < 1.3, qPrintable(QString::number(correlation)));
    QVERIFY2(boxes > 1.15 && boxes < 1.4, qPrintable(QString::number(boxes)));
}

void DimensionTest::escapingOrbitIsAFault()
{
    const SimulationState start = runStartOf(QuadraticMap, "2", "0.3");
    const DimensionResult result =
        attractorDimensions(QuadraticMap, start, defaultDimensionSettings(*dynamicsOf(QuadraticMap), start));
    QCOMPARE(result.outcome, Outcome::Fault);
    SimulationState orbit = start;
    std::int64_t step = 1;
    while (advance(QuadraticMap, orbit))
        ++step;
    QCOMPARE(result.faultStep, step);
}

QTEST_APPLESS_MAIN(DimensionTest)
#include "DimensionTest.moc"
