#include "analysis/ParameterSweep.h"

#include <QTest>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <numeric>

#include "OpeningStates.h"
#include "analysis/Lyapunov.h"
#include "analysis/PlaneColours.h"

using namespace vortiquo;

namespace {

template <typename Value>
bool sameBytes(const std::vector<Value>& first, const std::vector<Value>& second)
{
    return first.size() == second.size() && std::memcmp(first.data(), second.data(), first.size() * sizeof(Value)) == 0;
}

constexpr int Many = -1;  // a chaotic orbit's column: more cells than any period here

}  // namespace

class ParameterSweepTest : public QObject {
    Q_OBJECT

private slots:
    void sameBitsOnAnyThreadsAndBands_data();
    void sameBitsOnAnyThreadsAndBands();
    void orbitKinds_data();
    void orbitKinds();
    void planeRowsRunTopDown();
    void colours_data();
    void colours();
};

void ParameterSweepTest::sameBitsOnAnyThreadsAndBands_data()
{
    QTest::addColumn<const Model*>("model");
    QTest::addColumn<SimulationState>("window");

    QTest::newRow("recurrence map") << &RecurrenceMap << recurrenceOpening();
    QTest::newRow("quadratic map") << &QuadraticMap << quadraticOpening();
}

void ParameterSweepTest::sameBitsOnAnyThreadsAndBands()
{
    QFETCH(const Model*, model);
    QFETCH(SimulationState, window);

    PlaneRequest plane = *defaultPlane(*model, window, 23, 17);
    plane.transient = 300;
    plane.measured = 500;
    std::vector<double> oneThread, threeThreads;
    QCOMPARE(computePlane(plane, 1, oneThread), Outcome::Finished);
    QCOMPARE(computePlane(plane, 3, threeThreads), Outcome::Finished);
    QVERIFY(sameBytes(oneThread, threeThreads));
    // Two bands computed apart, then put one above the other.
    std::vector<double> bands(oneThread.size());
    const std::size_t split = 6 * static_cast<std::size_t>(plane.width);
    computePlaneRows(plane, 0, 6, std::span(bands).first(split));
    computePlaneRows(plane, 6, plane.height - 6, std::span(bands).subspan(split));
    QVERIFY(sameBytes(oneThread, bands));

    const OrbitDiagramRequest diagram = *defaultOrbitDiagram(*model, window, 37, 29);
    std::vector<std::uint32_t> countsOne, countsThree;
    QCOMPARE(computeOrbitDiagram(diagram, 1, countsOne), Outcome::Finished);
    QCOMPARE(computeOrbitDiagram(diagram, 3, countsThree), Outcome::Finished);
    QVERIFY(sameBytes(countsOne, countsThree));
    // Columns 10 to the end as an image of their own.
    const int width = diagram.width - 10;
    std::vector<std::uint32_t> right(static_cast<std::size_t>(width) * diagram.height);
    computeDiagramColumns(diagram, 10, width, right);
    for (int row = 0; row < diagram.height; ++row)
        QVERIFY(std::equal(right.begin() + row * width, right.begin() + (row + 1) * width,
                           countsOne.begin() + row * diagram.width + 10));
}

void ParameterSweepTest::orbitKinds_data()
{
    QTest::addColumn<const Model*>("model");
    QTest::addColumn<double>("a");
    QTest::addColumn<double>("b");
    QTest::addColumn<int>("sign");      // of the exponent; 0: escaped
    QTest::addColumn<int>("cellsHit");  // in the orbit diagram's column

    QTest::newRow("quadratic map, period 2") << &QuadraticMap << 0.5 << 0.3 << -1 << 2;
    QTest::newRow("quadratic map, period 4") << &QuadraticMap << 0.95 << 0.3 << -1 << 4;
    QTest::newRow("quadratic map, opening values") << &QuadraticMap << 1.4 << 0.3 << 1 << Many;
    QTest::newRow("quadratic map, escaping") << &QuadraticMap << 2.0 << 0.3 << 0 << 0;
    QTest::newRow("recurrence map, fixed point") << &RecurrenceMap << -0.1 << -0.6 << -1 << 1;
    QTest::newRow("recurrence map, opening values") << &RecurrenceMap << -0.1 << -1.7 << 1 << Many;
    QTest::newRow("recurrence map, escaping") << &RecurrenceMap << -0.1 << -2.2 << 0 << 0;
}

