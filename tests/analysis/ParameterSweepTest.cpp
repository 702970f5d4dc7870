#include "analysis/ParameterSweep.h"

#include <QTest>

#include <cmath>
#include <cstring>
#include <limits>

#include "OpeningStates.h"
#include "analysis/Lyapunov.h"
#include "analysis/PlaneColours.h"

namespace {

// Small requests around the maps' opening views, quick enough to compute
// several times over.
PlaneRequest smallPlane(const Model& model, const SimulationState& window)
{
    PlaneRequest request = *defaultPlane(model, window, 23, 17);
    request.transient = 300;
    request.measured = 500;
    return request;
}

OrbitDiagramRequest smallDiagram(const Model& model, const SimulationState& window)
{
    return *defaultOrbitDiagram(model, window, 37, 29);
}

// A plane of one pixel at (a, b).
PlaneRequest pixelAt(const Model& model, double a, double b)
{
    PlaneRequest request = *defaultPlane(model, runStartOf(model, "0", "0"), 1, 1);
    request.a0 = request.a1 = a;
    request.b0 = request.b1 = b;
    return request;
}

template <typename Value>
bool sameBytes(const std::vector<Value>& first, const std::vector<Value>& second)
{
    return first.size() == second.size() && std::memcmp(first.data(), second.data(), first.size() * sizeof(Value)) == 0;
}

}  // namespace

class ParameterSweepTest : public QObject {
    Q_OBJECT

private slots:
    void sameBitsOnAnyThreadsAndBands_data();
    void sameBitsOnAnyThreadsAndBands();
    void pixelKinds_data();
    void pixelKinds();
    void planeRowsRunTopDown();
    void diagramColumnKinds_data();
    void diagramColumnKinds();
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

    const PlaneRequest plane = smallPlane(*model, window);
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

    const OrbitDiagramRequest diagram = smallDiagram(*model, window);
    std::vector<std::uint32_t> countsOne, countsThree;
    QCOMPARE(computeOrbitDiagram(diagram, 1, countsOne), Outcome::Finished);
    QCOMPARE(computeOrbitDiagram(diagram, 3, countsThree), Outcome::Finished);
    QVERIFY(sameBytes(countsOne, countsThree));
    // Columns 0 to 9 and 10 to the end as two images, side by side.
    std::vector<std::uint32_t> left(10 * static_cast<std::size_t>(diagram.height));
    std::vector<std::uint32_t> right((diagram.width - 10) * static_cast<std::size_t>(diagram.height));
    computeDiagramColumns(diagram, 0, 10, left);
    computeDiagramColumns(diagram, 10, diagram.width - 10, right);
    for (int row = 0; row < diagram.height; ++row)
        for (int column = 0; column < diagram.width; ++column) {
            const std::uint32_t band = column < 10 ? left[row * 10 + column]
                                                   : right[row * (diagram.width - 10) + column - 10];
            QCOMPARE(band, countsOne[row * diagram.width + column]);
        }
}

void ParameterSweepTest::pixelKinds_data()
{
    QTest::addColumn<const Model*>("model");
    QTest::addColumn<double>("a");
    QTest::addColumn<double>("b");
    QTest::addColumn<int>("sign");  // -1 periodic, 1 chaotic, 0 escaped

    QTest::newRow("quadratic map, period 2") << &QuadraticMap << 0.5 << 0.3 << -1;
    QTest::newRow("quadratic map, opening values") << &QuadraticMap << 1.4 << 0.3 << 1;
    QTest::newRow("quadratic map, escaping") << &QuadraticMap << 2.0 << 0.3 << 0;
    QTest::newRow("recurrence map, fixed point") << &RecurrenceMap << -0.1 << -0.6 << -1;
    QTest::newRow("recurrence map, opening values") << &RecurrenceMap << -0.1 << -1.7 << 1;
    QTest::newRow("recurrence map, escaping") << &RecurrenceMap << -0.1 << -2.2 << 0;
}

// A pixel's value is the tangent method's exponent over the same steps.
void ParameterSweepTest::pixelKinds()
{
    QFETCH(const Model*, model);
    QFETCH(double, a);
    QFETCH(double, b);
    QFETCH(int, sign);

    const PlaneRequest request = pixelAt(*model, a, b);
    std::vector<double> value;
    QCOMPARE(computePlane(request, 1, value), Outcome::Finished);
    if (sign == 0) {
        QVERIFY(std::isnan(value[0]));
        return;
    }
    QCOMPARE(value[0] > 0 ? 1 : -1, sign);
    SimulationState start = request.base;
    start.a = a;
    start.b = b;
    LyapunovSettings settings;
    settings.transientSteps = request.transient;
    settings.measuredSteps = request.measured;
    const double tangent = largestLyapunovExponent(*model, start, settings).tangent.value;
    QVERIFY2(std::fabs(value[0] - tangent) < 1e-12, qPrintable(QStringLiteral("%1, %2").arg(value[0]).arg(tangent)));
}

// Row 0 is the top, where b is largest: at a = 1.4 the quadratic map is
// chaotic at b = 0.25 and periodic at b = −0.25.
void ParameterSweepTest::planeRowsRunTopDown()
{
    PlaneRequest request = pixelAt(QuadraticMap, 1.4, 0);
    request.b0 = -0.5;
    request.b1 = 0.5;
    request.height = 2;
    QCOMPARE(planeB(request, 0), 0.25);
    std::vector<double> values;
    QCOMPARE(computePlane(request, 2, values), Outcome::Finished);
    QVERIFY(values[0] > 0 && values[1] < 0);
}

void ParameterSweepTest::diagramColumnKinds_data()
{
    QTest::addColumn<double>("a");
    QTest::addColumn<int>("cellsHit");  // 0: the orbit escaped

    QTest::newRow("period 2") << 0.5 << 2;
    QTest::newRow("period 4") << 0.95 << 4;
    QTest::newRow("escaping") << 2.0 << 0;
}

// The quadratic map's diagram at b = 0.3, one column per row: a periodic
// orbit puts every point into as many cells as its period, and an escaping
// one leaves its column empty.
void ParameterSweepTest::diagramColumnKinds()
{
    QFETCH(double, a);
    QFETCH(int, cellsHit);

    OrbitDiagramRequest request = *defaultOrbitDiagram(QuadraticMap, quadraticOpening(), 1, 400);
    request.p0 = request.p1 = a;
    std::vector<std::uint32_t> counts;
    QCOMPARE(computeOrbitDiagram(request, 1, counts), Outcome::Finished);
    int hit = 0;
    std::int64_t total = 0;
    for (const std::uint32_t count : counts) {
        hit += count > 0;
        total += count;
    }
    QCOMPARE(hit, cellsHit);
    QCOMPARE(total, cellsHit == 0 ? 0 : request.points);
}

void ParameterSweepTest::colours_data()
{
    QTest::addColumn<double>("exponent");
    QTest::addColumn<uint>("colour");

    QTest::newRow("escaped: grey") << std::nan("") << 0xff808080u;
    QTest::newRow("zero: near black") << 0.0 << 0xff101014u;
    QTest::newRow("saturated chaos: orange") << 1.0 << 0xffffaa1eu;
    QTest::newRow("beyond the scale: the same") << 7.0 << 0xffffaa1eu;
    QTest::newRow("saturated period: blue") << -1.0 << 0xff288cffu;
    QTest::newRow("superstable: the same") << -std::numeric_limits<double>::infinity() << 0xff288cffu;
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
