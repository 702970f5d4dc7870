#include "analysis/Lyapunov.h"

#include <QTest>

#include <cmath>

#include "../core/BitCompare.h"
#include "OpeningStates.h"

using namespace vortiquo;

namespace {

double combined(double first, double second)
{
    return std::sqrt(first * first + second * second);
}

// The step at which the model's own step first fails from `start`.
std::int64_t firstFaultingStep(const Model& model, SimulationState state)
{
    std::int64_t step = 1;
    while (advance(model, state))
        ++step;
    return step;
}

}  // namespace

class LyapunovTest : public QObject {
    Q_OBJECT

private slots:
    void quadraticMapAtItsOpeningValues();
    void agreesWithAnIndependentComputation_data();
    void agreesWithAnIndependentComputation();
    void faultEndsTheMeasurement_data();
    void faultEndsTheMeasurement();
    void sameBitsAndConvergenceEndsAtTheEstimate();
    void cancelStopsSoon();
};

void LyapunovTest::quadraticMapAtItsOpeningValues()
{
    const SimulationState start = quadraticOpening();
    const LyapunovSettings settings = defaultLyapunovSettings(*dynamicsOf(QuadraticMap), start);
    QCOMPARE(settings.transientSteps, std::int64_t{1000});
    QCOMPARE(settings.measuredSteps, std::int64_t{1000000});
    const LyapunovResult result = largestLyapunovExponent(QuadraticMap, start, settings);
    QCOMPARE(result.outcome, Outcome::Finished);
    QVERIFY2(result.tangent.value >= 0.416 && result.tangent.value <= 0.423,
             qPrintable(QString::number(result.tangent.value)));
    QVERIFY(std::fabs(result.tangent.value - result.twoOrbit.value) <= 0.002);
}

