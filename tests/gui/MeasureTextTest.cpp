// The spectrum's and the dimensions' numbers as the windows write them: a
// decimal comma and the digits the uncertainty (or the scale's spacing) justifies.
#include <QTest>

#include "engine/MeasureText.h"

using namespace vortiquo;

class MeasureTextTest : public QObject {
    Q_OBJECT
private slots:
    void estimates_data();
    void estimates();
    void scales_data();
    void scales();
    void ranges();
};

void MeasureTextTest::estimates_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<double>("error");
    QTest::addColumn<QString>("text");
    QTest::newRow("two digits of an error led by 1 or 2") << 0.41943093 << 0.00021489 << "0,41943 ± 0,00021";
    QTest::newRow("one digit of an error led by 3 or more") << -14.574714 << 0.0075830 << "-14,575 ± 0,008";
    QTest::newRow("a whole value with no spread is exact") << 2.0 << 0.0 << "2";
    QTest::newRow("a whole value with a spread keeps it") << 2.0 << 0.5 << "2,0 ± 0,5";
    QTest::newRow("a spread of rounding alone: ten decimals")
        << -1.2039728043259361 << 4.26e-17 << "-1,2039728043";
    QTest::newRow("no sign on a value that rounds to 0") << -0.00003383 << 0.00044585 << "0,0000 ± 0,0004";
}

void MeasureTextTest::estimates()
{
    QFETCH(double, value);
    QFETCH(double, error);
    QFETCH(QString, text);
    QCOMPARE(estimateText({value, error}), text);
}

void MeasureTextTest::scales_data()
{
    QTest::addColumn<double>("scale");
    QTest::addColumn<QString>("text");
    QTest::newRow("two significant digits") << 0.038 << "0,038";
    QTest::newRow("rounded up a decade: 0,00999 is 0,010") << 0.0099913 << "0,010";
    QTest::newRow("above 10: no decimals") << 26.162 << "26";
    QTest::newRow("far below 1") << 0.0000288 << "0,000029";
}

void MeasureTextTest::scales()
{
    QFETCH(double, scale);
    QFETCH(QString, text);
    QCOMPARE(scaleText(scale), text);
}

// A range reads from the smaller scale to the larger, whichever end the curve starts at.
void MeasureTextTest::ranges()
{
    const std::vector<double> radii = {1.2, 0.85, 0.6, 0.42, 0.3, 0.21, 0.15};
    ScalingFit fit;
    fit.valid = true;
    fit.first = 1;
    fit.last = 5;
    fit.slope = 2.0593;
    fit.uncertainty = 0.012;
    QCOMPARE(rangeText(QStringLiteral("r"), radii, fit), "da r = 0,21 a r = 0,85");
    QCOMPARE(dimensionText(QStringLiteral("D₂"), fit.slope, fit), "D₂ = 2,059 ± 0,012");
    fit.valid = false;
    QVERIFY(rangeText(QStringLiteral("r"), radii, fit).isEmpty());
    QVERIFY(dimensionText(QStringLiteral("D₂"), fit.slope, fit).startsWith("D₂: nessun tratto rettilineo"));
}

QTEST_APPLESS_MAIN(MeasureTextTest)
#include "MeasureTextTest.moc"
