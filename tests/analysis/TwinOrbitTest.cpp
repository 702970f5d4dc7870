#include "analysis/TwinOrbit.h"

#include <QTest>

#include <cmath>

#include "OpeningStates.h"
#include "analysis/Lyapunov.h"

using namespace vortiquo;

class TwinOrbitTest : public QObject {
    Q_OBJECT

private slots:
    void growthMatchesTheExponent_data();
    void growthMatchesTheExponent();
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

void TwinOrbitTest::faultStopsTheSeries()
{
    const SimulationState start = runStartOf(QuadraticMap, "2", "0.3");
    const TwinSettings settings = defaultTwinSettings(*dynamicsOf(QuadraticMap), start);
    const TwinSeries series = twinOrbitSeries(QuadraticMap, start, settings);
    QCOMPARE(series.outcome, Outcome::Fault);
    QCOMPARE(series.faultSource, FaultSource::Orbit);
    QCOMPARE(series.faultStep, std::int64_t{12});
    QCOMPARE(series.samples.size(), std::size_t(12));  // steps 0 to 11
    QVERIFY(std::isfinite(series.samples.back().x));
}

QTEST_APPLESS_MAIN(TwinOrbitTest)
#include "TwinOrbitTest.moc"
