#include "flows/FlowModels.h"

#include <QTest>

#include "BitCompare.h"

using namespace vortiquo;

namespace {

enum class Flow { Convection, Spiral };

// The opening values of the two flow windows.
constexpr double ConvectionA = 10, ConvectionB = 28;
constexpr double ConvectionC = -0x1.555555555555dp+1;  // nearest to -2.66666666666667
constexpr double ConvectionDt = 0x1.a36e2eb1c432dp-14;  // 0.0001
constexpr double SpiralA = 0x1.999999999999ap-3;  // 0.2
constexpr double SpiralB = 0x1.999999999999ap-3;  // 0.2
constexpr double SpiralC = 0x1.6cccccccccccdp+2;  // 5.7
constexpr double SpiralDt = 0x1.0624dd2f1a9fcp-10;  // 0.001

// The view angle pi * num / den with pi taken as 3.14159265358979: the
// opening angle (1/6), no angle, and the right angle (1/2).
constexpr double DefaultCos = 0x1.bb67ae8584cadp-1;  // 0.8660254037844389
constexpr double DefaultSin = 0x1.ffffffffffff8p-2;  // 0.49999999999999956
constexpr double RightCos = 0x1.d1a62633145cp-50;  // 1.6155445744325867e-15
constexpr double RightSin = 1.0;

bool stepModel(Flow flow, SimulationState& state)
{
    return flow == Flow::Convection ? convectionStep(state) : spiralStep(state);
}

const FlowView& viewOf(Flow flow)
{
    return flow == Flow::Convection ? ConvectionView : SpiralView;
}

SimulationState openingState(Flow flow)
{
    SimulationState state;
    if (flow == Flow::Convection) {
        state.a = ConvectionA, state.b = ConvectionB, state.c = ConvectionC;
        state.dt = ConvectionDt;
    } else {
        state.a = SpiralA, state.b = SpiralB, state.c = SpiralC;
        state.dt = SpiralDt;
    }
    state.x = state.y = state.z = 1;
    return state;
}

// The drawing area as the flow windows lay it out, in twips.
SimulationState drawingState(double cosine, double sine)
{
    SimulationState state;
    state.plotWidth = 6585;
    state.plotHeight = 6495;
    state.cosAlpha = cosine;
    state.sinAlpha = sine;
    state.colourScheme = 1;
    return state;
}

}  // namespace

Q_DECLARE_METATYPE(Flow)

class FlowModelsTest : public QObject {
    Q_OBJECT

private slots:
    void singleStep_data();
    void singleStep();
    void longRunFromOpeningValues_data();
    void longRunFromOpeningValues();
    void stepFaults_data();
    void stepFaults();
    void plottedPoint_data();
    void plottedPoint();
    void plotLimits_data();
    void plotLimits();
    void projectionOverflowIsAFault();
};

void FlowModelsTest::singleStep_data()
{
    QTest::addColumn<Flow>("flow");
    QTest::addColumn<double>("x");
    QTest::addColumn<double>("y");
    QTest::addColumn<double>("z");
    QTest::addColumn<double>("dt");
    QTest::addColumn<double>("dx");
    QTest::addColumn<double>("dy");
    QTest::addColumn<double>("dz");
    QTest::addColumn<double>("xNext");
    QTest::addColumn<double>("yNext");
    QTest::addColumn<double>("zNext");

    // The first step after "Via" with the values the windows open with.
    QTest::newRow("convection, first step")
        << Flow::Convection << 1.0 << 1.0 << 1.0 << ConvectionDt
        << 0.0 << 26.0 << -0x1.aaaaaaaaaaabap+0
        << 1.0 << 0x1.00aa64c2f837bp+0 << 0x1.ffea27983c132p-1;
    QTest::newRow("spiral, first step")
        << Flow::Spiral << 1.0 << 1.0 << 1.0 << SpiralDt
        << -2.0 << 0x1.3333333333333p+0 << -4.5
        << 0x1.fef9db22d0e56p-1 << 0x1.004ea4a8c154dp+0 << 0x1.fdb22d0e56042p-1;

    // Points at which any other grouping of the derivative (a*y - a*x,
    // b*x - (y + x*z), x*(b - z) - y; z*(x - c) + b, x*z - (c*z - b)) gives
    // other bits.
    QTest::newRow("convection, grouping decides")
        << Flow::Convection << 0x1.d0ca33b3d723cp+3 << 0x1.719294fc16ee8p+2 << 0x1.5c25fd7afe486p+3
        << ConvectionDt
        << -0x1.5e0123833e97ap+6 << 0x1.e5c959f64d7cfp+7 << 0x1.b6e442aef80bfp+5
        << 0x1.d0828563a8999p+3 << 0x1.732089cdc6143p+2 << 0x1.5c52eec2f2b55p+3;
    QTest::newRow("spiral, grouping decides")
        << Flow::Spiral << 0x1.c578523e2597p+0 << 0x1.f8284d7a5aefp+0 << -0x1.b935729c6f3dp+2
        << SpiralDt
        << 0x1.3b2b5f3dd8814p+2 << 0x1.15269744e8b03p+1 << 0x1.b4896d11d3c33p+4
        << 0x1.c6bb0e0406b64p+0 << 0x1.f8b6342e347cbp+0 << -0x1.b7766f1a50b2p+2;

    // With no time increment the point stays where it is.
    QTest::newRow("convection, dt 0")
        << Flow::Convection << 3.0 << -5.0 << 25.0 << 0.0
        << -80.0 << 14.0 << -0x1.46aaaaaaaaab1p+6
        << 3.0 << -5.0 << 25.0;
}

