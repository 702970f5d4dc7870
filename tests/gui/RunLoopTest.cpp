// The window's state after load and its run loop: step limits, stopping,
// restarting, closing during a run and arithmetic faults.
#include <QApplication>
#include <QEventLoop>
#include <QLineEdit>
#include <QMessageBox>
#include <QTest>
#include <bit>
#include <cstdint>

#include "InteractionSupport.h"
#include "picture/SystemColours.h"
#include "window/RunDispatcher.h"

using namespace vortiquo;

using namespace interaction;

namespace {

std::uint64_t bits(double value) { return std::bit_cast<std::uint64_t>(value); }

void setField(SimulationForm& form, const char* name, const QString& text)
{
    textField(form, QString::fromLatin1(name))->setText(text);
}

// The point reached after `steps` steps from the start point, computed apart
// from the window with the same parameters.
SimulationState iterated(const SimulationForm& form, const Program& program, int steps)
{
    SimulationState expected = atStart(program, form.state());
    replay(program, expected, steps);
    return expected;
}

}  // namespace

class RunLoopTest : public QObject {
    Q_OBJECT
public:
    // The windows process their events as the programs' windows do.
    static void initMain() { prepareWindowEvents(); }

private slots:
    void stateAfterLoad_data();
    void stateAfterLoad();
    void convectionRewritesC();
    void limitGivesExactlyThatManySteps_data();
    void limitGivesExactlyThatManySteps();
    void zeroMeansNoLimit();
    void stopWhileIdleThenViaRuns();
    void viaDuringRunRestarts();
    void viaPressedAThousandTimesDoesNotNest();
    void closingDuringRunEndsTheLoop();
    void overflowEndsRunAndNextRunWorks();
};

void RunLoopTest::stateAfterLoad_data()
{
    QTest::addColumn<const Program*>("program");
    QTest::addColumn<double>("x");
    QTest::addColumn<double>("a");
    QTest::addColumn<double>("b");
    QTest::addColumn<double>("c");
    QTest::addColumn<double>("dt");
    QTest::addColumn<double>("alpha");
    QTest::addColumn<float>("plotWidth");
    QTest::addColumn<float>("plotHeight");
    QTest::addColumn<int>("scheme");
    QTest::addColumn<bool>("crossHair");
    QTest::newRow("convection") << &Brisuta << 1.0 << 10.0 << 28.0 << -2.66666666666667 << 0.0001
                                << 0.5235987755982984 << 6585.0f << 6495.0f << 1 << false;
    QTest::newRow("spiral") << &Kelvane << 1.0 << 0.2 << 0.2 << 5.7 << 0.001 << 0.5235987755982984 << 6585.0f
                            << 6495.0f << 5 << false;
    QTest::newRow("recurrence") << &Tessivo << 0.0 << -0.1 << -1.7 << 0.0 << 0.0 << 0.0 << 7785.0f << 7335.0f << 1
                                << true;
    QTest::newRow("quadratic") << &Drumbel << 0.0 << 1.4 << 0.3 << 0.0 << 0.0 << 0.0 << 6705.0f << 6375.0f << 1
                               << true;
}

void RunLoopTest::stateAfterLoad()
{
    QFETCH(const Program*, program);
    QFETCH(double, x);
    QFETCH(double, a);
    QFETCH(double, b);
    QFETCH(double, c);
    QFETCH(double, dt);
    QFETCH(double, alpha);
    QFETCH(float, plotWidth);
    QFETCH(float, plotHeight);
    QFETCH(int, scheme);
    QFETCH(bool, crossHair);
    SimulationForm form(*program);
    const SimulationState& s = form.state();
    QCOMPARE(bits(s.x), bits(x));
    QCOMPARE(bits(s.y), bits(x));
    QCOMPARE(bits(s.a), bits(a));
    QCOMPARE(bits(s.b), bits(b));
    QCOMPARE(bits(s.c), bits(c));
    QCOMPARE(bits(s.dt), bits(dt));
    QCOMPARE(bits(s.alpha), bits(alpha));
    if (alpha != 0) {
        QCOMPARE(bits(s.cosAlpha), bits(0.8660254037844389));
        QCOMPARE(bits(s.sinAlpha), bits(0.49999999999999956));
    }
    QCOMPARE(s.plotWidth, plotWidth);
    QCOMPARE(s.plotHeight, plotHeight);
    QCOMPARE(s.colourScheme, scheme);
    QVERIFY(!s.limitOn);
    QCOMPARE(s.stepLimit, 0);
    QVERIFY(!s.stopRequested);
    // The map programs show a cross-hair over the drawing area; the flows
    // keep the window's own pointer.
    QCOMPARE(form.grafico()->testAttribute(Qt::WA_SetCursor), crossHair);
    if (crossHair)
        QCOMPARE(form.grafico()->cursor().shape(), Qt::CrossCursor);
    QCOMPARE(form.grafico()->background(), systemColour(9));
}

void RunLoopTest::convectionRewritesC()
{
    SimulationForm form(Brisuta);
    QCOMPARE(textField(form, "cT")->text(), QStringLiteral("-2.66666666666667"));
    // The parsed text, not the exact quotient, is what the flow uses.
    QVERIFY(form.state().c != -8.0 / 3.0);
}