// A plane's pixel holds the tangent method's exponent over the same steps;
// in the orbit diagram a periodic orbit fills as many cells as its period
// and an escaping one leaves its column empty.
void ParameterSweepTest::orbitKinds()
{
    QFETCH(const Model*, model);
    QFETCH(double, a);
    QFETCH(double, b);
    QFETCH(int, sign);
    QFETCH(int, cellsHit);

    SimulationState window = runStart(*model, SimulationState{});
    window.a = a;
    window.b = b;
    PlaneRequest plane = *defaultPlane(*model, window, 1, 1);
    plane.a0 = plane.a1 = a;
    plane.b0 = plane.b1 = b;
    std::vector<double> value;
    QCOMPARE(computePlane(plane, 1, value), Outcome::Finished);
    if (sign == 0) {
        QVERIFY(std::isnan(value[0]));
    } else {
        QCOMPARE(value[0] > 0 ? 1 : -1, sign);
        LyapunovSettings settings;
        settings.transientSteps = plane.transient;
        settings.measuredSteps = plane.measured;
        QVERIFY(std::fabs(value[0] - largestLyapunovExponent(*model, window, settings).tangent.value) < 1e-12);
    }

    OrbitDiagramRequest diagram = *defaultOrbitDiagram(*model, window, 1, 400);
    diagram.p0 = diagram.p1 = diagram.parameter == SweepParameter::A ? a : b;
    std::vector<std::uint32_t> counts;
    QCOMPARE(computeOrbitDiagram(diagram, 1, counts), Outcome::Finished);
    const auto hit = std::count_if(counts.begin(), counts.end(), [](std::uint32_t count) { return count > 0; });
    QVERIFY(cellsHit == Many ? hit > 100 : hit == cellsHit);
    QCOMPARE(std::accumulate(counts.begin(), counts.end(), std::int64_t{0}), sign == 0 ? 0 : diagram.points);
}

// Row 0 is the top, where b is largest: at a = 1.4 the quadratic map is
// chaotic at b = 0.25 and periodic at b = −0.25.
void ParameterSweepTest::planeRowsRunTopDown()
{
    PlaneRequest request = *defaultPlane(QuadraticMap, quadraticOpening(), 1, 2);
    request.a0 = request.a1 = 1.4;
    request.b0 = -0.5;
    request.b1 = 0.5;
    std::vector<double> values;
    QCOMPARE(computePlane(request, 2, values), Outcome::Finished);
    QVERIFY(values[0] > 0 && values[1] < 0);
}

void ParameterSweepTest::colours_data()
{
    QTest::addColumn<double>("exponent");
    QTest::addColumn<uint>("colour");

    QTest::newRow("escaped: grey") << std::nan("") << 0xff808080u;
    QTest::newRow("zero: near black") << 0.0 << 0xff101014u;
    QTest::newRow("saturated chaos: orange") << 1.0 << 0xffffaa1eu;
    QTest::newRow("superstable: saturated blue") << -std::numeric_limits<double>::infinity() << 0xff288cffu;
    QTest::newRow("a quarter: halfway") << 0.25 << 0xff885d19u;
}

void ParameterSweepTest::colours()
{
    QFETCH(double, exponent);
    QFETCH(uint, colour);
    QCOMPARE(exponentColour(exponent), colour);
}

QTEST_APPLESS_MAIN(ParameterSweepTest)
#include "ParameterSweepTest.moc"
