// The flows read as maps: the maxima of a column are those of the Euler
// iterates, found again here by a loop of our own; the spiral flow's
// cascade lies where its Euler map puts it; a section's crossing lies on a
// straight orbit where it crosses the plane.
#include <QTest>

#include <cmath>
#include <cstring>
#include <vector>

#include "OpeningStates.h"
#include "analysis/OrbitEvents.h"
#include "analysis/ParameterSweep.h"

using namespace vortiquo;

Q_DECLARE_METATYPE(Coordinate)

namespace {

// The Euler steps of the two flows written out again, operation by
// operation in the models' order, and the maxima of one coordinate found
// with a window of three iterates.
struct IndependentFlow {
    bool spiral;
    double a, b, c, dt;

    void step(double& x, double& y, double& z) const
    {
        double dx, dy, dz;
        if (spiral) {
            dx = -(y + z);
            dy = x + (a * y);
            dz = ((x * z) - (c * z)) + b;
        } else {
            dx = a * (y - x);
            dy = ((b * x) - y) - (x * z);
            dz = (c * z) + (x * y);
        }
        x = x + dt * dx;
        y = y + dt * dy;
        z = z + dz * dt;
    }

    std::vector<double> maxima(std::int64_t transient, std::int64_t steps, int coordinate) const
    {
        double p[3] = {1, 1, 1};
        for (std::int64_t n = 0; n < transient; ++n)
            step(p[0], p[1], p[2]);
        std::vector<double> found;
        double before2 = NAN, before1 = p[coordinate];
        for (std::int64_t n = 0; n < steps; ++n) {
            step(p[0], p[1], p[2]);
            if (before1 > before2 && before1 >= p[coordinate])
                found.push_back(before1);
            before2 = before1;
            before1 = p[coordinate];
        }
        return found;
    }
};

// The maxima of one column of the diagram, as the band driver hands them over.
std::vector<double> columnMaxima(const Model& model, SimulationState window, SweepParameter swept, double value,
                                 Coordinate recorded, std::int64_t transient, std::int64_t steps)
{
    OrbitDiagramRequest request = *defaultOrbitDiagram(model, window, 1, 64);
    request.parameter = swept;
    request.p0 = request.p1 = value;
    request.recorded = recorded;
    request.transient = transient;
    request.points = steps;
    std::vector<double> maxima;
    std::vector<std::uint32_t> counts;
    const Outcome outcome = computeDiagramBand(request, 0, 1, 1, counts, {}, [&](int, std::span<const double> values) {
        maxima.assign(values.begin(), values.end());
        return true;
    });
    return outcome == Outcome::Finished ? maxima : std::vector<double>{};
}

// The period of the last maxima: the smallest p with M(k + p) within
// `tolerance` of M(k) over the last 24; 0 when none up to 12 is.
int periodOf(const std::vector<double>& maxima, double tolerance)
{
    const std::size_t last = maxima.size();
    for (std::size_t period = 1; period <= 12 && last >= 24 + period; ++period) {
        bool repeats = true;
        for (std::size_t k = last - 24; k + period < last; ++k)
            repeats = repeats && std::fabs(maxima[k + period] - maxima[k]) < tolerance;
        if (repeats)
            return static_cast<int>(period);
    }
    return 0;
}

// A model that moves in a straight line, steps of (1/4, −1/2, 1/8): every
// iterate exact in binary.
bool straightStep(SimulationState& s)
{
    s.xNext = s.x + 0.25;
    s.yNext = s.y - 0.5;
    s.zNext = s.z + 0.125;
    return true;
}
const Model StraightLine = {straightStep, nullptr, 3, nullptr, nullptr};

}  // namespace

class FlowSweepTest : public QObject {
    Q_OBJECT
private slots:
    void columnsAreTheEulerIteratesMaxima_data();
    void columnsAreTheEulerIteratesMaxima();
    void cascadeWhereTheEulerMapPutsIt_data();
    void cascadeWhereTheEulerMapPutsIt();
    void maximumRule_data();
    void maximumRule();
    void crossingOnAStraightOrbit_data();
    void crossingOnAStraightOrbit();
    void overflowKeepsWhatCameBefore();
};

void FlowSweepTest::columnsAreTheEulerIteratesMaxima_data()
{
    QTest::addColumn<bool>("spiral");
    QTest::addColumn<double>("value");  // c of the spiral flow, b of the convection flow
    QTest::addColumn<int>("coordinate");
    QTest::addColumn<int>("period");  // 0: chaotic
    QTest::newRow("spiral flow, period one") << true << 2.5 << 0 << 1;
    QTest::newRow("spiral flow, period two") << true << 3.3 << 0 << 2;
    QTest::newRow("spiral flow, chaotic") << true << 5.7 << 0 << 0;
    QTest::newRow("convection flow, chaotic maxima of z") << false << 28.0 << 2 << 0;
}

// Bit for bit the maxima of the same Euler iterates, and as periodic as
// the column should be.
void FlowSweepTest::columnsAreTheEulerIteratesMaxima()
{
    QFETCH(bool, spiral);
    QFETCH(double, value);
    QFETCH(int, coordinate);
    QFETCH(int, period);
    const SimulationState window = spiral ? spiralOpening() : convectionOpening();
    const IndependentFlow flow{spiral, window.a, spiral ? window.b : value, spiral ? value : window.c, window.dt};
    const std::int64_t transient = spiral ? 300'000 : 100'000, steps = spiral ? 200'000 : 200'000;
    const std::vector<double> expected = flow.maxima(transient, steps, coordinate);
    const std::vector<double> found =
        columnMaxima(spiral ? SpiralFlow : ConvectionFlow, window, spiral ? SweepParameter::C : SweepParameter::B,
                     value, static_cast<Coordinate>(coordinate), transient, steps);
    QVERIFY(expected.size() > 20);
    QCOMPARE(found.size(), expected.size());
    QVERIFY(std::memcmp(found.data(), expected.data(), found.size() * sizeof(double)) == 0);
    QCOMPARE(periodOf(found, 1e-6), period);
}

