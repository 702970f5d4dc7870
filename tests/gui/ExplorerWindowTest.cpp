// "Esplora parametri": only the maps offer it; the window computes its plane
// off the GUI thread, coarse first, and Enter at its keyboard cursor types the point into
// the program's a and b fields.
#include <QAction>
#include <QApplication>
#include <QProgressBar>
#include <QTest>

#include "ProgramRows.h"
#include "analysis/Dynamics.h"
#include "engine/SweepTiles.h"
#include "window/SimulationForm.h"
#include "window/SweepCanvas.h"

using namespace vortiquo;

namespace {

QAction* explorerAction(const SimulationForm& form)
{
    for (QAction* action : form.actions())
        if (action->text().startsWith("Esplora parametri"))
            return action;
    return nullptr;
}

QWidget* explorerWindow()
{
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (widget->isVisible() && widget->windowTitle().startsWith("Esplora parametri"))
            return widget;
    return nullptr;
}

}  // namespace

class ExplorerWindowTest : public QObject {
    Q_OBJECT
private slots:
    void onlyTheMapsExplore_data() { addProgramRows(); }
    void onlyTheMapsExplore();
};

void ExplorerWindowTest::onlyTheMapsExplore()
{
    QFETCH(const Program*, program);
    SimulationForm form(*program);
    form.show();
    QAction* action = explorerAction(form);
    QCOMPARE(action != nullptr, sweepViewOf(*program) != nullptr);
    if (!action)
        return;
    QCOMPARE(action->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_E));
    action->trigger();
    QWidget* window = explorerWindow();
    QVERIFY(window);
    auto* progress = window->findChild<QProgressBar*>();
    QVERIFY(progress);
    // The window answers while it computes: once the coarse pass is drawn,
    // Enter acts while the fine pass goes on (closing then cancels it).
    QTRY_VERIFY_WITH_TIMEOUT(progress->value() >= 100, 50000);
    SweepCanvas* canvas = nullptr;
    for (SweepCanvas* shown : window->findChildren<SweepCanvas*>())
        if (shown->isVisible())
            canvas = shown;  // the plane's tab is the one open
    QVERIFY(canvas);
    canvas->setFocus();
    QTest::keyClick(canvas, Qt::Key_Return);
    const SweepView& view = *sweepViewOf(*program);
    const double a = form.fieldText(Field::a).toDouble(), b = form.fieldText(Field::b).toDouble();
    QVERIFY2(std::abs(a - (view.a0 + view.a1) / 2) < 1e-12, qPrintable(form.fieldText(Field::a)));
    QVERIFY2(std::abs(b - (view.b0 + view.b1) / 2) < 1e-12, qPrintable(form.fieldText(Field::b)));
    QCOMPARE(form.session().state().a, a);
    window->close();
}

QTEST_MAIN(ExplorerWindowTest)
#include "ExplorerWindowTest.moc"
