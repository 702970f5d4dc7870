// A window's journal replays to the very picture on screen, whatever the
// user did during the runs: field edits, scheme and background choices,
// "Via" restarts, "Stop", "Cancella", faults. Every action is a real event
// acting between two steps of a live run.
#include <QTest>

#include "InteractionSupport.h"
#include "picture/Redraw.h"
#include "window/RunDispatcher.h"

using namespace vortiquo;

using namespace interaction;

namespace {

// One action of a script: "field=text" types over a field; "OptionK",
// "Via", "Stop" and "Cancella" click; "check" compares the replay of the
// journal with the window at that moment.
void act(SimulationForm& form, const QString& action)
{
    if (action == QLatin1String("check")) {
        const Session& session = form.session();
        const auto entries = session.journalUntilNow();
        const Redrawn redrawn = redraw(form.program(), session.journalStart(), entries, 1);
        QVERIFY2(redrawn.outcome.end != ReplayOutcome::End::damaged, "the journal does not fit together");
        QCOMPARE(redrawn.outcome.steps, session.stepsDrawn());
        QCOMPARE(differentPixels(composed(redrawn.points, form.grafico()->background()), form.grafico()->image()), 0);
        QCOMPARE(differingMembers(redrawn.outcome.state, form.state()),
                 QStringList() << (form.isRunning() ? QStringList{"stopRequested"} : QStringList{}));
    } else if (action.contains(QLatin1Char('='))) {
        applyEdits(form, {action});
    } else if (action.startsWith(QLatin1String("Option"))) {
        click(option(form, action.mid(6).toInt()));
    } else {
        click(button(form, action));
    }
}

}  // namespace

class JournalReplayTest : public QObject {
    Q_OBJECT
public:
    // The windows process their events as the programs' windows do.
    static void initMain() { prepareWindowEvents(); }

private slots:
    void replayDrawsTheWindowsPicture_data();
    void replayDrawsTheWindowsPicture();
};

// Scripts: "@N:action" acts at step N of the next run, "run" presses "Via"
// and waits for the run to end, anything else acts at once. A check ends
// every script.
void JournalReplayTest::replayDrawsTheWindowsPicture_data()
{
    QTest::addColumn<const Program*>("program");
    QTest::addColumn<QStringList>("script");
    QTest::newRow("edits, angle and scheme during a run")
        << &Brisuta
        << QStringList{"termineT=4000", "@500:aT=12", "@900:numT=2", "@1300:Option3", "@1700:check",
                       "@2100:dtT=2e-4", "@2100:x0T=3", "run"};
    QTest::newRow("restart, stop, then a second run")
        << &Kelvane
        << QStringList{"@300:Via", "@400:aT=0.3", "@450:Option1", "@700:Stop", "run", "check", "bT=0.25",
                       "termineT=500", "run"};
    QTest::newRow("clear and background change during a run")
        << &Tessivo
        << QStringList{"termineT=2000", "@300:Cancella", "@301:check", "@600:Option2", "@900:Option11",
                       "@1200:bT=-1.6", "run"};
    QTest::newRow("restarts in a row and idle edits")
        << &Drumbel
        << QStringList{"termineT=1500", "@100:Via", "@150:Via", "@200:Via", "@250:termineT=400", "run",
                       "x0T=0.5", "Option6", "termineT=900", "run"};
    QTest::newRow("a fault, then a run that goes well")
        << &Brisuta << QStringList{"dtT=1e300", "run", "check", "dtT=1e-4", "termineT=300", "run"};
    QTest::newRow("keystrokes between the same two steps")
        << &Kelvane << QStringList{"termineT=800", "@100:cT=123.456", "@200:denT=", "@200:denT=0", "@300:denT=3", "run"};
}

void JournalReplayTest::replayDrawsTheWindowsPicture()
{
    QFETCH(const Program*, program);
    QFETCH(QStringList, script);
    SimulationForm form(*program);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    std::vector<std::pair<std::int64_t, QString>> scheduled;
    for (const QString& token : script) {
        if (token.startsWith(QLatin1Char('@'))) {
            const qsizetype colon = token.indexOf(QLatin1Char(':'));
            scheduled.emplace_back(token.mid(1, colon - 1).toLongLong(), token.mid(colon + 1));
        } else if (token == QLatin1String("run")) {
            LiveRun run(form);
            for (const auto& [step, action] : scheduled)
                run.at(step, [&form, action = action](std::int64_t) { act(form, action); });
            scheduled.clear();
            run.start();
            QVERIFY(!run.safetyStopped());
            QCOMPARE(run.pending(), std::size_t{0});
        } else {
            act(form, token);
        }
        if (QTest::currentTestFailed())
            return;
    }
    act(form, QStringLiteral("check"));
}

QTEST_MAIN(JournalReplayTest)
#include "JournalReplayTest.moc"
