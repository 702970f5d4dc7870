// The Dimensione window beside a program's window: it opens from the
// keyboard, shows both dimensions with their ranges in words a screen reader
// reaches, lets the range be moved, and stops at "Annulla" without waiting.
#include <QApplication>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include "ProgramRows.h"
#include "window/DimensionWindow.h"
#include "window/SimulationForm.h"
#include "window/ToolHost.h"

using namespace vortiquo;

namespace {

bool waitForResult(QSignalSpy& shown, int count = 1)
{
    return QTest::qWaitFor([&] { return shown.size() >= count; }, 30000);
}

QPushButton* button(const QWidget& window, const QString& text)
{
    for (QPushButton* candidate : window.findChildren<QPushButton*>())
        if (candidate->text().remove('&') == text)
            return candidate;
    return nullptr;
}

}  // namespace

class DimensionWindowTest : public QObject {
    Q_OBJECT
private slots:
    void showsBothDimensions();
    void rangeMovesByHand_data();
    void rangeMovesByHand();
    void cancelStopsAndCalcolaStartsAgain();
    void keyboard();
};

void DimensionWindowTest::showsBothDimensions()
{
    SimulationForm form(Drumbel);
    DimensionWindow* window = openDimensionWindow(*form.toolHost());
    QSignalSpy shown(window, &DimensionWindow::resultShown);
    QVERIFY(waitForResult(shown));
    const QRegularExpression figures(R"(^D₂ = 1,[12]\d* ± 0,0\d+, da r = 0,\d+ a r = 0,\d+\n)"
                                     R"(D₀ = 1,[23]\d* ± 0,\d+, da lato = 0,\d+ a lato = \d,\d+$)");
    QVERIFY2(figures.match(window->figuresText()).hasMatch(), qPrintable(window->figuresText()));
    QVERIFY(window->statusText().startsWith("20000 punti dell'orbita"));
    QStringList described;
    for (const QWidget* child : window->findChildren<QWidget*>())
        if (child->accessibleDescription().contains("la pendenza del tratto rettilineo"))
            described << child->accessibleName();
    QCOMPARE(described, (QStringList{"Somma di correlazione C(r)", "Scatole occupate N"}));
}

// A range moved by hand gives that range's slope; one too short for a fit says so.
void DimensionWindowTest::rangeMovesByHand_data()
{
    QTest::addColumn<int>("first");
    QTest::addColumn<int>("last");
    QTest::addColumn<QString>("figure");
    QTest::newRow("the large radii only") << 2 << 8 << R"(^D₂ = 1,\d+ ± 0,\d+, da r = 0,0\d+ a r = 0,0\d+\n)";
    QTest::newRow("too short for a fit") << 3 << 5 << "^D₂: il tratto scelto vuole almeno 5 punti";
}

void DimensionWindowTest::rangeMovesByHand()
{
    QFETCH(int, first);
    QFETCH(int, last);
    QFETCH(QString, figure);
    SimulationForm form(Drumbel);
    DimensionWindow* window = openDimensionWindow(*form.toolHost());
    QSignalSpy shown(window, &DimensionWindow::resultShown);
    QVERIFY(waitForResult(shown));
    const QString automatic = window->figuresText();
    window->setCorrelationRange(first, last);
    QVERIFY2(QRegularExpression(figure).match(window->figuresText()).hasMatch(), qPrintable(window->figuresText()));
    QCOMPARE(window->figuresText().section('\n', 1), automatic.section('\n', 1));  // D₀ keeps its range
    const ScalingFit moved = fitScaling(window->shown()->correlationCurve, first, last);
    if (moved.valid)
        QVERIFY(moved.slope != window->shown()->correlationFit.slope);
    QTest::mouseClick(button(*window, "Automatico"), Qt::LeftButton);
    QCOMPARE(window->figuresText(), automatic);
}

// "Annulla" stops at once and shows nothing of the stopped computation;
// "Calcola" computes again.
void DimensionWindowTest::cancelStopsAndCalcolaStartsAgain()
{
    SimulationForm form(Brisuta);
    DimensionWindow* window = openDimensionWindow(*form.toolHost());
    window->setDelay(10);
    QSignalSpy started(window, &DimensionWindow::computationStarted);
    QSignalSpy shown(window, &DimensionWindow::resultShown);
    window->setPoints(static_cast<int>(MaxDimensionPoints));  // far longer than the test waits
    QVERIFY(QTest::qWaitFor([&] { return started.size() >= 1; }, 5000));  // the one the points began
    QTest::mouseClick(button(*window, "Annulla"), Qt::LeftButton);
    QCOMPARE(window->statusText(), "Calcolo annullato: «Calcola» lo riprende.");
    QVERIFY(button(*window, "Calcola")->isEnabled());
    QTest::qWait(100);
    QCOMPARE(shown.size(), 0);
    window->setDelay(60000);  // the points' edit below must not start a computation of its own
    window->setPoints(static_cast<int>(MinDimensionPoints) * 5);
    QTest::mouseClick(button(*window, "Calcola"), Qt::LeftButton);
    QVERIFY(waitForResult(shown));
    QVERIFY2(window->figuresText().startsWith("D₂ = 2,"), qPrintable(window->figuresText()));
}

// Ctrl+Shift+D opens the window, once; Escape closes it.
void DimensionWindowTest::keyboard()
{
    SimulationForm form(Tessivo);
    form.show();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    QTest::keyClick(&form, Qt::Key_D, Qt::ControlModifier | Qt::ShiftModifier);
    auto* window = form.findChild<DimensionWindow*>();
    QVERIFY(window && window->isVisible() && window->isWindow());
    QTest::keyClick(&form, Qt::Key_D, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(form.findChildren<DimensionWindow*>().size(), 1);
    QVERIFY(QTest::qWaitForWindowActive(window));
    QTest::keyClick(window, Qt::Key_Escape);
    QVERIFY(!window->isVisible());
}

QTEST_MAIN(DimensionWindowTest)
#include "DimensionWindowTest.moc"
