// The colour options and "Cancella", clicked while idle and during a run.
#include <QApplication>
#include <QPalette>
#include <QTest>

#include "InteractionSupport.h"
#include "picture/SystemColours.h"
#include "window/RunDispatcher.h"

using namespace vortiquo;

using namespace interaction;

namespace {

// The option of each group that is selected.
int selected(const SimulationForm& form, int first)
{
    int selected = 0;
    for (int number = first; number < first + 6; ++number)
        if (option(form, number)->isChecked())
            selected = selected ? -1 : number;
    return selected;
}

// The component order of each trace scheme: which of the first, second and
// third component feeds red, green and blue.
const char* schemeOrder(int scheme)
{
    static const char* const orders[] = {"312", "321", "213", "231", "123", "132"};
    return orders[scheme - 1];
}

}  // namespace

class InteractionOptionsTest : public QObject {
    Q_OBJECT
public:
    // The windows process their events as the programs' windows do.
    static void initMain() { prepareWindowEvents(); }

private slots:
    void initTestCase();
    void schemeChange_data();
    void schemeChange();
    void erasing_data();
    void erasing();
};

// Give every theme role its own colour, so that each background option can
// only pass with the colour it must select.
void InteractionOptionsTest::initTestCase()
{
    QPalette palette = QApplication::palette();
    palette.setColor(QPalette::Active, QPalette::Shadow, QColor(0x10, 0x20, 0x30));
    palette.setColor(QPalette::Active, QPalette::Base, QColor(0xf0, 0xf0, 0xe0));
    palette.setColor(QPalette::Active, QPalette::ButtonText, QColor(0x30, 0x10, 0x20));
    palette.setColor(QPalette::Active, QPalette::Text, QColor(0x20, 0x30, 0x10));
    palette.setColor(QPalette::Active, QPalette::WindowText, QColor(0x05, 0x06, 0x07));
    palette.setColor(QPalette::Active, QPalette::Window, QColor(0xc0, 0xc4, 0xc8));
    palette.setColor(QPalette::Active, QPalette::Highlight, QColor(0x30, 0x60, 0xd0));
    palette.setColor(QPalette::Disabled, QPalette::WindowText, QColor(0x80, 0x84, 0x88));
    QApplication::setPalette(palette);
}

void InteractionOptionsTest::schemeChange_data()
{
    QTest::addColumn<const Program*>("program");
    QTest::addColumn<QString>("dt");  // a step that moves the point across pixels
    QTest::addColumn<int>("scheme");

    QTest::newRow("convection to 2") << &Brisuta << "0.005" << 2;
    QTest::newRow("convection to 3") << &Brisuta << "0.005" << 3;
    QTest::newRow("convection to 4") << &Brisuta << "0.005" << 4;
    QTest::newRow("spiral to 1") << &Kelvane << "0.02" << 1;
    QTest::newRow("spiral to 6") << &Kelvane << "0.02" << 6;
    QTest::newRow("recurrence to 5") << &Tessivo << "" << 5;
    QTest::newRow("quadratic to 4") << &Drumbel << "" << 4;
}

// A trace option clicked during a run changes the scheme and nothing else:
// no pixel, no other member, not the background group. Points drawn before
// keep their colours wherever no later point covers them; every later point
// takes its colour from its own components in the order of the new scheme.
void InteractionOptionsTest::schemeChange()
{
    QFETCH(const Program*, program);
    QFETCH(QString, dt);
    QFETCH(int, scheme);
    SimulationForm form(*program);
    form.show();
    if (!dt.isEmpty())
        typeOver(textField(form, "dtT"), dt);
    const SimulationState start = atStart(*program, form.state());
    const int initial = selected(form, 1);

    std::int64_t changedAt = -1;
    QImage beforeChange;
    SimulationState atChange;
    QStringList written;
    int pixelsChanged = -1;
    LiveRun run(form);
    run.at(300, [&](std::int64_t step) {
           changedAt = step;
           beforeChange = form.grafico()->image().copy();
           const SimulationState before = form.state();
           click(option(form, scheme));
           atChange = form.state();
           written = differingMembers(before, atChange);
           pixelsChanged = differentPixels(beforeChange, form.grafico()->image());
       })
        .stopAt(600);
    run.start();
    QVERIFY(!run.safetyStopped());
    QCOMPARE(written, QStringList{"colourScheme"});
    QCOMPARE(atChange.colourScheme, scheme);
    QCOMPARE(pixelsChanged, 0);
    QCOMPARE(selected(form, 1), scheme);
    QCOMPARE(selected(form, 7), 8);

    const QImage blank = filled(beforeChange, form.grafico()->background());
    Picture earlier, later;
    SimulationState replayed = start;
    replay(*program, replayed, changedAt + 1, &earlier, schemeOrder(initial));
    QCOMPARE(differentPixels(beforeChange, overlay(blank, earlier)), 0);
    replay(*program, atChange, stepsAfter(changedAt, form.stepCount()), &later, schemeOrder(scheme));
    QCOMPARE(differentPixels(form.grafico()->image(), overlay(beforeChange, later)), 0);
    // Enough of the earlier trace is left uncovered, in colours the new
    // scheme would not give, for the row to mean something.
    int kept = 0;
    Picture recoloured;
    replayed = start;
    replay(*program, replayed, changedAt + 1, &recoloured, schemeOrder(scheme));
    for (const auto& [where, colour] : earlier)
        if (!later.count(where) && recoloured[where] != colour)
            ++kept;
    QCOMPARE_GT(kept, 20);
}

