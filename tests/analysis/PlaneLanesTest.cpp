#include "analysis/PlaneKernels.h"

#include <QTest>

#include <atomic>
#include <cmath>
#include <initializer_list>
#include <vector>

#include "../core/BitCompare.h"
#include "OpeningStates.h"
#include "analysis/ParameterSweep.h"

using namespace vortiquo;

Q_DECLARE_METATYPE(std::vector<SimulationState>)

namespace {

// The pixel as the sweep's own reference computes it: one orbit, the step
// and the Jacobian reached through the model's table.
double referenceExponent(const Model& model, const SimulationState& start, std::int64_t transient,
                         std::int64_t measured)
{
    PlaneRequest request;
    request.model = &model;
    request.base = start;
    request.across = SweepParameter::A;
    request.up = SweepParameter::B;
    request.transient = transient;
    request.measured = measured;
    return planeExponent(request, start.a, start.b);
}

// A columns × rows grid of a and b over the cell centres of [a0, a1] × [b0, b1].
std::vector<std::vector<SimulationState>> grid(const SimulationState& base, double a0, double a1, int columns,
                                               double b0, double b1, int rows)
{
    std::vector<std::vector<SimulationState>> plane(static_cast<std::size_t>(rows));
    for (int row = 0; row < rows; ++row)
        for (int column = 0; column < columns; ++column) {
            SimulationState start = base;
            start.a = a0 + ((column + 0.5) * (a1 - a0)) / columns;
            start.b = b0 + ((row + 0.5) * (b1 - b0)) / rows;
            plane[row].push_back(start);
        }
    return plane;
}

SimulationState withStart(SimulationState state, double x, double y, double z = 0)
{
    state.x = x;
    state.y = y;
    state.z = z;
    return state;
}

SimulationState withStep(SimulationState state, double dt)
{
    state.dt = dt;
    return state;
}

// Pixels with the start and b of `state` and each a given.
std::vector<SimulationState> alongA(const SimulationState& state, std::initializer_list<double> values)
{
    std::vector<SimulationState> pixels;
    for (double a : values) {
        pixels.push_back(state);
        pixels.back().a = a;
    }
    return pixels;
}

// From (0, 0, b) with a·dt = 1, the first Euler step of the convection flow
// maps the tangent (1, 0, 0) to zero.
SimulationState vanishingConvection(double b)
{
    SimulationState state = withStep(withStart(convectionOpening(), 0, 0, b), 0.125);
    state.a = 8;
    state.b = b;
    return state;
}

}  // namespace

class PlaneLanesTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void everyPathGivesTheReferenceBits_data();
    void everyPathGivesTheReferenceBits();
    void everyPathLooksAtTheCancelFlag();
    void bandsHoldTheReference_data();
    void bandsHoldTheReference();
};

void PlaneLanesTest::initTestCase()
{
    QStringList paths;
    for (PlanePath path : availablePlanePaths())
        paths << QString::fromLatin1(planePathName(path));
    qInfo("paths on this processor: %s", qPrintable(paths.join(QStringLiteral(", "))));
}

