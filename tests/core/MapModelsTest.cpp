#include "maps/MapModels.h"

#include <QTest>

#include "BitCompare.h"

using namespace vortiquo;

namespace {

enum class Map { Recurrence, Quadratic };

// The opening values of the two map windows.
constexpr double RecurrenceA = -0x1.999999999999ap-4;  // -0.1
constexpr double RecurrenceB = -0x1.b333333333333p+0;  // -1.7
constexpr double QuadraticA = 0x1.6666666666666p+0;  // 1.4
constexpr double QuadraticB = 0x1.3333333333333p-2;  // 0.3

bool stepModel(Map map, SimulationState& state)
{
    return map == Map::Recurrence ? recurrenceStep(state) : quadraticStep(state);
}

SimulationState openingState(Map map)
{
    SimulationState state;
    state.a = map == Map::Recurrence ? RecurrenceA : QuadraticA;
    state.b = map == Map::Recurrence ? RecurrenceB : QuadraticB;
    state.x = state.y = 1;
    state.colourScheme = 1;
    // The drawing areas as the map windows lay them out, in twips.
    state.plotWidth = map == Map::Recurrence ? 7785 : 6705;
    state.plotHeight = map == Map::Recurrence ? 7335 : 6375;
    return state;
}

const MapView& viewOf(Map map)
{
    return map == Map::Recurrence ? RecurrenceView : QuadraticView;
}

bool plot(Map map, const SimulationState& state)
{
    PlotPoint point;
    return plotMapPoint(viewOf(map), state, point);
}

}  // namespace

Q_DECLARE_METATYPE(Map)

class MapModelsTest : public QObject {
    Q_OBJECT

private slots:
    void singleStep_data();
    void singleStep();
    void longRunFromOpeningValues_data();
    void longRunFromOpeningValues();
    void stepFaults_data();
    void stepFaults();
    void escapingOrbit();
    void plottedPoint_data();
    void plottedPoint();
    void verticalRange_data();
    void verticalRange();
    void horizontalLimit_data();
    void horizontalLimit();
};

void MapModelsTest::singleStep_data()
{
    QTest::addColumn<Map>("map");
    QTest::addColumn<double>("x");
    QTest::addColumn<double>("y");
    QTest::addColumn<double>("a");
    QTest::addColumn<double>("b");
    QTest::addColumn<double>("xNext");
    QTest::addColumn<double>("yNext");

    // The first step after "Via" with the values the windows open with.
    QTest::newRow("recurrence, first step") << Map::Recurrence << 1.0 << 1.0
        << RecurrenceA << RecurrenceB << 0x1.ccccccccccccdp-1 << -0x1.6666666666666p-1;
    QTest::newRow("quadratic, first step") << Map::Quadratic << 1.0 << 1.0
        << QuadraticA << QuadraticB << 0x1.3333333333334p-1 << 0x1.3333333333333p-2;

    // A point at which y + (1 - a*x*x) or (y + 1) - (a*x)*x gives other bits.
    QTest::newRow("quadratic, grouping decides") << Map::Quadratic
        << -0x1.4c46eb8178cf2p+0 << -0x1.bf56f9ab664fp-1 << QuadraticA << QuadraticB
        << -0x1.1dbb5c8f78242p+1 << -0x1.8ebb8101c42bcp-2;

    QTest::newRow("recurrence, a 0 copies y") << Map::Recurrence << 0.3 << 0.7
        << 0.0 << RecurrenceB << 0.7 << -0x1.9c28f5c28f5c2p+0;
    QTest::newRow("quadratic, b 0 flattens") << Map::Quadratic << 0.3 << 0.7
        << QuadraticA << 0.0 << 0x1.92f1a9fbe76c8p+0 << 0.0;
}

void MapModelsTest::singleStep()
{
    QFETCH(Map, map);
    QFETCH(double, x);
    QFETCH(double, y);
    QFETCH(double, a);
    QFETCH(double, b);
    QFETCH(double, xNext);
    QFETCH(double, yNext);

    SimulationState state = openingState(map);
    state.x = x, state.y = y, state.a = a, state.b = b;
    QVERIFY(stepModel(map, state));
    COMPARE_BITS(state.xNext, xNext);
    COMPARE_BITS(state.yNext, yNext);
    COMPARE_BITS(state.x, x);
    COMPARE_BITS(state.y, y);
}

void MapModelsTest::longRunFromOpeningValues_data()
{
    QTest::addColumn<Map>("map");
    QTest::addColumn<double>("x");
    QTest::addColumn<double>("y");

    // A thousand steps from (1, 1); the orbits are chaotic, so one stray
    // rounding anywhere on the way changes these bits.
    QTest::newRow("recurrence") << Map::Recurrence << -0x1.b460388fae70fp-1 << -0x1.3b4a8db4285f4p+0;
    QTest::newRow("quadratic") << Map::Quadratic << 0x1.1d0beb2b1ba6ep+0 << 0x1.1de8514d59e61p-4;
}

