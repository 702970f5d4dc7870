// "Esplora parametri": every program offers it; the window computes off the
// GUI thread, coarse first, and Enter at its keyboard cursor types the point
// into the program's fields.
#include <QAction>
#include <QLineEdit>
#include <QApplication>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "DialogSupport.h"
#include "ProgramRows.h"
#include "ChildRuns.h"
#include "analysis/Dynamics.h"
#include "engine/SweepTiles.h"
#include "window/SimulationForm.h"
#include "window/SweepCanvas.h"
#include "window/ToolHost.h"
#include "window/ToolPlacement.h"
#include "window/Tools.h"

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

QPushButton* button(QWidget* window, const QString& text)
{
    for (QPushButton* candidate : window->findChildren<QPushButton*>())
        if (candidate->text() == text)
            return candidate;
    return nullptr;
}

}  // namespace

class ExplorerWindowTest : public QObject {
    Q_OBJECT
private slots:
    void everyProgramExplores_data() { addProgramRows(); }
    void everyProgramExplores();
    void savedDiagramDrawsAgainFromTheCommandLine();
    void toolWindowsOpenBeside_data();
    void toolWindowsOpenBeside();
    void toolWindowLandsWherePlaced();
    void shortcutsActInToolWindows();
    void barKeepsThePaceOfARun_data();
    void barKeepsThePaceOfARun();
};

void ExplorerWindowTest::everyProgramExplores()
{
    QFETCH(const Program*, program);
    SimulationForm form(*program);
    form.show();
    QAction* action = explorerAction(form);
    const bool offered = std::find(program->tools.begin(), program->tools.end(), &ExplorerTool) != program->tools.end();
    QCOMPARE(action != nullptr, offered);
    if (!action)
        return;
    QCOMPARE(action->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_E));
    // A flow's columns are hundreds of units of time: a longer Euler step
    // keeps them to a few thousand steps, so that the coarse pass comes soon.
    if (form.fieldText(Field::dt).size() > 0)
        QVERIFY(form.typeField(Field::dt, "1e-2"));
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
            canvas = shown;  // the first tab's, the one open
    QVERIFY(canvas);
    canvas->setFocus();
    QTest::keyClick(canvas, Qt::Key_Return);
    // A map opens on its plane, and the cursor types both its parameters; a
    // flow on its orbit diagram, and it types the parameter swept.
    const SweepView& view = *sweepViewOf(*program);
    const auto typedCentre = [&](SweepParameter parameter, const SweepSpan& span) {
        const Field field = static_cast<Field>(parameter);  // a, b, c lead the fields
        const double value = form.fieldText(field).toDouble();
        QVERIFY2(std::abs(value - (span.low + span.high) / 2) < 1e-12, qPrintable(form.fieldText(field)));
        QCOMPARE(parameterOf(form.session().state(), parameter), value);
    };
    if (view.sectionLevel == nullptr) {
        typedCentre(view.across, parameterSpan(view, view.across));
        typedCentre(view.up, parameterSpan(view, view.up));
    } else {
        typedCentre(view.varied, view.variedSpan);
    }
    window->close();
}

// A diagram computed after typing another start point is saved from the
// window, then drawn again by the command line from the file alone: the
// same bytes, so the recipe holds everything the window computed from.
void ExplorerWindowTest::savedDiagramDrawsAgainFromTheCommandLine()
{
    QTemporaryDir folder;
    const QString saved = folder.filePath("diagramma.png"), again = folder.filePath("di-nuovo.png");
    SimulationForm form(Drumbel);
    form.show();
    QVERIFY(form.typeField(Field::x0, "0.5"));
    QVERIFY(form.typeField(Field::y0, "-0.25"));
    explorerAction(form)->trigger();
    QWidget* window = explorerWindow();
    QVERIFY(window);
    window->findChild<QTabWidget*>()->setCurrentIndex(1);
    auto* progress = window->findChild<QProgressBar*>();
    QTRY_COMPARE_WITH_TIMEOUT(progress->value(), 1000, 60000);
    interaction::whenDialogShows([&](QWidget* dialog) { interaction::enterPath(dialog, saved); });
    button(window, "Salva immagine…")->click();
    QVERIFY(QFile::exists(saved));

    QCOMPARE(child::run(Drumbel, {"--orbits", again, "--from", saved}).status, 0);
    QVERIFY(child::contents(again) == child::contents(saved));
    window->close();
}

