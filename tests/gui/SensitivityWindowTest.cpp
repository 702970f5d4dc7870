// The Sensibilità window beside a program's window: it opens from the
// keyboard, shows the exponent and the parting of the twins in words a
// screen reader reaches, recomputes after edits, and shows only the newest
// result, cancelling what an edit made stale.
#include <QApplication>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include "ProgramRows.h"
#include "window/RunPace.h"
#include "window/SensitivityWindow.h"
#include "window/ToolHost.h"
#include "window/SimulationForm.h"

using namespace vortiquo;

namespace {

QStringList descriptions(const QWidget& window)
{
    QStringList all;
    for (const QWidget* child : window.findChildren<QWidget*>())
        if (!child->accessibleDescription().isEmpty())
            all << child->accessibleName() + ": " + child->accessibleDescription();
    return all;
}

bool waitForResult(QSignalSpy& shown, int count = 1)
{
    return QTest::qWaitFor([&] { return shown.size() >= count; }, 20000);
}

}  // namespace

class SensitivityWindowTest : public QObject {
    Q_OBJECT
private slots:
    void showsResult_data();
    void showsResult();
    void staleComputationIsCancelled();
    void quickEditsComputeOnce();
    void resultWaitsForTheRun();
    void keyboard();
};

// What the window says for each kind of orbit, in the label and in the
// charts' descriptions.
void SensitivityWindowTest::showsResult_data()
{
    QTest::addColumn<const Program*>("program");
    QTest::addColumn<QStringList>("edits");  // field=text
    QTest::addColumn<QString>("epsilon");
    QTest::addColumn<QString>("result");     // a pattern
    QTest::addColumn<QString>("described");  // a pattern some chart's description matches
    QTest::addColumn<QString>("spectrum");   // a pattern of the spectrum's table, as a screen reader hears it
    QTest::newRow("map at its opening values")
        << &Drumbel << QStringList{} << "1e-8"
        << R"(^λ = 0,4[12]\d* ± 0,0\d+ per passo\ncon due orbite vicine: λ = 0,4[12]\d* ± .*\n)"
           R"(Le due orbite si separano al passo \d+\.$)"
        << R"(si separano al passo \d+)"
        << R"(^λ₁ = 0,4[12]\d* ± 0,0\d+; λ₂ = -1,62\d* ± 0,0\d+; somma = -1,2039728043; )"
           R"(log \|det J\| = -1,2039728043; D_KY = 1,2[56]\d* ± 0,0\d+$)";
    QTest::newRow("flow: per unit of time")
        << &Brisuta << QStringList{} << "1e-8" << R"(^λ = 0,[89]\d* ± \d,\d+ per unità di tempo\n.*al tempo \d+,\d\.$)"
        << R"(in modo esponenziale al ritmo di \d,\d+ per unità di tempo)"
        << R"(^λ₁ = 0,[89]\d* ± 0,\d+; λ₂ = -?0,\d+ ± 0,\d+; λ₃ = -14,\d+ ± 0,\d+; somma = (-13,\d+) ± (0,\d+); )"
           R"(log \|det J\| = \1 ± \2; D_KY = 2,0\d+ ± 0,0\d+$)";
    QTest::newRow("overflow: the run's message")
        << &Drumbel << QStringList{"aT=5"} << "1e-8"
        << "^Overflow numerico al passo 10: il calcolo è stato interrotto\\.$" << "Nessuna stima" << "^$";
    QTest::newRow("the start point is the fields'")
        << &Tessivo << QStringList{"x0T=0.25", "y0T=-0.5"} << "-0.001" << R"(^λ = .*Le due orbite si separano al passo)"
        << R"(^Grafico delle due orbite: x delle due orbite)" << R"(^λ₁ = 0,19\d* ± .*; λ₂ = 0,1\d* ± .*; D_KY = 2$)";
}

void SensitivityWindowTest::showsResult()
{
    QFETCH(const Program*, program);
    QFETCH(QStringList, edits);
    QFETCH(QString, epsilon);
    QFETCH(QString, result);
    QFETCH(QString, described);
    QFETCH(QString, spectrum);
    SimulationForm form(*program);
    for (const QString& edit : edits)
        form.typeField(*fieldNamed(edit.section('=', 0, 0).toStdString()), edit.section('=', 1));
    SensitivityWindow* window = openSensitivityWindow(*form.toolHost());
    QSignalSpy shown(window, &SensitivityWindow::resultShown);
    window->findChild<QLineEdit*>("epsilonT")->setText(epsilon);
    QVERIFY(waitForResult(shown));
    const QRegularExpression pattern(result, QRegularExpression::DotMatchesEverythingOption);
    QVERIFY2(pattern.match(window->resultText()).hasMatch(), qPrintable(window->resultText()));
    const QStringList said = descriptions(*window);
    QVERIFY2(said.filter(QRegularExpression(described)).size() >= 1, qPrintable(said.join('\n')));
    QVERIFY2(QRegularExpression(spectrum).match(window->spectrumText()).hasMatch(), qPrintable(window->spectrumText()));
}

