#include "analysis/TwinOrbit.h"

#include <QTest>

#include <cmath>

#include "../core/BitCompare.h"
#include "OpeningStates.h"
#include "analysis/Lyapunov.h"

class TwinOrbitTest : public QObject {
    Q_OBJECT

private slots:
    void growthMatchesTheExponent_data();
    void growthMatchesTheExponent();
    void samplesFollowTheRun_data();
    void samplesFollowTheRun();
    void faultStopsTheSeries();
};

void TwinOrbitTest::growthMatchesTheExponent_data()
{
    QTest::addColumn<const Model*>("model");
    QTest::addColumn<SimulationState>("start");

    QTest::newRow("recurrence map") << &RecurrenceMap << recurrenceOpening();
    QTest::newRow("quadratic map") << &QuadraticMap << quadraticOpening();
}

// Before the twin parts, the separation grows about as fast as the exponent
// says, and it parts within the default length of the series.
void TwinOrbitTest::growthMatchesTheExponent()
{
    QFETCH(const Model*, model);
    QFETCH(SimulationState, start);

    const Dynamics& dynamics = *dynamicsOf(*model);
    const TwinSeries series = twinOrbitSeries(*model, start, defaultTwinSettings(dynamics, start));
    QCOMPARE(series.outcome, Outcome::Finished);
    const std::optional<TwinSample> parting = partingSample(series);
    QVERIFY(parting.has_value());
    const GrowthFit fit = fitGrowth(series);
    QVERIFY(fit.valid && fit.endTime < parting->time && fit.samples >= 20);
    const double exponent =
        largestLyapunovExponent(*model, start, defaultLyapunovSettings(dynamics, start)).tangent.value;
    QVERIFY2(std::fabs(fit.rate - exponent) < 0.15 * exponent,
             qPrintable(QStringLiteral("growth %1, exponent %2").arg(fit.rate).arg(exponent)));
    QVERIFY(std::fabs(fit.intercept - std::log(1e-8)) < 2);
}

void TwinOrbitTest::samplesFollowTheRun_data()
{
    QTest::addColumn<const Model*>("model");
    QTest::addColumn<SimulationState>("start");

    QTest::newRow("convection flow, every 10 steps") << &ConvectionFlow << convectionOpening();
    QTest::newRow("quadratic map, every step") << &QuadraticMap << quadraticOpening();
}

// The orbit's samples are the run's points; a twin started on the orbit
// stays on it; the size is the box of the run's points.
void TwinOrbitTest::samplesFollowTheRun()
{
    QFETCH(const Model*, model);
    QFETCH(SimulationState, start);

    TwinSettings settings = defaultTwinSettings(*dynamicsOf(*model), start);
    settings.steps = 1005;
    settings.epsilon = 0;
    const TwinSeries series = twinOrbitSeries(*model, start, settings);
    QCOMPARE(series.samples.size(), std::size_t(1005 / settings.sampleEvery + 1));

    SimulationState run = start;
    double low = run.x, high = run.x;
    std::int64_t step = 0;
    for (const TwinSample& sample : series.samples) {
        while (step < sample.step) {
            QVERIFY(advance(*model, run));
            low = std::min(low, run.x);
            high = std::max(high, run.x);
            ++step;
        }
        COMPARE_BITS(sample.x, run.x);
        COMPARE_BITS(sample.twinX, run.x);
        COMPARE_BITS(sample.separation, 0.0);
        COMPARE_BITS(sample.time, static_cast<double>(step) * stepDuration(*dynamicsOf(*model), start));
    }
    QVERIFY(series.attractorSize >= high - low);
}

void TwinOrbitTest::faultStopsTheSeries()
{
    const SimulationState start = runStartOf(QuadraticMap, "2", "0.3");
    const TwinSeries series = twinOrbitSeries(QuadraticMap, start, defaultTwinSettings(*dynamicsOf(QuadraticMap), start));
    QCOMPARE(series.outcome, Outcome::Fault);
    QCOMPARE(series.faultSource, FaultSource::Orbit);
    QCOMPARE(series.faultStep, std::int64_t{12});
    QCOMPARE(series.samples.size(), std::size_t(12));  // steps 0 to 11
    QVERIFY(std::isfinite(series.samples.back().x));
}

QTEST_APPLESS_MAIN(TwinOrbitTest)
#include "TwinOrbitTest.moc"