void PlaneLanesTest::everyPathGivesTheReferenceBits_data()
{
    QTest::addColumn<const Model*>("model");
    QTest::addColumn<SimulationState>("base");
    QTest::addColumn<double>("a0");
    QTest::addColumn<double>("a1");
    QTest::addColumn<int>("columns");
    QTest::addColumn<double>("b0");
    QTest::addColumn<double>("b1");
    QTest::addColumn<int>("rows");
    QTest::addColumn<std::vector<SimulationState>>("more");  // a row of pixels of their own below the grid
    QTest::addColumn<int>("transient");
    QTest::addColumn<int>("measured");
    QTest::addColumn<bool>("escapes");   // some pixels are NaN
    QTest::addColumn<bool>("vanishes");  // some pixels are −∞

    const SimulationState quadratic = withStart(quadraticOpening(), 0, 0);
    const SimulationState recurrence = withStart(recurrenceOpening(), 0, 0);
    // b = 0 is the middle row: from (0, 0) the tangent vanishes at once.
    QTest::newRow("quadratic map: escapes, and a row that vanishes")
        << &QuadraticMap << quadratic << 0.8 << 2.0 << 15 << -0.5 << 0.5 << 5 << std::vector<SimulationState>{}
        << 300 << 500 << true << true;
    // The tangent shrinks by b each step and leaves [1e-100, 1e100] between
    // the every-16-step renormalisations, at a different step in each lane.
    QTest::newRow("quadratic map: contracting fast, renormalised early")
        << &QuadraticMap << quadratic << 0.2 << 1.2 << 11 << 1e-12 << 1e-11 << 3 << std::vector<SimulationState>{}
        << 37 << 203 << false << false;
    // a = 0 is the middle column: from (0, 0) the tangent vanishes at once.
    QTest::newRow("recurrence map: escapes, and a column that vanishes")
        << &RecurrenceMap << recurrence << -1.0 << 1.0 << 9 << -2.4 << -0.4 << 6 << std::vector<SimulationState>{}
        << 250 << 450 << true << true;
    QTest::newRow("recurrence map: no transient, rows narrower than the lanes")
        << &RecurrenceMap << recurrenceOpening() << -0.8 << 0.6 << 3 << -2.2 << -0.6 << 4
        << std::vector<SimulationState>{} << 0 << 333 << true << false;
    // At b = 0 the origin is a fixed point, where the tangent is multiplied
    // by a at every step: for |a| far from 1 its size leaves [1e-100, 1e100]
    // between two renormalisations, its squares leave the double range, or
    // it overflows; at a = 0 it vanishes.
    SimulationState fixedRecurrence = recurrence;
    fixedRecurrence.b = 0;
    QTest::newRow("recurrence map: at its fixed point, stretched and shrunk out of range")
        << &RecurrenceMap << recurrence << 0.5 << 2.5 << 2 << 0.0 << 0.0 << 1
        << alongA(fixedRecurrence, {1e7, -3e6, 1e-7, -5e-9, 1e45, 1e-45, 1e200, 1e300, 0.0, 2.0, -1e8}) << 20 << 100
        << false << true;
    // Euler steps too long for the larger a blow up.
    QTest::newRow("convection flow: long steps escape, one start vanishes")
        << &ConvectionFlow << withStep(convectionOpening(), 0.02) << 5.0 << 110.0 << 13 << 10.0 << 40.0 << 4
        << std::vector<SimulationState>{vanishingConvection(28), vanishingConvection(-3)} << 400 << 1200 << true
        << true;
    // The origin is the convection flow's fixed point; for a large a its
    // Euler step stretches the tangent by about a·dt at every step.
    QTest::newRow("convection flow: at its fixed point, stretched out of range")
        << &ConvectionFlow << withStep(withStart(convectionOpening(), 0, 0, 0), 0.1) << 1.0 << 5.0 << 2 << 20.0
        << 30.0 << 1 << alongA(withStep(withStart(convectionOpening(), 0, 0, 0), 0.1), {1e8, -1e9, 1e50, 1e300})
        << 30 << 90 << false << false;
    QTest::newRow("spiral flow: long steps escape")
        << &SpiralFlow << withStep(spiralOpening(), 0.05) << 0.1 << 0.6 << 12 << 0.1 << 2.0 << 4
        << std::vector<SimulationState>{} << 500 << 1500 << true << false;
}