void LyapunovTest::agreesWithAnIndependentComputation_data()
{
    QTest::addColumn<const Model*>("model");
    QTest::addColumn<SimulationState>("start");
    QTest::addColumn<qint64>("transient");
    QTest::addColumn<qint64>("measured");
    QTest::addColumn<double>("reference");
    QTest::addColumn<double>("referenceError");

    // The references come from lyapunov-reference.py: Gram-Schmidt on a full
    // basis started at the identity, run once by hand over the same steps.
    QTest::newRow("convection flow, per unit of time")
        << &ConvectionFlow << convectionOpening() << qint64(100'000) << qint64(2'000'000) << 0.8999194452915676
        << 0.029449573452584924;
    QTest::newRow("spiral flow, per unit of time")
        << &SpiralFlow << spiralOpening() << qint64(10'000) << qint64(2'000'000) << 0.06340199069666218
        << 0.004094414150308492;
    QTest::newRow("recurrence map, per step") << &RecurrenceMap << recurrenceOpening() << qint64(1000)
                                              << qint64(1'000'000) << 0.19625025360219406 << 0.00018470443278481824;
    QTest::newRow("quadratic map, per step") << &QuadraticMap << quadraticOpening() << qint64(1000)
                                             << qint64(1'000'000) << 0.41925234670233585 << 0.00037791077328824953;
}

void LyapunovTest::agreesWithAnIndependentComputation()
{
    QFETCH(const Model*, model);
    QFETCH(SimulationState, start);
    QFETCH(qint64, transient);
    QFETCH(qint64, measured);
    QFETCH(double, reference);
    QFETCH(double, referenceError);

    LyapunovSettings settings = defaultLyapunovSettings(*dynamicsOf(*model), start);
    QCOMPARE(settings.transientSteps, std::int64_t{transient});
    settings.measuredSteps = measured;
    const LyapunovResult result = largestLyapunovExponent(*model, start, settings);
    QCOMPARE(result.outcome, Outcome::Finished);
    const Estimate& tangent = result.tangent;
    const Estimate& twoOrbit = result.twoOrbit;
    QVERIFY(std::fabs(tangent.value - twoOrbit.value) <= 3 * combined(tangent.standardError, twoOrbit.standardError));
    QVERIFY(std::fabs(tangent.value - reference) <= 3 * combined(tangent.standardError, referenceError));
}

void LyapunovTest::faultEndsTheMeasurement_data()
{
    QTest::addColumn<const Model*>("model");
    QTest::addColumn<SimulationState>("start");
    QTest::addColumn<qint64>("transient");

    QTest::newRow("quadratic map escaping during the transient")
        << &QuadraticMap << runStartOf(QuadraticMap, "2", "0.3") << qint64(1000);
    QTest::newRow("quadratic map escaping while measured")
        << &QuadraticMap << runStartOf(QuadraticMap, "2", "0.3") << qint64(3);
    QTest::newRow("recurrence map escaping") << &RecurrenceMap << runStartOf(RecurrenceMap, "1.5", "0.5") << qint64(0);
    QTest::newRow("convection flow with too long a step")
        << &ConvectionFlow << runStartOf(ConvectionFlow, "10", "28", "8.0", "0.5", -8.0 / 3.0) << qint64(0);
}

void LyapunovTest::faultEndsTheMeasurement()
{
    QFETCH(const Model*, model);
    QFETCH(SimulationState, start);
    QFETCH(qint64, transient);

    LyapunovSettings settings = defaultLyapunovSettings(*dynamicsOf(*model), start);
    settings.transientSteps = transient;
    settings.measuredSteps = 1000;
    const LyapunovResult result = largestLyapunovExponent(*model, start, settings);
    QCOMPARE(result.outcome, Outcome::Fault);
    QCOMPARE(result.faultSource, FaultSource::Orbit);
    QCOMPARE(result.faultStep, firstFaultingStep(*model, start));
    QVERIFY(std::isnan(result.tangent.value) && std::isnan(result.twoOrbit.value));
}

void LyapunovTest::sameBitsAndConvergenceEndsAtTheEstimate()
{
    const SimulationState start = spiralOpening();
    LyapunovSettings settings = defaultLyapunovSettings(*dynamicsOf(SpiralFlow), start);
    settings.measuredSteps = 300'007;  // not a multiple of k: the last block ends between two pulls
    settings.convergenceSamples = 250;
    const LyapunovResult first = largestLyapunovExponent(SpiralFlow, start, settings);
    const LyapunovResult second = largestLyapunovExponent(SpiralFlow, start, settings);
    QCOMPARE(first.outcome, Outcome::Finished);
    COMPARE_BITS(second.tangent.value, first.tangent.value);
    COMPARE_BITS(second.twoOrbit.standardError, first.twoOrbit.standardError);
    QCOMPARE(first.convergence.size(), std::size_t(250));
    const ConvergencePoint& last = first.convergence.back();
    QCOMPARE(last.step, settings.measuredSteps);
    COMPARE_BITS(last.time, 300'007 * 1e-3);
    COMPARE_BITS(last.tangent, first.tangent.value);
    COMPARE_BITS(last.twoOrbit, first.twoOrbit.value);
}

// The first progress report cancels; the next look at the flag stops the run.
void LyapunovTest::cancelStopsSoon()
{
    std::atomic<bool> cancel = false;
    double reported = -1;
    const AnalysisControl control{&cancel, [&](double fraction) {
                                      reported = fraction;
                                      cancel = true;
                                  },
                                  {}};
    const SimulationState start = convectionOpening();
    const LyapunovSettings settings = defaultLyapunovSettings(*dynamicsOf(ConvectionFlow), start);
    const LyapunovResult result = largestLyapunovExponent(ConvectionFlow, start, settings, control);
    QCOMPARE(result.outcome, Outcome::Cancelled);
    QCOMPARE(reported, 65536.0 / (100'000 + 10'000'000));
}

QTEST_APPLESS_MAIN(LyapunovTest)
#include "LyapunovTest.moc"