// An edit during a computation cancels it; its result is never shown.
void SensitivityWindowTest::staleComputationIsCancelled()
{
    SimulationForm form(Drumbel);
    SensitivityWindow* window = openSensitivityWindow(*form.toolHost());
    window->setDelay(10);
    window->setExponentSteps(2'000'000'000);  // far longer than the test waits
    QSignalSpy started(window, &SensitivityWindow::computationStarted);
    QSignalSpy ended(window, &SensitivityWindow::computationEnded);
    QSignalSpy shown(window, &SensitivityWindow::resultShown);
    form.typeField(Field::a, "1.39");
    QVERIFY(QTest::qWaitFor([&] { return started.size() == 1; }, 5000));
    const quint64 stale = started.first().first().toULongLong();
    form.typeField(Field::a, "5");  // overflows within a few steps
    QVERIFY(waitForResult(shown));
    QCOMPARE(started.size(), 2);
    QVERIFY(shown.first().first().toULongLong() > stale);
    QVERIFY(QTest::qWaitFor([&] { return ended.size() >= 3; }, 5000));  // the opening's, the stale one, the newest
    for (const QList<QVariant>& end : ended)
        QCOMPARE(end.at(1).toBool(), end.at(0).toULongLong() <= stale);  // only the newest ran to its end
    QVERIFY(window->resultText().startsWith("Overflow numerico al passo"));
    QTest::qWait(50);
    QCOMPARE(shown.size(), 1);
}

// Typing a number computes once, when the typing stops.
void SensitivityWindowTest::quickEditsComputeOnce()
{
    SimulationForm form(Drumbel);
    SensitivityWindow* window = openSensitivityWindow(*form.toolHost());
    QSignalSpy started(window, &SensitivityWindow::computationStarted);
    QSignalSpy shown(window, &SensitivityWindow::resultShown);
    for (const char* text : {"1", "1.", "1.3", "1.35"})
        form.typeField(Field::a, text);
    QVERIFY(waitForResult(shown));
    QCOMPARE(started.size(), 1);
    QVERIFY(window->resultText().startsWith("λ = "));
}

// While the program's window runs, a result that comes sooner than the
// pace's interval after the last one waits, and shows when the run ends.
void SensitivityWindowTest::resultWaitsForTheRun()
{
    SimulationForm form(Drumbel);
    form.show();
    SensitivityWindow* window = openSensitivityWindow(*form.toolHost());
    window->setDelay(0);
    window->setExponentSteps(10'000);
    QSignalSpy shown(window, &SensitivityWindow::resultShown);
    QVERIFY(waitForResult(shown));
    QElapsedTimer sinceShown;
    sinceShown.start();
    form.typeField(Field::termine, "2000000000");
    qsizetype shownDuringRun = -1;
    qint64 computedAfterMs = 0;
    connect(window, &SensitivityWindow::computationEnded, &form, [&](quint64, bool cancelled) {
        if (cancelled)
            return;
        computedAfterMs = sinceShown.elapsed();
        QTimer::singleShot(0, &form, [&] {  // after the window has dealt with the result
            shownDuringRun = shown.size();
            form.Stop_Click();
        });
    });
    QTimer::singleShot(0, window, [window] { window->findChild<QLineEdit*>("epsilonT")->setText("2e-8"); });
    form.Via_Click();
    if (computedAfterMs >= RunShowIntervalMs)
        QSKIP("the computation took longer than the pace's interval");
    QCOMPARE(shownDuringRun, 1);
    QTRY_COMPARE(shown.size(), 2);
    QVERIFY(window->resultText().startsWith("λ = "));
}

// Ctrl+L opens the window (a second time it raises the same one), the ε
// field comes first in the tab order, and Escape closes it.
void SensitivityWindowTest::keyboard()
{
    SimulationForm form(Kelvane);
    form.show();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    QTest::keyClick(&form, Qt::Key_L, Qt::ControlModifier);
    auto* window = form.findChild<SensitivityWindow*>();
    QVERIFY(window && window->isVisible());
    QVERIFY(window->isWindow());
    QTest::keyClick(&form, Qt::Key_L, Qt::ControlModifier);
    QCOMPARE(form.findChildren<SensitivityWindow*>().size(), 1);
    QVERIFY(QTest::qWaitForWindowActive(window));
    QTRY_COMPARE(QApplication::focusWidget(), window->findChild<QLineEdit*>("epsilonT"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget()->accessibleName(), "Grafico delle due orbite");
    QTest::keyClick(window, Qt::Key_Escape);
    QVERIFY(!window->isVisible());
    QVERIFY(form.isVisible());
}

QTEST_MAIN(SensitivityWindowTest)
#include "SensitivityWindowTest.moc"