void ExplorerWindowTest::toolWindowsOpenBeside_data()
{
    QTest::addColumn<QRect>("program");
    QTest::addColumn<QRect>("expected");
    // The tool is 500×400 on a 1920×1080 screen.
    QTest::newRow("room on the right") << QRect(100, 50, 600, 500) << QRect(700, 50, 500, 400);
    QTest::newRow("no room on the right: left") << QRect(1500, 50, 400, 500) << QRect(1000, 50, 500, 400);
    QTest::newRow("wide window: below") << QRect(0, 0, 1900, 600) << QRect(0, 600, 500, 400);
    QTest::newRow("wide window low down: above") << QRect(0, 600, 1900, 480) << QRect(0, 200, 500, 400);
    QTest::newRow("near the bottom: kept on the screen") << QRect(100, 900, 600, 150) << QRect(700, 680, 500, 400);
    QTest::newRow("nowhere free: hides the least") << QRect(100, 100, 1700, 900) << QRect(100, 0, 500, 400);
}

void ExplorerWindowTest::toolWindowsOpenBeside()
{
    QFETCH(QRect, program);
    QFETCH(QRect, expected);
    QCOMPARE(besideWindow(program, QSize(500, 400), QRect(0, 0, 1920, 1080)), expected);
}

// The window a tool opens lands where besideWindow puts it for the program
// window's screen, and is a window of its own whose parent is the form.
void ExplorerWindowTest::toolWindowLandsWherePlaced()
{
    SimulationForm form(Tessivo);
    form.move(0, 0);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    explorerAction(form)->trigger();
    QWidget* window = explorerWindow();
    QVERIFY(window);
    QVERIFY(window->isWindow());
    QCOMPARE(window->parentWidget(), &form);
    const QRect frame = form.frameGeometry();
    const QSize margins = frame.size() - form.geometry().size();
    const QRect placed = besideWindow(frame, window->size() + margins, form.screen()->availableGeometry());
    QCOMPARE(window->pos(), placed.topLeft());
    form.close();
    QVERIFY(!window->isVisible());  // it closed with the program's window
}

// A tool window that lies over the program's, on a small screen, does not
// take the tools' shortcuts away: Ctrl+E in Sensibilità opens Esplora
// parametri, also from its ε field.
void ExplorerWindowTest::shortcutsActInToolWindows()
{
    SimulationForm form(Kelvane);
    form.show();
    for (QAction* action : form.actions())
        if (action->text().startsWith("Sensibilità"))
            action->trigger();
    QWidget* sensitivity = nullptr;
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (widget->isVisible() && widget->windowTitle().startsWith("Sensibilità"))
            sensitivity = widget;
    QVERIFY(sensitivity);
    QVERIFY(QTest::qWaitForWindowActive(sensitivity));
    auto* epsilon = sensitivity->findChild<QLineEdit*>();
    QVERIFY(epsilon);
    epsilon->setFocus();
    QTest::keyClick(epsilon, Qt::Key_E, Qt::ControlModifier);
    QTRY_VERIFY(explorerWindow() != nullptr);
    form.close();
}

void ExplorerWindowTest::barKeepsThePaceOfARun_data()
{
    QTest::addColumn<bool>("running");
    QTest::addColumn<bool>("barStartsAgain");
    QTest::newRow("no run: a new view starts the bar again") << false << true;
    QTest::newRow("a run: the bar waits for the poll's pace") << true << false;
}

// Setting the bar repaints it at once: while the program's window runs, a
// change of view leaves it to the poll.
void ExplorerWindowTest::barKeepsThePaceOfARun()
{
    QFETCH(bool, running);
    QFETCH(bool, barStartsAgain);
    SimulationForm form(Drumbel);
    form.show();
    explorerAction(form)->trigger();
    QWidget* window = explorerWindow();
    QVERIFY(window);
    auto* progress = window->findChild<QProgressBar*>();
    QTRY_VERIFY_WITH_TIMEOUT(progress->value() >= 100, 50000);  // the coarse pass is done
    const int before = progress->value();
    auto* tabs = window->findChild<QTabWidget*>();
    int bar = -1;
    const auto changeView = [&] {
        tabs->setCurrentIndex(1 - tabs->currentIndex());
        bar = progress->value();
    };
    if (running) {
        form.typeField(Field::termine, "2000000000");
        QTimer::singleShot(0, &form, [&] {
            changeView();
            form.Stop_Click();
        });
        form.Via_Click();
    } else {
        changeView();
    }
    QCOMPARE(bar, barStartsAgain ? 0 : before);
}

int main(int argc, char** argv)
{
    return child::main<ExplorerWindowTest, QApplication>(argc, argv);
}
#include "ExplorerWindowTest.moc"