void FlowSweepTest::cascadeWhereTheEulerMapPutsIt_data()
{
    QTest::addColumn<double>("c");
    QTest::addColumn<int>("period");
    // At a = b = 0.2 and Δt = 10⁻³ the spiral flow doubles its period near
    // c = 2.83 and again near c = 3.84; the cascade accumulates near 4.2.
    QTest::newRow("period one below the first doubling") << 2.70 << 1;
    QTest::newRow("period two above it") << 2.95 << 2;
    QTest::newRow("period two below the second doubling") << 3.75 << 2;
    QTest::newRow("period four above it") << 3.95 << 4;
    QTest::newRow("chaos past the accumulation") << 4.30 << 0;
}

void FlowSweepTest::cascadeWhereTheEulerMapPutsIt()
{
    QFETCH(double, c);
    QFETCH(int, period);
    const std::vector<double> maxima =
        columnMaxima(SpiralFlow, spiralOpening(), SweepParameter::C, c, Coordinate::X, 1'000'000, 200'000);
    QCOMPARE(periodOf(maxima, 1e-3), period);
}

void FlowSweepTest::maximumRule_data()
{
    QTest::addColumn<std::vector<double>>("iterates");
    QTest::addColumn<std::vector<double>>("maxima");
    using V = std::vector<double>;
    QTest::newRow("a peak") << V{1, 3, 2} << V{3};
    QTest::newRow("a flat top counts once, at its first iterate") << V{1, 3, 3, 2} << V{3};
    QTest::newRow("a step up then on is a maximum where it stays") << V{1, 2, 2, 3, 1} << V{2, 3};
    QTest::newRow("the first iterate has no neighbour before it") << V{3, 2, 1} << V{};
    QTest::newRow("the last has none after it") << V{1, 2, 3} << V{};
    QTest::newRow("two peaks") << V{0, 5, 1, 4, 0} << V{5, 4};
}

void FlowSweepTest::maximumRule()
{
    QFETCH(std::vector<double>, iterates);
    QFETCH(std::vector<double>, maxima);
    MaximumFinder finder(iterates.front());
    std::vector<double> found;
    for (std::size_t k = 1; k < iterates.size(); ++k)
        if (double maximum = 0; finder.next(iterates[k], maximum))
            found.push_back(maximum);
    QCOMPARE(found, maxima);
}

void FlowSweepTest::crossingOnAStraightOrbit_data()
{
    QTest::addColumn<Coordinate>("at");
    QTest::addColumn<double>("level");
    QTest::addColumn<bool>("upward");
    QTest::addColumn<int>("crossings");
    // From (0, 0, 0): x = t/4, y = −t/2, z = t/8 after t steps.
    QTest::newRow("z rises through 0.3") << Coordinate::Z << 0.3 << true << 1;
    QTest::newRow("but never falls through it") << Coordinate::Z << 0.3 << false << 0;
    QTest::newRow("y falls through −1.3") << Coordinate::Y << -1.3 << false << 1;
    QTest::newRow("an iterate on the plane is the crossing") << Coordinate::X << 0.75 << true << 1;
    QTest::newRow("a plane the transient passed") << Coordinate::Z << 0.1 << true << 0;
}

void FlowSweepTest::crossingOnAStraightOrbit()
{
    QFETCH(Coordinate, at);
    QFETCH(double, level);
    QFETCH(bool, upward);
    QFETCH(int, crossings);
    SimulationState start;
    const OrbitRequest request{&StraightLine, start, 1, 40};
    std::vector<Tangent> found;
    const OrbitSearch search = orbitSection(request, SectionPlane{at, level, upward}, [&](const Tangent& point) {
        found.push_back(point);
        return true;
    });
    QCOMPARE(search.outcome, Outcome::Finished);
    QCOMPARE(int(found.size()), crossings);
    QCOMPARE(search.found, std::int64_t(crossings));
    for (const Tangent& point : found) {
        QCOMPARE(point[static_cast<std::size_t>(at)], level);  // on the plane exactly
        const double t = point[0] * 4;                       // and on the line
        QVERIFY(std::fabs(point[1] + t / 2) < 1e-15 && std::fabs(point[2] - t / 8) < 1e-15);
    }
}

// An Euler step far too long for the convection flow overflows: the search
// ends on a fault at its step and keeps the maxima found before it.
void FlowSweepTest::overflowKeepsWhatCameBefore()
{
    SimulationState start = convectionOpening();
    start.dt = 0.03;
    std::int64_t found = 0;
    const OrbitSearch search = orbitMaxima(OrbitRequest{&ConvectionFlow, start, 0, 1'000'000}, Coordinate::Z,
                                           [&](double) { return ++found > 0; });
    QCOMPARE(search.outcome, Outcome::Fault);
    QVERIFY(search.faultStep > 0 && search.faultStep < 1'000'000);
    QCOMPARE(search.found, found);
}

QTEST_APPLESS_MAIN(FlowSweepTest)
#include "FlowSweepTest.moc"
