// "Esplora parametri" in the flows: the map of maxima computes again as the
// fields are edited, a picture of one orbit saved from the window draws
// again byte for byte from the command line, and the plane's two axes never
// show one parameter.
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <functional>

#include "DialogSupport.h"
#include "ProgramRows.h"
#include "ChildRuns.h"
#include "window/ExplorerTab.h"
#include "window/SimulationForm.h"

using namespace vortiquo;

namespace {

// The window, opened from the form's menu on the tab `title`.
QWidget* openExplorer(SimulationForm& form, const QString& title)
{
    for (QAction* action : form.actions())
        if (action->text().startsWith("Esplora parametri"))
            action->trigger();
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (widget->isVisible() && widget->windowTitle().startsWith("Esplora parametri")) {
            auto* tabs = widget->findChild<QTabWidget*>();
            for (int index = 0; index < tabs->count(); ++index)
                if (tabs->tabText(index) == title)
                    tabs->setCurrentIndex(index);
            return tabs->tabText(tabs->currentIndex()) == title ? widget : nullptr;
        }
    return nullptr;
}

ExplorerTab* openTab(QWidget* window)
{
    return qobject_cast<ExplorerTab*>(window->findChild<QTabWidget*>()->currentWidget());
}

bool fullPassDone(QWidget* window)
{
    return window->findChild<QProgressBar*>()->value() == 1000 && openTab(window)->complete();
}

QString editText(const SweepRecipe& recipe, Field field)
{
    for (const auto& [edited, text] : recipe.edits)
        if (edited == field)
            return text;
    return {};
}

}  // namespace

class FlowExplorerTest : public QObject {
    Q_OBJECT
private slots:
    void mapOfMaximaFollowsTheFields();
    void savedOrbitDrawsAgain_data();
    void savedOrbitDrawsAgain();
    void planeAxesStayApart();
};

void FlowExplorerTest::mapOfMaximaFollowsTheFields()
{
    SimulationForm form(Kelvane);
    form.show();
    QVERIFY(form.typeField(Field::dt, "1e-2"));  // a short orbit, quick under any load
    QWidget* window = openExplorer(form, "Mappa dei massimi");
    QVERIFY(window);
    QTRY_VERIFY_WITH_TIMEOUT(fullPassDone(window), 30000);
    QCOMPARE(editText(openTab(window)->shown(), Field::c), QString("5.7"));
    QVERIFY(form.typeField(Field::c, "4"));
    QTRY_VERIFY_WITH_TIMEOUT(editText(openTab(window)->shown(), Field::c) == "4" && fullPassDone(window), 30000);
    window->close();
}

void FlowExplorerTest::savedOrbitDrawsAgain_data()
{
    QTest::addColumn<const Program*>("program");
    QTest::addColumn<QString>("tab");
    QTest::addColumn<QString>("mode");
    QTest::addColumn<QString>("level");  // typed into the section's plane; empty: the flow's own
    QTest::newRow("spiral flow, maxima, another start") << &Kelvane << "Mappa dei massimi" << "--maxima" << "";
    QTest::newRow("convection flow, a section typed with a comma")
        << &Brisuta << "Sezione di Poincaré" << "--section" << "26,5";
}

// Everything the window computed from is in the picture: Δt, the start, the
// parameters, the plane.
void FlowExplorerTest::savedOrbitDrawsAgain()
{
    QFETCH(const Program*, program);
    QFETCH(QString, tab);
    QFETCH(QString, mode);
    QFETCH(QString, level);
    QTemporaryDir folder;
    const QString saved = folder.filePath("salvata.png"), again = folder.filePath("di-nuovo.png");
    SimulationForm form(*program);
    form.show();
    QVERIFY(form.typeField(Field::x0, "-2"));
    QVERIFY(form.typeField(Field::dt, program == &Kelvane ? "5e-3" : "1e-3"));
    QWidget* window = openExplorer(form, tab);
    QVERIFY(window);
    if (!level.isEmpty()) {
        auto* plane = openTab(window)->findChild<QLineEdit*>();
        plane->setText(level);
        emit plane->editingFinished();
        QCOMPARE(openTab(window)->recipe(false).level, 26.5);
    }
    QTRY_VERIFY_WITH_TIMEOUT(fullPassDone(window), 30000);
    interaction::whenDialogShows([&](QWidget* dialog) { interaction::enterPath(dialog, saved); });
    for (QPushButton* button : window->findChildren<QPushButton*>())
        if (button->text() == "Salva immagine…")
            button->click();
    QVERIFY(QFile::exists(saved));
    window->close();

    QCOMPARE(child::run(*program, {mode, again, "--from", saved}).status, 0);
    QVERIFY(child::contents(again) == child::contents(saved));
}

// Choosing for one axis the parameter the other shows swaps them.
void FlowExplorerTest::planeAxesStayApart()
{
    SimulationForm form(Kelvane);
    form.show();
    QWidget* window = openExplorer(form, "Piano dei parametri");
    QVERIFY(window);
    const QList<QComboBox*> axes = openTab(window)->findChildren<QComboBox*>();
    QCOMPARE(axes.size(), 2);
    QCOMPARE(axes[0]->currentText() + axes[1]->currentText(), QString("ca"));
    axes[0]->setCurrentIndex(0);  // a across: the vertical axis takes c
    QCOMPARE(axes[1]->currentText(), QString("c"));
    axes[1]->setCurrentIndex(1);  // b up
    const SweepRecipe recipe = openTab(window)->recipe(false);
    QCOMPARE(QString(QLatin1Char(recipe.acrossParameter)) + QLatin1Char(recipe.upParameter), QString("ab"));
    QCOMPARE(editText(recipe, Field::c), QString("5.7"));  // the third keeps the window's value
    window->close();
}

int main(int argc, char** argv)
{
    return child::main<FlowExplorerTest, QApplication>(argc, argv);
}

#include "FlowExplorerTest.moc"