// Every pixel of each plane, on every path this processor has, holds the
// reference's bits: finite exponents, escapes (NaN) and vanished vectors
// (−∞) alike, however the lanes were refilled.
void PlaneLanesTest::everyPathGivesTheReferenceBits()
{
    QFETCH(const Model*, model);
    QFETCH(SimulationState, base);
    QFETCH(double, a0);
    QFETCH(double, a1);
    QFETCH(int, columns);
    QFETCH(double, b0);
    QFETCH(double, b1);
    QFETCH(int, rows);
    QFETCH(std::vector<SimulationState>, more);
    QFETCH(int, transient);
    QFETCH(int, measured);
    QFETCH(bool, escapes);
    QFETCH(bool, vanishes);

    std::vector<std::vector<SimulationState>> plane = grid(base, a0, a1, columns, b0, b1, rows);
    if (!more.empty())
        plane.push_back(more);
    int escaped = 0, vanished = 0, finite = 0;
    for (const std::vector<SimulationState>& starts : plane) {
        std::vector<double> expected;
        for (const SimulationState& start : starts) {
            expected.push_back(referenceExponent(*model, start, transient, measured));
            const double value = expected.back();
            (std::isnan(value) ? escaped : std::isinf(value) ? vanished : finite) += 1;
        }
        for (PlanePath path : availablePlanePaths()) {
            std::vector<double> values(starts.size(), 0.5);
            const PlaneRow row{starts.data(), static_cast<int>(starts.size()), transient, measured,
                               stepDuration(*dynamicsOf(*model), starts.front()), values.data()};
            QVERIFY(computePlaneRow(*model, row, path));
            for (std::size_t pixel = 0; pixel < starts.size(); ++pixel) {
                if (!sameBits(values[pixel], expected[pixel]))
                    QFAIL(qPrintable(QStringLiteral("%1, a = %2, b = %3: %4, expected %5")
                                         .arg(QString::fromLatin1(planePathName(path)))
                                         .arg(starts[pixel].a, 0, 'g', 17)
                                         .arg(starts[pixel].b, 0, 'g', 17)
                                         .arg(describeDouble(values[pixel]), describeDouble(expected[pixel]))));
            }
        }
    }
    // The plane holds the kinds of pixel it is meant to prove.
    QVERIFY(finite > 0);
    QCOMPARE(escaped > 0, escapes);
    QCOMPARE(vanished > 0, vanishes);
}

// A pixel of 10⁹ steps with the flag already raised: every path stops
// within its first few thousand steps.
void PlaneLanesTest::everyPathLooksAtTheCancelFlag()
{
    const std::atomic<bool> cancel = true;
    AnalysisControl control;
    control.cancel = &cancel;
    const SimulationState start = quadraticOpening();
    for (PlanePath path : availablePlanePaths()) {
        double value = 0;
        const PlaneRow row{&start, 1, 0, 1'000'000'000, 1.0, &value};
        QVERIFY2(!computePlaneRow(QuadraticMap, row, path, control), planePathName(path));
    }
}

void PlaneLanesTest::bandsHoldTheReference_data()
{
    QTest::addColumn<const Model*>("model");
    QTest::addColumn<SimulationState>("window");

    QTest::newRow("convection flow") << &ConvectionFlow << withStep(convectionOpening(), 0.01);
    QTest::newRow("spiral flow") << &SpiralFlow << withStep(spiralOpening(), 0.02);
    QTest::newRow("recurrence map") << &RecurrenceMap << recurrenceOpening();
    QTest::newRow("quadratic map") << &QuadraticMap << quadraticOpening();
}

// The sweep hands its rows to the kernels with each pixel's two parameters
// and the step's duration: a band of the default plane, whichever two
// parameters it spans, holds what the reference gives each pixel.
void PlaneLanesTest::bandsHoldTheReference()
{
    QFETCH(const Model*, model);
    QFETCH(SimulationState, window);

    PlaneRequest request = *defaultPlane(*model, window, 7, 5);
    request.transient = 150;
    request.measured = 400;
    std::vector<double> band;
    QCOMPARE(computePlaneBand(request, 1, 3, 2, band), Outcome::Finished);
    for (int row = 0; row < 3; ++row)
        for (int column = 0; column < request.width; ++column)
            COMPARE_BITS(band[static_cast<std::size_t>(row * request.width + column)],
                         planeExponent(request, planeP(request, column), planeQ(request, row + 1)));
}

QTEST_APPLESS_MAIN(PlaneLanesTest)
#include "PlaneLanesTest.moc"