void MapModelsTest::longRunFromOpeningValues()
{
    QFETCH(Map, map);
    QFETCH(double, x);
    QFETCH(double, y);

    SimulationState state = openingState(map);
    for (int step = 0; step < 1000; ++step) {
        QVERIFY(stepModel(map, state));
        state.x = state.xNext, state.y = state.yNext;
    }
    COMPARE_BITS(state.x, x);
    COMPARE_BITS(state.y, y);
}

void MapModelsTest::stepFaults_data()
{
    QTest::addColumn<Map>("map");
    QTest::addColumn<double>("x");
    QTest::addColumn<double>("y");
    QTest::addColumn<double>("a");
    QTest::addColumn<bool>("finite");

    QTest::newRow("recurrence, square overflows") << Map::Recurrence << 1e200 << 0.0 << RecurrenceA << false;
    QTest::newRow("recurrence, sum overflows") << Map::Recurrence << -1e308 << 1.7e308 << -1.0 << false;
    QTest::newRow("quadratic, square overflows") << Map::Quadratic << 1e200 << 0.0 << QuadraticA << false;
    QTest::newRow("quadratic, product overflows") << Map::Quadratic << 1e154 << 0.0 << 1e300 << false;
    // Underflow is silent.
    QTest::newRow("recurrence, square underflows") << Map::Recurrence << 1e-200 << 0.0 << RecurrenceA << true;
    QTest::newRow("quadratic, square underflows") << Map::Quadratic << 1e-200 << 0.0 << QuadraticA << true;
}

void MapModelsTest::stepFaults()
{
    QFETCH(Map, map);
    QFETCH(double, x);
    QFETCH(double, y);
    QFETCH(double, a);
    QFETCH(bool, finite);

    SimulationState state = openingState(map);
    state.x = x, state.y = y, state.a = a;
    QCOMPARE(stepModel(map, state), finite);
}

void MapModelsTest::escapingOrbit()
{
    // The quadratic map with a = 2 escapes from (1, 1): its drawing leaves the
    // 16-bit vertical range in the sixth step, its arithmetic the double
    // range in the twelfth.
    SimulationState state = openingState(Map::Quadratic);
    state.a = 2;
    int firstUndrawn = 0;
    int step = 1;
    for (; step <= 100; ++step) {
        if (!quadraticStep(state))
            break;
        if (firstUndrawn == 0 && !plot(Map::Quadratic, state))
            firstUndrawn = step;
        state.x = state.xNext, state.y = state.yNext;
    }
    QCOMPARE(firstUndrawn, 6);
    QCOMPARE(step, 12);
}

void MapModelsTest::plottedPoint_data()
{
    QTest::addColumn<Map>("map");
    QTest::addColumn<double>("x");
    QTest::addColumn<double>("y");
    QTest::addColumn<int>("scheme");
    QTest::addColumn<double>("horizontal");
    QTest::addColumn<double>("vertical");
    QTest::addColumn<int>("red");
    QTest::addColumn<int>("green");
    QTest::addColumn<int>("blue");

    // The centre of the view: half of the area's size, floored.
    QTest::newRow("recurrence, centre") << Map::Recurrence << 0.0 << 0.0 << 1
        << 3892.0 << 3667.0 << 0 << 0 << 127;
    QTest::newRow("recurrence, (1, 1)") << Map::Recurrence << 1.0 << 1.0 << 1
        << 5838.0 << 1833.0 << 0 << 34 << 191;
    // Just above 0 the x component starts at 23, scaled from -2.
    QTest::newRow("recurrence, x just above 0") << Map::Recurrence << 0.001 << -1.0 << 5
        << 3894.0 << 5501.0 << 23 << 63 << 0;
    QTest::newRow("recurrence, far right") << Map::Recurrence << 25.0 << 0.0 << 1
        << 52548.0 << 3667.0 << 0 << 255 << 127;
    QTest::newRow("recurrence, just left, floored") << Map::Recurrence << -2.0001 << 0.0 << 1
        << -1.0 << 3667.0 << 0 << 0 << 127;

    // The recurrence map's y component runs from -829 to 1083 inside its
    // band; outside 0 to 255 it is clamped.
    QTest::newRow("recurrence, y 10 clamps to 255") << Map::Recurrence << 1.0 << 10.0 << 3
        << 5838.0 << -14670.0 << 255 << 34 << 0;
    QTest::newRow("recurrence, y 15 clamps to 255") << Map::Recurrence << 1.0 << 15.0 << 3
        << 5838.0 << -23839.0 << 255 << 34 << 0;
    QTest::newRow("recurrence, y -10 clamps to 0") << Map::Recurrence << 1.0 << -10.0 << 3
        << 5838.0 << 22005.0 << 0 << 34 << 0;
    QTest::newRow("recurrence, y -14.9 clamps to 0") << Map::Recurrence << 1.0 << -14.9 << 3
        << 5838.0 << 30990.0 << 0 << 34 << 0;

    QTest::newRow("quadratic, centre") << Map::Quadratic << 0.0 << 0.0 << 1
        << 3352.0 << 3187.0 << 0 << 127 << 127;
    QTest::newRow("quadratic, (1, 0.2)") << Map::Quadratic << 1.0 << 0.2 << 1
        << 5587.0 << 1912.0 << 0 << 212 << 178;
    // Above the area: floor(-637.5) is -638.
    QTest::newRow("quadratic, above the bands") << Map::Quadratic << 2.0 << 0.6 << 1
        << 7822.0 << -638.0 << 0 << 255 << 255;
    QTest::newRow("quadratic, y 5.6") << Map::Quadratic << 0.0 << 5.6 << 1
        << 3352.0 << -32513.0 << 0 << 127 << 255;
    QTest::newRow("quadratic, y -4.6") << Map::Quadratic << 0.0 << -4.6 << 4
        << 3352.0 << 32512.0 << 0 << 0 << 127;
}