void RunLoopTest::limitGivesExactlyThatManySteps_data()
{
    QTest::addColumn<const Program*>("program");
    QTest::addColumn<int>("limit");
    QTest::newRow("convection 1") << &Brisuta << 1;
    QTest::newRow("convection 1000") << &Brisuta << 1000;
    QTest::newRow("spiral 777") << &Kelvane << 777;
    QTest::newRow("recurrence 500") << &Tessivo << 500;
    QTest::newRow("quadratic 3") << &Drumbel << 3;
}

void RunLoopTest::limitGivesExactlyThatManySteps()
{
    QFETCH(const Program*, program);
    QFETCH(int, limit);
    SimulationForm form(*program);
    form.show();
    setField(form, "termineT", QString::number(limit));
    LiveRun(form).start();
    QCOMPARE(form.stepCount(), limit);
    QVERIFY(form.state().stopRequested);
    QVERIFY(!form.isRunning());
    // Exactly `limit` steps were taken from the start point.
    const SimulationState expected = iterated(form, *program, limit);
    QCOMPARE(bits(form.state().x), bits(expected.x));
    QCOMPARE(bits(form.state().y), bits(expected.y));
    QCOMPARE(bits(form.state().z), bits(expected.z));
}

void RunLoopTest::zeroMeansNoLimit()
{
    SimulationForm form(Brisuta);
    setField(form, "termineT", "5");
    setField(form, "termineT", "0");  // turns the limit off again
    LiveRun(form).stopAt(20'000).start();
    QCOMPARE(form.stepCount(), 20'001);
}

void RunLoopTest::stopWhileIdleThenViaRuns()
{
    SimulationForm form(Drumbel);
    click(button(form, "Stop"));
    QVERIFY(form.state().stopRequested);
    LiveRun(form).stopAt(100).start();
    QCOMPARE(form.stepCount(), 101);
}

void RunLoopTest::viaDuringRunRestarts()
{
    SimulationForm form(Brisuta);
    setField(form, "termineT", "300");
    bool restartSeen = false;
    LiveRun(form)
        .at(250,
            [&](std::int64_t) {
                click(button(form, "Via"));
                restartSeen = form.stepCount() == 0;
            })
        .start();
    QVERIFY(restartSeen);
    // The limit applies to the new count, and the point is 300 steps from the start.
    QCOMPARE(form.stepCount(), 300);
    const SimulationState expected = iterated(form, Brisuta, 300);
    QCOMPARE(bits(form.state().x), bits(expected.x));
    QCOMPARE(bits(form.state().z), bits(expected.z));
}

void RunLoopTest::viaPressedAThousandTimesDoesNotNest()
{
    SimulationForm form(Kelvane);
    LiveRun run(form);
    int presses = 0;
    // Addresses of locals of different frames compare only as integers.
    std::uintptr_t lowest = UINTPTR_MAX;
    std::uintptr_t highest = 0;
    std::function<void(std::int64_t)> press = [&](std::int64_t) {
        const char marker = 0;
        const auto here = reinterpret_cast<std::uintptr_t>(&marker);
        lowest = std::min(lowest, here);
        highest = std::max(highest, here);
        if (++presses < 1000) {
            click(button(form, "Via"));
            run.at(1, press);  // the next press comes in a later pass
        } else {
            click(button(form, "Stop"));
        }
    };
    run.at(10, press).start();
    QCOMPARE(presses, 1000);
    QVERIFY(!form.isRunning());
    // Every press was handled at the same depth of the stack.
    QVERIFY(highest - lowest < 4096);
}

void RunLoopTest::closingDuringRunEndsTheLoop()
{
    auto* form = new SimulationForm(Tessivo);
    form->show();
    QEventLoop loop;
    LiveRun run(*form);
    std::int64_t countAtClose = -1;
    run.at(1000, [&](std::int64_t) {
        countAtClose = form->stepCount();
        click(button(*form, "Esci"));
        click(button(*form, "SiUscire"));
    });
    // The run starts from the application's own event loop, as a click would.
    QTimer::singleShot(0, [&] {
        run.start();
        loop.exit(0);
    });
    QCOMPARE(loop.exec(), 0);
    QVERIFY(!form->isVisible());
    QVERIFY(!form->isRunning());
    // No pass ran after the window closed.
    QCOMPARE(form->stepCount(), countAtClose);
    delete form;
}

void RunLoopTest::overflowEndsRunAndNextRunWorks()
{
    SimulationForm form(Brisuta);
    form.show();
    setField(form, "dtT", "1e300");
    LiveRun(form, 1000).start();
    QVERIFY(!form.isRunning());
    QVERIFY(form.state().stopRequested);
    auto* message = form.findChild<QMessageBox*>("messaggioOverflow");
    QVERIFY(message);
    QVERIFY(message->isVisible());
    QVERIFY(!message->isModal());
    const QString step = QString::number(form.stepCount() + 1);
    QVERIFY2(message->text().contains(step), qPrintable(message->text()));
    // The faulting step committed nothing: the current point is finite.
    QVERIFY(std::isfinite(form.state().x) && std::isfinite(form.state().z));

    setField(form, "dtT", "1e-4");
    setField(form, "termineT", "10");
    LiveRun(form).start();
    QCOMPARE(form.stepCount(), 10);
    const SimulationState expected = iterated(form, Brisuta, 10);
    QCOMPARE(bits(form.state().y), bits(expected.y));
}

QTEST_MAIN(RunLoopTest)
#include "RunLoopTest.moc"
