#include "analysis/ParameterSweep.h"

#include <QElapsedTimer>
#include <QTest>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <numeric>
#include <thread>

#include "OpeningStates.h"
#include "analysis/Lyapunov.h"

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
    void flowPixels_data();
    void flowPixels();
    void planeRowsRunTopDown();
    void cancelStopsInsideARow();
};

void ParameterSweepTest::sameBitsOnAnyThreadsAndBands_data()
{
    QTest::addColumn<const Model*>("model");
    QTest::addColumn<SimulationState>("window");

    QTest::newRow("recurrence map") << &RecurrenceMap << recurrenceOpening();
    QTest::newRow("quadratic map") << &QuadraticMap << quadraticOpening();
    QTest::newRow("convection flow") << &ConvectionFlow << convectionOpening();
    QTest::newRow("spiral flow") << &SpiralFlow << spiralOpening();
}

void ParameterSweepTest::sameBitsOnAnyThreadsAndBands()
{
    QFETCH(const Model*, model);
    QFETCH(SimulationState, window);

    PlaneRequest plane = *defaultPlane(*model, window, 23, 17);
    plane.transient = 300;
    plane.measured = 500;
    std::vector<double> oneThread, threeThreads;
    QCOMPARE(computePlaneBand(plane, 0, plane.height, 1, oneThread), Outcome::Finished);
    QCOMPARE(computePlaneBand(plane, 0, plane.height, 3, threeThreads), Outcome::Finished);
    QVERIFY(sameBytes(oneThread, threeThreads));
    // Two bands computed apart, then put one above the other.
    std::vector<double> top, bottom;
    QCOMPARE(computePlaneBand(plane, 0, 6, 2, top), Outcome::Finished);
    QCOMPARE(computePlaneBand(plane, 6, plane.height - 6, 2, bottom), Outcome::Finished);
    top.insert(top.end(), bottom.begin(), bottom.end());
    QVERIFY(sameBytes(oneThread, top));
    QCOMPARE(computePlaneBand(plane, 6, plane.height, 1, bottom), Outcome::Invalid);  // past the last row

    OrbitDiagramRequest diagram = *defaultOrbitDiagram(*model, window, 37, 29);
    diagram.transient = std::min<std::int64_t>(diagram.transient, 20'000);  // a flow's columns, shortened
    diagram.points = std::min<std::int64_t>(diagram.points, 30'000);
    std::vector<std::uint32_t> countsOne, countsThree;
    QCOMPARE(computeDiagramBand(diagram, 0, diagram.width, 1, countsOne), Outcome::Finished);
    QCOMPARE(computeDiagramBand(diagram, 0, diagram.width, 3, countsThree), Outcome::Finished);
    QVERIFY(sameBytes(countsOne, countsThree));
    // Columns 10 to the end as an image of their own.
    const int width = diagram.width - 10;
    std::vector<std::uint32_t> right;
    QCOMPARE(computeDiagramBand(diagram, 10, width, 2, right), Outcome::Finished);
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
    plane.p0 = plane.p1 = a;
    plane.q0 = plane.q1 = b;
    std::vector<double> value;
    QCOMPARE(computePlaneBand(plane, 0, 1, 1, value), Outcome::Finished);
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
    QCOMPARE(computeDiagramBand(diagram, 0, 1, 1, counts), Outcome::Finished);
    const auto hit = std::count_if(counts.begin(), counts.end(), [](std::uint32_t count) { return count > 0; });
    QVERIFY(cellsHit == Many ? hit > 100 : hit == cellsHit);
    QCOMPARE(std::accumulate(counts.begin(), counts.end(), std::int64_t{0}), sign == 0 ? 0 : diagram.points);
}

void ParameterSweepTest::flowPixels_data()
{
    QTest::addColumn<const Model*>("model");
    QTest::addColumn<SimulationState>("window");
    QTest::addColumn<double>("p");  // across (c for the spiral flow, b for the convection flow); up keeps a
    QTest::addColumn<double>("least");
    QTest::addColumn<double>("most");

    // A cycle's largest exponent is 0 (along the orbit), a stable point's
    // negative, chaos's positive: per unit of time.
    QTest::newRow("spiral flow, period one") << &SpiralFlow << spiralOpening() << 2.5 << -0.01 << 0.01;
    QTest::newRow("spiral flow, chaotic") << &SpiralFlow << spiralOpening() << 5.7 << 0.03 << 0.3;
    QTest::newRow("convection flow, stable point") << &ConvectionFlow << convectionOpening() << 20.0 << -5.0 << -0.1;
    QTest::newRow("convection flow, chaotic") << &ConvectionFlow << convectionOpening() << 28.0 << 0.5 << 1.5;
}

// A flow's pixel is the exponent of its Euler map per unit of time, the
// same number the tangent method of the exponent measures over the same
// steps (renormalising every step rather than every few).
void ParameterSweepTest::flowPixels()
{
    QFETCH(const Model*, model);
    QFETCH(SimulationState, window);
    QFETCH(double, p);
    QFETCH(double, least);
    QFETCH(double, most);

    PlaneRequest plane = *defaultPlane(*model, window, 1, 1);
    plane.p0 = plane.p1 = p;
    plane.q0 = plane.q1 = window.a;
    plane.transient = stepsFor(*dynamicsOf(*model), window, 50);
    plane.measured = stepsFor(*dynamicsOf(*model), window, 100);
    std::vector<double> value;
    QCOMPARE(computePlaneBand(plane, 0, 1, 1, value), Outcome::Finished);
    QVERIFY2(value[0] >= least && value[0] <= most, qPrintable(QString::number(value[0])));

    SimulationState start = window;
    setParameter(start, plane.across, p);
    LyapunovSettings settings;
    settings.transientSteps = plane.transient;
    settings.measuredSteps = plane.measured;
    settings.renormaliseEvery = 10;
    const LyapunovResult measured = largestLyapunovExponent(*model, start, settings);
    QCOMPARE(measured.outcome, Outcome::Finished);
    QVERIFY2(std::fabs(value[0] - measured.tangent.value) < 1e-9,
             qPrintable(QString("%1 %2").arg(value[0], 0, 'g', 17).arg(measured.tangent.value, 0, 'g', 17)));
}

// Row 0 is the top, where b is largest: at a = 1.4 the quadratic map is
// chaotic at b = 0.25 and periodic at b = −0.25.
void ParameterSweepTest::planeRowsRunTopDown()
{
    PlaneRequest request = *defaultPlane(QuadraticMap, quadraticOpening(), 1, 2);
    request.p0 = request.p1 = 1.4;
    request.q0 = -0.5;
    request.q1 = 0.5;
    std::vector<double> values;
    QCOMPARE(computePlaneBand(request, 0, 2, 2, values), Outcome::Finished);
    QVERIFY(values[0] > 0 && values[1] < 0);
}

// A plane of one row whose one pixel takes 10⁹ steps ends soon after a
// cancel from another thread: the flag is read inside the row.
void ParameterSweepTest::cancelStopsInsideARow()
{
    PlaneRequest request = *defaultPlane(QuadraticMap, quadraticOpening(), 1, 1);
    request.measured = 1'000'000'000;
    std::atomic<bool> cancel = false;
    AnalysisControl control;
    control.cancel = &cancel;
    std::thread canceller([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        cancel = true;
    });
    std::vector<double> values;
    QElapsedTimer clock;
    clock.start();
    QCOMPARE(computePlaneBand(request, 0, 1, 1, values, control), Outcome::Cancelled);
    canceller.join();
    QVERIFY2(clock.elapsed() < 2000, qPrintable(QString::number(clock.elapsed())));
}

QTEST_APPLESS_MAIN(ParameterSweepTest)
#include "ParameterSweepTest.moc"