void MapModelsTest::plottedPoint()
{
    QFETCH(Map, map);
    QFETCH(double, x);
    QFETCH(double, y);
    QFETCH(int, scheme);
    QFETCH(double, horizontal);
    QFETCH(double, vertical);
    QFETCH(int, red);
    QFETCH(int, green);
    QFETCH(int, blue);

    SimulationState state = openingState(map);
    state.xNext = x, state.yNext = y;
    state.colourScheme = static_cast<std::int16_t>(scheme);
    PlotPoint point;
    QVERIFY(plotMapPoint(viewOf(map), state, point));
    COMPARE_BITS(point.x, horizontal);
    COMPARE_BITS(point.y, vertical);
    QCOMPARE(int(point.red), red);
    QCOMPARE(int(point.green), green);
    QCOMPARE(int(point.blue), blue);
}

void MapModelsTest::verticalRange_data()
{
    QTest::addColumn<Map>("map");
    QTest::addColumn<double>("y");
    QTest::addColumn<bool>("drawn");

    QTest::newRow("quadratic, 5.6") << Map::Quadratic << 5.6 << true;
    QTest::newRow("quadratic, 5.7") << Map::Quadratic << 5.7 << false;
    QTest::newRow("quadratic, -4.7") << Map::Quadratic << -4.7 << false;

    // Adjacent doubles on either side of -32768 and 32767.
    QTest::newRow("quadratic, -32768") << Map::Quadratic << 0x1.68f70b8667af6p+2 << true;
    QTest::newRow("quadratic, -32769") << Map::Quadratic << 0x1.68f70b8667af7p+2 << false;
    QTest::newRow("quadratic, 32767") << Map::Quadratic << -0x1.28f70b8667af5p+2 << true;
    QTest::newRow("quadratic, 32768") << Map::Quadratic << -0x1.28f70b8667af6p+2 << false;
    QTest::newRow("recurrence, -32768") << Map::Recurrence << 0x1.3de908f837901p+4 << true;
    QTest::newRow("recurrence, -32769") << Map::Recurrence << 0x1.3de908f837902p+4 << false;
    QTest::newRow("recurrence, 32767") << Map::Recurrence << -0x1.fbd211f06f2p+3 << true;
    QTest::newRow("recurrence, 32768") << Map::Recurrence << -0x1.fbd211f06f201p+3 << false;
}

void MapModelsTest::verticalRange()
{
    QFETCH(Map, map);
    QFETCH(double, y);
    QFETCH(bool, drawn);

    SimulationState state = openingState(map);
    state.xNext = 0;
    state.yNext = y;
    QCOMPARE(plot(map, state), drawn);
}

void MapModelsTest::horizontalLimit_data()
{
    QTest::addColumn<double>("x");
    QTest::addColumn<bool>("drawn");

    // Under the unit view below the horizontal coordinate is x itself. It is
    // drawn while its conversion to single precision rounds to a finite
    // number: up to halfway between the largest float and 2^128.
    QTest::newRow("largest float") << 0x1.fffffep127 << true;
    QTest::newRow("rounds down to the largest float") << 0x1.fffffefffffffp127 << true;
    QTest::newRow("halfway rounds up, overflows") << 0x1.ffffffp127 << false;
    QTest::newRow("negative, rounds to the largest float") << -0x1.fffffe8p127 << true;
    QTest::newRow("negative, halfway") << -0x1.ffffffp127 << false;
    QTest::newRow("far beyond") << 1e300 << false;
}

void MapModelsTest::horizontalLimit()
{
    QFETCH(double, x);
    QFETCH(bool, drawn);

    constexpr MapView UnitView = {0, 1, 0, 1, bandFromBounds(0, 1), bandFromBounds(0, 1)};
    SimulationState state = openingState(Map::Quadratic);
    state.plotWidth = 1;
    state.plotHeight = 1;
    state.xNext = x;
    state.yNext = 0.5;
    PlotPoint point;
    QCOMPARE(plotMapPoint(UnitView, state, point), drawn);
}

QTEST_APPLESS_MAIN(MapModelsTest)
#include "MapModelsTest.moc"
