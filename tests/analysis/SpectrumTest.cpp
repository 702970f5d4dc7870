#include "analysis/Spectrum.h"

#include <QTest>

#include <cmath>

#include "../core/BitCompare.h"
#include "OpeningStates.h"

using namespace vortiquo;

namespace {

// A map's state as its window makes it, from the start its fields x0, y0 open with: (0, 0).
SimulationState fieldOpening(const Model& model, const char* a, const char* b)
{
    SimulationState state = runStartOf(model, a, b);
    state.x = 0;
    state.y = 0;
    return state;
}

SpectrumSettings settingsFor(const Model& model, const SimulationState& start, std::int64_t measured)
{
    SpectrumSettings settings = defaultSpectrumSettings(*dynamicsOf(model), start);
    settings.measuredSteps = measured;
    return settings;
}

}  // namespace

class SpectrumTest : public QObject {
    Q_OBJECT

private slots:
    void sumIsTheMeanLogDeterminant_data();
    void sumIsTheMeanLogDeterminant();
    void quadraticMapSumsToLogB_data();
    void quadraticMapSumsToLogB();
    void singularJacobian_data();
    void singularJacobian();
    void kaplanYorke_data();
    void kaplanYorke();
    void sameInputsSameBits();
};

// The self-check: the triangular factors' diagonals multiply to the
// determinants' product, so the two means agree to rounding.
void SpectrumTest::sumIsTheMeanLogDeterminant_data()
{
    QTest::addColumn<const Model*>("model");
    QTest::addColumn<SimulationState>("start");
    QTest::addColumn<qint64>("measured");
    QTest::addColumn<double>("largestLow");
    QTest::addColumn<double>("largestHigh");
    QTest::newRow("convection flow, per unit of time") << &ConvectionFlow << convectionOpening() << qint64(400'000)
                                                       << 0.5 << 1.3;
    QTest::newRow("spiral flow, per unit of time") << &SpiralFlow << spiralOpening() << qint64(400'000) << 0.0 << 0.2;
    // Not invertible, and both exponents positive: the sum is too.
    QTest::newRow("recurrence map, from the fields' (0, 0)")
        << &RecurrenceMap << fieldOpening(RecurrenceMap, "-0.1", "-1.7") << qint64(200'000) << 0.19 << 0.21;
    QTest::newRow("quadratic map") << &QuadraticMap << quadraticOpening() << qint64(200'000) << 0.41 << 0.43;
}

void SpectrumTest::sumIsTheMeanLogDeterminant()
{
    QFETCH(const Model*, model);
    QFETCH(SimulationState, start);
    QFETCH(qint64, measured);
    QFETCH(double, largestLow);
    QFETCH(double, largestHigh);
    const SpectrumResult result = lyapunovSpectrum(*model, start, settingsFor(*model, start, measured));
    QCOMPARE(result.outcome, Outcome::Finished);
    QCOMPARE(result.count, model->coordinates);
    const double sum = result.sum.value, logDeterminant = result.logDeterminant.value;
    QVERIFY2(std::fabs(sum - logDeterminant) <= 1e-11 * std::fmax(1.0, std::fabs(logDeterminant)),
             qPrintable(QStringLiteral("%1 against %2").arg(sum, 0, 'g', 17).arg(logDeterminant, 0, 'g', 17)));
    QVERIFY2(result.exponents[0].value >= largestLow && result.exponents[0].value <= largestHigh,
             qPrintable(QString::number(result.exponents[0].value)));
    for (int i = 1; i < result.count; ++i)
        QVERIFY(result.exponents[i].value <= result.exponents[i - 1].value);
    if (model == &RecurrenceMap) {
        QVERIFY(result.exponents[1].value > 0);
        QCOMPARE(result.kaplanYorke.value, 2.0);
        QCOMPARE(result.transientRestarts, std::int64_t{2});  // x = 0 at the first two steps
    }
}

// det J = −b everywhere, chaotic orbit or periodic one.
void SpectrumTest::quadraticMapSumsToLogB_data()
{
    QTest::addColumn<QString>("a");
    QTest::addColumn<QString>("b");
    QTest::addColumn<double>("dimension");  // Kaplan–Yorke, to two decimals
    QTest::newRow("chaotic, at the opening values") << "1.4" << "0.3" << 1.26;
    QTest::newRow("periodic: both exponents negative") << "1.0" << "0.3" << 0.0;
}

void SpectrumTest::quadraticMapSumsToLogB()
{
    QFETCH(QString, a);
    QFETCH(QString, b);
    QFETCH(double, dimension);
    const SimulationState start = runStartOf(QuadraticMap, a.toLatin1().constData(), b.toLatin1().constData());
    const SpectrumResult result = lyapunovSpectrum(QuadraticMap, start, settingsFor(QuadraticMap, start, 200'000));
    QCOMPARE(result.outcome, Outcome::Finished);
    const double logB = std::log(std::fabs(start.b));
    QVERIFY2(std::fabs(result.exponents[0].value + result.exponents[1].value - logB) <= 1e-14,
             qPrintable(QString::number(result.sum.value - logB)));
    QVERIFY(std::fabs(result.logDeterminant.value - logB) <= 1e-14);
    QVERIFY2(std::fabs(result.kaplanYorke.value - dimension) <= 0.02, qPrintable(QString::number(result.kaplanYorke.value)));
}

// The recurrence map's Jacobian is singular at x = 0, where its orbit from
// the fields' (0, 0) stands at steps 1 and 2; at a = 0 it collapses even the
// largest exponent's single tangent. Inside the transient the vectors start
// afresh; after it the collapse is a fault with its step.
void SpectrumTest::singularJacobian_data()
{
    QTest::addColumn<QString>("a");
    QTest::addColumn<bool>("largestOnly");
    QTest::addColumn<qint64>("transient");
    QTest::addColumn<qint64>("faultStep");  // 0: finished
    QTest::newRow("spectrum, singular first step measured") << "-0.1" << false << qint64(0) << qint64(1);
    QTest::newRow("spectrum, second singular step measured") << "-0.1" << false << qint64(1) << qint64(2);
    QTest::newRow("spectrum, both inside the transient") << "-0.1" << false << qint64(2) << qint64(0);
    QTest::newRow("largest, a = 0, first step measured") << "0" << true << qint64(0) << qint64(1);
    QTest::newRow("largest, a = 0, inside the transient") << "0" << true << qint64(1000) << qint64(0);
}

void SpectrumTest::singularJacobian()
{
    QFETCH(QString, a);
    QFETCH(bool, largestOnly);
    QFETCH(qint64, transient);
    QFETCH(qint64, faultStep);
    const SimulationState start = fieldOpening(RecurrenceMap, a.toLatin1().constData(), "-1.7");
    Outcome outcome;
    FaultSource source;
    std::int64_t step;
    double value;
    if (largestOnly) {
        LyapunovSettings settings = defaultLyapunovSettings(*dynamicsOf(RecurrenceMap), start);
        settings.transientSteps = transient;
        settings.measuredSteps = 10'000;
        const LyapunovResult result = largestLyapunovExponent(RecurrenceMap, start, settings);
        outcome = result.outcome, source = result.faultSource, step = result.faultStep, value = result.tangent.value;
    } else {
        SpectrumSettings settings = settingsFor(RecurrenceMap, start, 10'000);
        settings.transientSteps = transient;
        const SpectrumResult result = lyapunovSpectrum(RecurrenceMap, start, settings);
        outcome = result.outcome, source = result.faultSource, step = result.faultStep;
        value = result.exponents[1].value;
    }
    if (faultStep == 0) {
        QCOMPARE(outcome, Outcome::Finished);
        QVERIFY(std::isfinite(value));
    } else {
        QCOMPARE(outcome, Outcome::Fault);
        QCOMPARE(source, FaultSource::Tangent);
        QCOMPARE(step, std::int64_t{faultStep});
        QVERIFY(std::isnan(value));
    }
}

void SpectrumTest::kaplanYorke_data()
{
    QTest::addColumn<QList<double>>("exponents");
    QTest::addColumn<double>("dimension");
    QTest::newRow("flow: 2 + λ₁ / |λ₃|") << QList<double>{0.9, 0.0, -14.5} << 2 + 0.9 / 14.5;
    QTest::newRow("in any order") << QList<double>{-14.5, 0.9, 0.0} << 2 + 0.9 / 14.5;
    QTest::newRow("map: 1 + λ₁ / |λ₂|") << QList<double>{0.42, -1.62} << 1 + 0.42 / 1.62;
    QTest::newRow("sum positive: the whole space") << QList<double>{0.2, 0.14} << 2.0;
    QTest::newRow("largest negative: a point") << QList<double>{-0.1, -0.5} << 0.0;
    QTest::newRow("λ₂ drawing the partial sum below zero") << QList<double>{0.5, -0.8, -1.0} << 1 + 0.5 / 0.8;
    QTest::newRow("not a number") << QList<double>{0.5, qQNaN()} << qQNaN();
}

void SpectrumTest::kaplanYorke()
{
    QFETCH(QList<double>, exponents);
    QFETCH(double, dimension);
    const double found = kaplanYorkeDimension(std::span<const double>(exponents.constData(), exponents.size()));
    if (std::isnan(dimension))
        QVERIFY(std::isnan(found));
    else
        QCOMPARE(found, dimension);
}

void SpectrumTest::sameInputsSameBits()
{
    const SimulationState start = spiralOpening();
    SpectrumSettings settings = settingsFor(SpiralFlow, start, 100'007);  // the last block ends between two QRs
    const SpectrumResult first = lyapunovSpectrum(SpiralFlow, start, settings);
    const SpectrumResult second = lyapunovSpectrum(SpiralFlow, start, settings);
    QCOMPARE(first.outcome, Outcome::Finished);
    for (int i = 0; i < 3; ++i) {
        COMPARE_BITS(second.exponents[i].value, first.exponents[i].value);
        COMPARE_BITS(second.exponents[i].standardError, first.exponents[i].standardError);
    }
    COMPARE_BITS(second.kaplanYorke.standardError, first.kaplanYorke.standardError);
}

QTEST_APPLESS_MAIN(SpectrumTest)
#include "SpectrumTest.moc"