void FlowModelsTest::singleStep()
{
    QFETCH(Flow, flow);
    QFETCH(double, x);
    QFETCH(double, y);
    QFETCH(double, z);
    QFETCH(double, dt);

    SimulationState state = openingState(flow);
    state.x = x, state.y = y, state.z = z;
    state.dt = dt;
    QVERIFY(stepModel(flow, state));

    QFETCH(double, dx);
    QFETCH(double, dy);
    QFETCH(double, dz);
    COMPARE_BITS(state.dx, dx);
    COMPARE_BITS(state.dy, dy);
    COMPARE_BITS(state.dz, dz);
    QFETCH(double, xNext);
    QFETCH(double, yNext);
    QFETCH(double, zNext);
    COMPARE_BITS(state.xNext, xNext);
    COMPARE_BITS(state.yNext, yNext);
    COMPARE_BITS(state.zNext, zNext);
    // The step never moves the current point itself.
    COMPARE_BITS(state.x, x);
    COMPARE_BITS(state.y, y);
    COMPARE_BITS(state.z, z);
}

void FlowModelsTest::longRunFromOpeningValues_data()
{
    QTest::addColumn<Flow>("flow");
    QTest::addColumn<double>("x");
    QTest::addColumn<double>("y");
    QTest::addColumn<double>("z");

    // Ten thousand steps from (1, 1, 1), each one rounded as written; any
    // fused or reordered operation drifts away from these bits.
    QTest::newRow("convection") << Flow::Convection
        << -0x1.2b3dea7a4aef7p+3 << -0x1.0b8de4a9e7d36p+3 << 0x1.d4b2d2b25a953p+4;
    QTest::newRow("spiral") << Flow::Spiral
        << -0x1.3325c99e54845p-2 << -0x1.db5f9ab40e603p+1 << 0x1.f7e1a55f9d642p-6;
}

void FlowModelsTest::longRunFromOpeningValues()
{
    QFETCH(Flow, flow);
    QFETCH(double, x);
    QFETCH(double, y);
    QFETCH(double, z);

    SimulationState state = openingState(flow);
    for (int step = 0; step < 10000; ++step) {
        QVERIFY(stepModel(flow, state));
        state.x = state.xNext, state.y = state.yNext, state.z = state.zNext;
    }
    COMPARE_BITS(state.x, x);
    COMPARE_BITS(state.y, y);
    COMPARE_BITS(state.z, z);
}

void FlowModelsTest::stepFaults_data()
{
    QTest::addColumn<Flow>("flow");
    QTest::addColumn<double>("x");
    QTest::addColumn<double>("y");
    QTest::addColumn<double>("z");
    QTest::addColumn<double>("dt");
    QTest::addColumn<bool>("finite");

    QTest::newRow("convection, update overflows")
        << Flow::Convection << 1.0 << 1.0 << 1.0 << 1e308 << false;
    QTest::newRow("convection, x*z overflows")
        << Flow::Convection << 1e200 << 1.0 << 1e200 << ConvectionDt << false;
    QTest::newRow("convection, overflowed derivative times dt 0")
        << Flow::Convection << 1e200 << 1.0 << 1e200 << 0.0 << false;
    QTest::newRow("spiral, y+z overflows")
        << Flow::Spiral << 1.0 << 1e308 << 1e308 << SpiralDt << false;
    QTest::newRow("spiral, x*z overflows")
        << Flow::Spiral << 1e200 << 1.0 << 1e200 << SpiralDt << false;

    // Underflow is silent: products too small for a double become zero.
    QTest::newRow("convection, products underflow")
        << Flow::Convection << 1e-200 << 2e-200 << 3e-200 << 1e-200 << true;
    QTest::newRow("spiral, products underflow")
        << Flow::Spiral << 1e-200 << 2e-200 << 3e-200 << 1e-200 << true;
}

