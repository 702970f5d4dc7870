// A key typed through the X server during a run, on an Xvfb of our own with
// the xcb platform: once the platform's reader has queued it, it reaches its
// handler right after the next step. The journal's stamps say where each
// key acted; they must be the steps at which the keys were typed, plus one.
// Exit status: 0 passed, 1 failed, 77 no Xvfb or XTest here.
#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <QTimer>
#include <chrono>
#include <thread>
#include <vector>

#include "QuietRun.h"
#include "VirtualDisplay.h"
#include "XRemote.h"
#include "apps/Programs.h"
#include "window/RunDispatcher.h"
#include "window/SimulationForm.h"

using namespace vortiquo;
using namespace interaction;

namespace {

constexpr int SkipStatus = 77;
constexpr int Keys = 5;

XRemote* remote = nullptr;

std::vector<std::int64_t> fieldStamps(const Journal& journal, Field field)
{
    std::vector<std::int64_t> stamps;
    for (const JournalEntry& entry : journal.entries())
        if (entry.kind == JournalEntry::Kind::field && entry.field == field)
            stamps.push_back(entry.stamp);
    return stamps;
}

}  // namespace

class PendingXEventTest : public QObject {
    Q_OBJECT
private slots:
    void typedKeyActsAfterTheNextStep();
};

void PendingXEventTest::typedKeyActsAfterTheNextStep()
{
    QCOMPARE(QGuiApplication::platformName(), QStringLiteral("xcb"));
    QVERIFY(RunDispatcher::active());
    QApplication::setCursorFlashTime(0);  // no blinking timer in the field
    SimulationForm form(programNamed("DrumbelW7"));
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    runQuietly(form);
    auto* field = form.findChild<QLineEdit*>(QStringLiteral("bT"));
    QVERIFY(field);
    remote->click(field->mapToGlobal(field->rect().center()));
    QTRY_VERIFY(field->hasFocus());
    const std::size_t before = fieldStamps(form.session().journal(), Field::b).size();

    // The first key comes from a timer during the run. Each key's handler
    // types the next one: it processes what is pending until nothing is,
    // types, waits until the platform's reader thread has queued the key and
    // woken the dispatcher, and then a little more, so that the whole press
    // is there when it returns. The window system's events of this pass are
    // handled by then, so only the flag raised by the reader brings the key
    // in, after the next step.
    std::vector<std::int64_t> expected, handledAt;
    bool quiet = true, woken = true;
    const auto typeNext = [&] {
        for (int round = 0; round < 50 && RunDispatcher::active()->woken(); ++round)
            QCoreApplication::processEvents();
        quiet = quiet && !RunDispatcher::active()->woken();
        remote->type(QStringLiteral("1"));
        woken = woken && waitUntilWoken();
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        expected.push_back(form.session().run().stamp() + 1);
    };
    QTimer typist;
    typist.setSingleShot(true);
    connect(&typist, &QTimer::timeout, &form, [&] { remote->type(QStringLiteral("1")); });
    connect(&form, &SimulationForm::fieldEdited, &form, [&](Field edited) {
        if (edited != Field::b || !form.isRunning())
            return;
        handledAt.push_back(form.session().run().stamp());
        if (handledAt.size() == Keys + 1)
            form.Stop_Click();
        else
            typeNext();
    });
    typist.start(30);
    Rescue rescue(form);
    form.Via_Click();  // a click would take the focus from the field
    QVERIFY(!rescue.rescued);
    QVERIFY2(quiet, "something stayed pending");
    QVERIFY2(woken, "the platform never woke the dispatcher for a key");
    QCOMPARE(field->text(), QStringLiteral("0.5111111"));
    handledAt.erase(handledAt.begin());  // the first key, typed from a timer
    QCOMPARE(handledAt, expected);
    std::vector<std::int64_t> journalled = fieldStamps(form.session().journal(), Field::b);
    journalled.erase(journalled.begin(), journalled.begin() + static_cast<std::ptrdiff_t>(before) + 1);
    QCOMPARE(journalled, expected);
}

int main(int argc, char** argv)
{
    VirtualDisplay display;
    if (!display.start()) {
        std::fprintf(stderr, "skipped: %s\n", qPrintable(display.problem()));
        return SkipStatus;
    }
    XRemote connection(display.name());
    if (!connection.usable()) {
        std::fprintf(stderr, "skipped: %s\n", qPrintable(connection.problem()));
        return SkipStatus;
    }
    remote = &connection;
    qputenv("DISPLAY", display.name().toLocal8Bit());
    qputenv("QT_QPA_PLATFORM", "xcb");
    prepareWindowEvents();
    QApplication application(argc, argv);
    PendingXEventTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "PendingXEventTest.moc"
