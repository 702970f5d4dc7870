// The exit panel and closing the window, while idle and during a run.
#include <QGroupBox>
#include <QTest>

#include "InteractionSupport.h"
#include "window/RunDispatcher.h"

using namespace vortiquo;

using namespace interaction;

namespace {

QWidget* panel(const SimulationForm& form)
{
    return form.findChild<QWidget*>(QStringLiteral("Uscita"));
}

}  // namespace

class InteractionExitTest : public QObject {
    Q_OBJECT
public:
    // The windows process their events as the programs' windows do.
    static void initMain() { prepareWindowEvents(); }

private slots:
    void panelFollowsClicks_data();
    void panelFollowsClicks();
    void closingEndsTheRun_data();
    void closingEndsTheRun();
};

void InteractionExitTest::panelFollowsClicks_data()
{
    QTest::addColumn<const Program*>("program");
    QTest::addColumn<QStringList>("clicks");
    QTest::addColumn<QList<bool>>("shown");  // whether the panel shows after each click
    QTest::addColumn<bool>("duringRun");

    for (const bool duringRun : {false, true}) {
        const char* when = duringRun ? "running" : "idle";
        QTest::addRow("Esci, %s", when) << &Brisuta << QStringList{"Esci"} << QList<bool>{true} << duringRun;
        QTest::addRow("Esci No Esci, %s", when)
            << &Tessivo << QStringList{"Esci", "NoUscire", "Esci"} << QList<bool>{true, false, true} << duringRun;
        QTest::addRow("disabled Esci, %s", when)
            << &Kelvane << QStringList{"Esci", "Esci", "NoUscire"} << QList<bool>{true, true, false} << duringRun;
        // The panel is not modal: the other controls work while it shows.
        QTest::addRow("Cancella under panel, %s", when)
            << &Drumbel << QStringList{"Esci", "Cancella", "Option10", "Option3", "NoUscire"}
            << QList<bool>{true, true, true, true, false} << duringRun;
    }
}

// "Esci" is disabled exactly while the panel shows. During a run every click
// comes between two steps, and the run never pauses for the panel.
void InteractionExitTest::panelFollowsClicks()
{
    QFETCH(const Program*, program);
    QFETCH(QStringList, clicks);
    QFETCH(QList<bool>, shown);
    QFETCH(bool, duringRun);
    SimulationForm form(*program);
    form.show();
    QPushButton* esci = button(form, "Esci");
    QVERIFY(panel(form)->isHidden());
    QVERIFY(esci->isEnabled());

    QList<bool> panelShown, enabled;
    std::vector<std::int64_t> steps;
    auto press = [&](const QString& name, std::int64_t step) {
        QWidget* target = form.findChild<QWidget*>(name);
        if (target->isEnabled())
            click(target);
        panelShown << panel(form)->isVisible();
        enabled << esci->isEnabled();
        steps.push_back(step);
    };
    std::int64_t stoppedAt = -1;
    if (duringRun) {
        LiveRun run(form);
        for (qsizetype i = 0; i < clicks.size(); ++i)
            run.at(50 * (i + 1), [&, i](std::int64_t step) { press(clicks[i], step); });
        run.at(50 * (clicks.size() + 1), [&](std::int64_t step) {
            stoppedAt = step;
            click(button(form, "Stop"));
        });
        run.start();
        QVERIFY(!run.safetyStopped());
        QCOMPARE(form.stepCount(), stoppedAt + 1);
        for (std::size_t i = 1; i < steps.size(); ++i)
            QCOMPARE_GT(steps[i], steps[i - 1]);
    } else {
        for (const QString& name : clicks)
            press(name, 0);
    }

    QCOMPARE(panelShown, shown);
    for (qsizetype i = 0; i < panelShown.size(); ++i)
        QVERIFY2(enabled[i] == !panelShown[i], qPrintable(QString("after click %1").arg(i + 1)));
}

void InteractionExitTest::closingEndsTheRun_data()
{
    QTest::addColumn<const Program*>("program");
    QTest::addColumn<bool>("byPanel");  // "Sì" in the panel, or the window's own close
    QTest::addColumn<bool>("duringRun");

    QTest::newRow("Sì, running") << &Brisuta << true << true;
    QTest::newRow("Sì, running map") << &Drumbel << true << true;
    QTest::newRow("close, running") << &Kelvane << false << true;
    QTest::newRow("close, running map") << &Tessivo << false << true;
    QTest::newRow("Sì, idle") << &Tessivo << true << false;
    QTest::newRow("close, idle") << &Brisuta << false << false;
}

// The window closes, and a run in progress ends with it: no step is taken
// and no point is drawn after the close.
void InteractionExitTest::closingEndsTheRun()
{
    QFETCH(const Program*, program);
    QFETCH(bool, byPanel);
    QFETCH(bool, duringRun);
    SimulationForm form(*program);
    form.show();
    auto closeWindow = [&] {
        if (byPanel)
            click(button(form, "SiUscire"));
        else
            form.close();
    };

    if (!duringRun) {
        if (byPanel)
            click(button(form, "Esci"));
        closeWindow();
        QVERIFY(!form.isVisible());
        return;
    }

    std::int64_t closedAt = -1;
    QImage atClose;
    SimulationState stateAtClose;
    LiveRun run(form);
    run.at(100, [&](std::int64_t) { click(button(form, "Esci")); })
        .at(150, [&](std::int64_t step) {
            closedAt = step;
            closeWindow();
            atClose = form.grafico()->image().copy();
            stateAtClose = form.state();
        })
        .at(160, [](std::int64_t) {})
        .stopAt(5000);
    run.start();

    QVERIFY(!form.isVisible());
    QVERIFY(!form.isRunning());
    QVERIFY(!run.safetyStopped());
    QCOMPARE(run.pending(), std::size_t{2});
    QCOMPARE_LE(form.stepCount(), closedAt + 1);  // the pass of the close may still be counted
    QCOMPARE(differingMembers(form.state(), stateAtClose), QStringList());
    QCOMPARE(differentPixels(form.grafico()->image(), atClose), 0);
}

QTEST_MAIN(InteractionExitTest)
#include "InteractionExitTest.moc"