void FlowModelsTest::stepFaults()
{
    QFETCH(Flow, flow);
    QFETCH(double, x);
    QFETCH(double, y);
    QFETCH(double, z);
    QFETCH(double, dt);
    QFETCH(bool, finite);

    SimulationState state = openingState(flow);
    state.x = x, state.y = y, state.z = z;
    state.dt = dt;
    QCOMPARE(stepModel(flow, state), finite);
}

void FlowModelsTest::plottedPoint_data()
{
    QTest::addColumn<Flow>("flow");
    QTest::addColumn<double>("cosine");
    QTest::addColumn<double>("sine");
    QTest::addColumn<double>("x");
    QTest::addColumn<double>("y");
    QTest::addColumn<double>("z");
    QTest::addColumn<int>("scheme");
    QTest::addColumn<double>("screenX");
    QTest::addColumn<double>("screenY");
    QTest::addColumn<int>("red");
    QTest::addColumn<int>("green");
    QTest::addColumn<int>("blue");

    // The middle of the convection view: half of 6585 and of 6495, floored.
    QTest::newRow("centre, opening angle") << Flow::Convection << DefaultCos << DefaultSin
        << 0.0 << 0.0 << 30.0 << 1 << 3292.0 << 3247.0 << 255 << 0 << 127;
    QTest::newRow("centre, no angle") << Flow::Convection << 1.0 << 0.0
        << 0.0 << 0.0 << 30.0 << 1 << 3292.0 << 3247.0 << 255 << 0 << 127;
    QTest::newRow("centre, right angle") << Flow::Convection << RightCos << RightSin
        << 0.0 << 0.0 << 30.0 << 1 << 3292.0 << 3247.0 << 255 << 0 << 127;

    // w just below 27.5 here, since the opening sine lies just below 1/2.
    QTest::newRow("convection, opening angle") << Flow::Convection << DefaultCos << DefaultSin
        << -10.0 << 5.0 << 25.0 << 1 << 4828.0 << 3409.0 << 191 << 0 << 170;
    // Here z - s*(x + y) would land one row higher.
    QTest::newRow("convection, grouping of w decides") << Flow::Convection << DefaultCos << DefaultSin
        << 16.35 << -1.23 << 0x1.08d31329ddd5dp+4 << 1 << 1771.0 << 4612.0 << 83 << 208 << 117;
    QTest::newRow("convection, no angle") << Flow::Convection << 1.0 << 0.0
        << 3.0 << -5.0 << 25.0 << 1 << 2469.0 << 3572.0 << 191 << 38 << 85;
    // The sine weighs x and y alike: w = 4 - 2 - 1.
    QTest::newRow("convection, right angle") << Flow::Convection << RightCos << RightSin
        << 1.0 << 2.0 << 4.0 << 1 << 3127.0 << 5131.0 << 0 << 12 << 144;
    QTest::newRow("convection, x at its high bound") << Flow::Convection << 1.0 << 0.0
        << 20.0 << -15.0 << 10.0 << 5 << 823.0 << 4546.0 << 255 << 0 << 0;

    QTest::newRow("spiral, opening angle and scheme") << Flow::Spiral << DefaultCos << DefaultSin
        << 2.0 << -3.0 << 10.0 << 5 << 2502.0 << 3166.0 << 178 << 51 << 85;
    QTest::newRow("spiral, no angle, scheme 2") << Flow::Spiral << 1.0 << 0.0
        << 2.0 << -3.0 << 10.0 << 2 << 2634.0 << 3247.0 << 85 << 51 << 178;
    QTest::newRow("spiral, every band at its high bound") << Flow::Spiral << 1.0 << 0.0
        << 5.0 << 5.0 << 30.0 << 3 << 4390.0 << 0.0 << 255 << 255 << 255;

    // The corners of the view land on 0 and on the area's size.
    QTest::newRow("top left corner") << Flow::Convection << 1.0 << 0.0
        << 0.0 << -20.0 << 80.0 << 1 << 0.0 << 0.0 << 255 << 0 << 0;
    QTest::newRow("bottom right corner") << Flow::Convection << 1.0 << 0.0
        << 0.0 << 20.0 << -20.0 << 1 << 6585.0 << 6495.0 << 0 << 0 << 255;
    // Just outside the top left corner: floored to -1, not truncated to 0.
    QTest::newRow("just outside, floored") << Flow::Convection << 1.0 << 0.0
        << 0.0 << -20.001 << 80.001 << 1 << -1.0 << -1.0 << 255 << 0 << 0;
    QTest::newRow("far outside, still drawn") << Flow::Convection << 1.0 << 0.0
        << 0.0 << 1000.0 << -1000.0 << 1 << 167917.0 << 70146.0 << 0 << 0 << 255;
}

