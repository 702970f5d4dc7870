#include "core/ColourScheme.h"

#include <QTest>

#include <cmath>
#include <limits>

using namespace vortiquo;

Q_DECLARE_METATYPE(ColourBand)

namespace {

// The next double above a value.
double up(double value)
{
    return std::nextafter(value, std::numeric_limits<double>::infinity());
}

}  // namespace

class ColourSchemeTest : public QObject {
    Q_OBJECT

private slots:
    void schemes_data();
    void schemes();
    void componentsOutsideTheChannelRange_data();
    void componentsOutsideTheChannelRange();
    void bandEdges_data();
    void bandEdges();
};

void ColourSchemeTest::schemes_data()
{
    QTest::addColumn<int>("scheme");
    QTest::addColumn<int>("red");
    QTest::addColumn<int>("green");
    QTest::addColumn<int>("blue");

    // Components 11, 22 and 33 come from x, y and z (or the map's third).
    QTest::newRow("1") << 1 << 33 << 11 << 22;
    QTest::newRow("2") << 2 << 33 << 22 << 11;
    QTest::newRow("3") << 3 << 22 << 11 << 33;
    QTest::newRow("4") << 4 << 22 << 33 << 11;
    QTest::newRow("5") << 5 << 11 << 22 << 33;
    QTest::newRow("6") << 6 << 11 << 33 << 22;
}

void ColourSchemeTest::schemes()
{
    QFETCH(int, scheme);
    QFETCH(int, red);
    QFETCH(int, green);
    QFETCH(int, blue);

    PlotPoint point;
    applyColourScheme(static_cast<std::int16_t>(scheme), 11, 22, 33, point);
    QCOMPARE(int(point.red), red);
    QCOMPARE(int(point.green), green);
    QCOMPARE(int(point.blue), blue);
}

void ColourSchemeTest::componentsOutsideTheChannelRange_data()
{
    QTest::addColumn<int>("component");
    QTest::addColumn<int>("channel");

    QTest::newRow("lowest of the recurrence y band") << -829 << 0;
    QTest::newRow("just below 0") << -1 << 0;
    QTest::newRow("0") << 0 << 0;
    QTest::newRow("255") << 255 << 255;
    QTest::newRow("just above 255") << 256 << 255;
    QTest::newRow("highest of the recurrence y band") << 1083 << 255;
}

void ColourSchemeTest::componentsOutsideTheChannelRange()
{
    QFETCH(int, component);
    QFETCH(int, channel);

    PlotPoint point;
    applyColourScheme(5, component, 100, 200, point);
    QCOMPARE(int(point.red), channel);
    QCOMPARE(int(point.green), 100);
    QCOMPARE(int(point.blue), 200);
}

void ColourSchemeTest::bandEdges_data()
{
    QTest::addColumn<ColourBand>("band");
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("component");

    const ColourBand convectionX = bandFromBounds(0, 20);
    const ColourBand spiralX = bandFromBounds(-5, 5);
    const ColourBand quadraticY = bandFromBounds(-0.5, 0.5);
    const ColourBand recurrenceX = {0, 20, -2, 22};
    const ColourBand recurrenceY = {-15, 15, -2, 4};

    // Inclusive at the low bound, exclusive at the high bound, whose own
    // value reaches 255 through the formula.
    QTest::newRow("convection x, at low") << convectionX << 0.0 << 0;
    QTest::newRow("convection x, just above low") << convectionX << up(0.0) << 0;
    QTest::newRow("convection x, just below high") << convectionX << 0x1.3ffffffffffffp+4 << 254;
    QTest::newRow("convection x, at high") << convectionX << 20.0 << 255;
    QTest::newRow("convection x, just above high") << convectionX << up(20.0) << 255;
    QTest::newRow("convection x, far below") << convectionX << -1e300 << 0;
    QTest::newRow("convection x, far above") << convectionX << 1e300 << 255;
    // Values on which (v - low) / span * 255 would floor to the next whole
    // number, up or down.
    QTest::newRow("convection x, times 255 first") << convectionX << 0x1.6969696969696p-1 << 8;
    QTest::newRow("spiral x, times 255 first") << spiralX << -0x1.bc3c3c3c3c3c4p+1 << 39;
    QTest::newRow("spiral x, at low") << spiralX << -5.0 << 0;
    QTest::newRow("spiral x, middle") << spiralX << 0.0 << 127;
    QTest::newRow("spiral x, at high") << spiralX << 5.0 << 255;
    QTest::newRow("quadratic y, at high") << quadraticY << 0.5 << 255;
    QTest::newRow("quadratic y, just above high") << quadraticY << up(0.5) << 255;

    // The recurrence map's bands scale from a base below their low bound.
    QTest::newRow("recurrence x, at low") << recurrenceX << 0.0 << 0;
    QTest::newRow("recurrence x, just above low") << recurrenceX << up(0.0) << 23;
    QTest::newRow("recurrence x, middle") << recurrenceX << 10.0 << 139;
    QTest::newRow("recurrence x, times 255 first") << recurrenceX << 0x1.0505050505051p+0 << 35;
    QTest::newRow("recurrence x, at high") << recurrenceX << 20.0 << 255;
    QTest::newRow("recurrence y, at low") << recurrenceY << -15.0 << 0;
    QTest::newRow("recurrence y, just above low") << recurrenceY << up(-15.0) << -829;
    QTest::newRow("recurrence y, a negative whole number") << recurrenceY << -6.0 << -255;
    QTest::newRow("recurrence y, a negative fraction") << recurrenceY << -2.5 << -32;
    QTest::newRow("recurrence y, at its base") << recurrenceY << -2.0 << 0;
    QTest::newRow("recurrence y, at base plus span") << recurrenceY << 2.0 << 255;
    QTest::newRow("recurrence y, at high") << recurrenceY << 15.0 << 1083;
    QTest::newRow("recurrence y, just above high") << recurrenceY << up(15.0) << 255;
}

void ColourSchemeTest::bandEdges()
{
    QFETCH(ColourBand, band);
    QFETCH(double, value);
    QFETCH(int, component);
    QCOMPARE(bandComponent(value, band), component);
}

QTEST_APPLESS_MAIN(ColourSchemeTest)
#include "ColourSchemeTest.moc"
