#include "picture/PlaneColours.h"

#include <QTest>

#include <cmath>
#include <limits>

using namespace vortiquo;

class PlaneColoursTest : public QObject {
    Q_OBJECT

private slots:
    void colours_data();
    void colours();
};

void PlaneColoursTest::colours_data()
{
    QTest::addColumn<double>("exponent");
    QTest::addColumn<uint>("colour");

    QTest::newRow("escaped: grey") << std::nan("") << 0xff808080u;
    QTest::newRow("zero: near black") << 0.0 << 0xff101014u;
    QTest::newRow("saturated chaos: orange") << 1.0 << 0xffffaa1eu;
    QTest::newRow("superstable: saturated blue") << -std::numeric_limits<double>::infinity() << 0xff288cffu;
    QTest::newRow("a quarter: halfway") << 0.25 << 0xff885d19u;
}

void PlaneColoursTest::colours()
{
    QFETCH(double, exponent);
    QFETCH(uint, colour);
    QCOMPARE(exponentColour(exponent), colour);
}

QTEST_APPLESS_MAIN(PlaneColoursTest)
#include "PlaneColoursTest.moc"