void FlowModelsTest::plottedPoint()
{
    QFETCH(Flow, flow);
    QFETCH(double, cosine);
    QFETCH(double, sine);
    QFETCH(double, x);
    QFETCH(double, y);
    QFETCH(double, z);
    QFETCH(int, scheme);
    QFETCH(double, screenX);
    QFETCH(double, screenY);
    QFETCH(int, red);
    QFETCH(int, green);
    QFETCH(int, blue);

    SimulationState state = drawingState(cosine, sine);
    state.xNext = x, state.yNext = y, state.zNext = z;
    state.colourScheme = static_cast<std::int16_t>(scheme);
    PlotPoint point;
    QVERIFY(plotFlowPoint(viewOf(flow), state, point));

    COMPARE_BITS(point.x, screenX);
    COMPARE_BITS(point.y, screenY);
    COMPARE_BITS(state.screenX, screenX);
    COMPARE_BITS(state.screenY, screenY);
    QCOMPARE(int(point.red), red);
    QCOMPARE(int(point.green), green);
    QCOMPARE(int(point.blue), blue);
}

void FlowModelsTest::plotLimits_data()
{
    QTest::addColumn<double>("y");
    QTest::addColumn<double>("z");
    QTest::addColumn<bool>("drawn");

    // Under the unit view below, screenX is y itself and screenY is 1 - z.
    // A coordinate is drawn while its conversion to single precision rounds
    // to a finite number: up to halfway between the largest float and 2^128.
    QTest::newRow("largest float") << 0x1.fffffep127 << 0.5 << true;
    QTest::newRow("rounds down to the largest float") << 0x1.fffffefffffffp127 << 0.5 << true;
    QTest::newRow("halfway rounds up, overflows") << 0x1.ffffffp127 << 0.5 << false;
    QTest::newRow("negative, rounds to the largest float") << -0x1.fffffe8p127 << 0.5 << true;
    QTest::newRow("negative, halfway") << -0x1.ffffffp127 << 0.5 << false;
    QTest::newRow("vertical, rounds to the largest float") << 0.0 << 0x1.fffffe8p127 << true;
    QTest::newRow("vertical, halfway") << 0.0 << 0x1.ffffffp127 << false;
    QTest::newRow("vertical, far beyond") << 0.0 << 1e300 << false;
}

void FlowModelsTest::plotLimits()
{
    QFETCH(double, y);
    QFETCH(double, z);
    QFETCH(bool, drawn);

    constexpr FlowView UnitView = {0, 1, 0, 1, bandFromBounds(0, 1), bandFromBounds(0, 1),
                                   bandFromBounds(0, 1)};
    SimulationState state = drawingState(1.0, 0.0);
    state.plotWidth = 1;
    state.plotHeight = 1;
    state.yNext = y;
    state.zNext = z;
    PlotPoint point;
    QCOMPARE(plotFlowPoint(UnitView, state, point), drawn);
}

void FlowModelsTest::projectionOverflowIsAFault()
{
    // Finite coordinates whose mapping onto the area leaves the double range.
    SimulationState state = drawingState(DefaultCos, DefaultSin);
    state.xNext = 1e308, state.yNext = 1e308, state.zNext = 0;
    PlotPoint point;
    QVERIFY(!plotFlowPoint(ConvectionView, state, point));
}

QTEST_APPLESS_MAIN(FlowModelsTest)
#include "FlowModelsTest.moc"