void InteractionOptionsTest::erasing_data()
{
    QTest::addColumn<const Program*>("program");
    QTest::addColumn<int>("preselect");  // background option clicked before, 0 for none
    QTest::addColumn<QString>("control");
    QTest::addColumn<bool>("duringRun");
    QTest::addColumn<int>("systemColourIndex");
    QTest::addColumn<bool>("copyHeld");  // a reader holds a copy of the picture across the click

    QTest::newRow("Option7 running") << &Brisuta << 0 << "Option7" << true << 19 << false;
    QTest::newRow("Option8 running") << &Kelvane << 12 << "Option8" << true << 9 << false;
    QTest::newRow("Option9 running") << &Tessivo << 0 << "Option9" << true << 1 << false;
    QTest::newRow("Option10 idle") << &Brisuta << 0 << "Option10" << false << 13 << false;
    QTest::newRow("Option11 running") << &Drumbel << 0 << "Option11" << true << 7 << false;
    QTest::newRow("Option12 idle") << &Kelvane << 0 << "Option12" << false << 11 << false;
    QTest::newRow("Option8 idle") << &Drumbel << 9 << "Option8" << false << 9 << false;
    QTest::newRow("Cancella running") << &Brisuta << 0 << "Cancella" << true << 9 << false;
    QTest::newRow("Cancella running, highlight") << &Tessivo << 10 << "Cancella" << true << 13 << false;
    QTest::newRow("Cancella idle") << &Kelvane << 7 << "Cancella" << false << 19 << false;
    QTest::newRow("Cancella running, copy held") << &Brisuta << 0 << "Cancella" << true << 9 << true;
    QTest::newRow("Option10 running, copy held") << &Drumbel << 0 << "Option10" << true << 13 << true;
}

// A background option and "Cancella" wipe the picture to the background and
// write nothing into the state; a run in progress goes on drawing from where
// it was onto the wiped area. A copy of the picture that a reader holds is a
// value: it stays as it was taken, and later points still reach the area.
void InteractionOptionsTest::erasing()
{
    QFETCH(const Program*, program);
    QFETCH(int, preselect);
    QFETCH(QString, control);
    QFETCH(bool, duringRun);
    QFETCH(int, systemColourIndex);
    QFETCH(bool, copyHeld);
    SimulationForm form(*program);
    form.show();
    if (preselect)
        click(option(form, preselect));
    QWidget* target = form.findChild<QWidget*>(control);
    QVERIFY(target);
    const int trace = selected(form, 1);

    std::int64_t actedAt = -1;
    QImage beforeClick, held;
    SimulationState atClick;
    QStringList written;
    auto act = [&](std::int64_t step) {
        actedAt = step;
        beforeClick = form.grafico()->image().copy();
        if (copyHeld)
            held = form.grafico()->image();
        const SimulationState before = form.state();
        click(target);
        atClick = form.state();
        written = differingMembers(before, atClick);
    };
    LiveRun run(form);
    if (duringRun) {
        run.at(300, act).stopAt(600);
        run.start();
    } else {
        typeOver(textField(form, "termineT"), "300");
        run.start();
        act(form.stepCount());
    }
    QVERIFY(!run.safetyStopped());
    QCOMPARE(written, QStringList());
    QCOMPARE(form.grafico()->background(), systemColour(systemColourIndex));
    QCOMPARE(selected(form, 7), control.startsWith("Option") ? control.mid(6).toInt() : (preselect ? preselect : 8));
    QCOMPARE(selected(form, 1), trace);
    const QImage blank = filled(beforeClick, systemColour(systemColourIndex));
    QVERIFY(differentPixels(beforeClick, blank) > 0);

    Picture later;
    if (duringRun) {
        QCOMPARE_GE(form.stepCount(), std::int64_t{601});  // the run went on to "Stop"
        replay(*program, atClick, stepsAfter(actedAt, form.stepCount()), &later, schemeOrder(trace));
        QVERIFY(!later.empty());
    }
    QCOMPARE(differentPixels(form.grafico()->image(), overlay(blank, later)), 0);
    if (copyHeld)
        QCOMPARE(differentPixels(held, beforeClick), 0);
}

QTEST_MAIN(InteractionOptionsTest)
#include "InteractionOptionsTest.moc"
