// What a tool window shows while the program's window runs: at most once an
// interval, the newest showing replacing one that waits, and what waits
// shown at once when the run ends.
#include <QCoreApplication>
#include <QTest>

#include "window/RunPace.h"

using namespace vortiquo;

namespace {

constexpr int IntervalMs = 100;

}  // namespace

class RunPaceTest : public QObject {
    Q_OBJECT
private slots:
    void paces_data();
    void paces();
};

// Each action is a showing named by a letter, "drop", or "end" (the run
// ends); then what has been shown, at once and an interval later.
void RunPaceTest::paces_data()
{
    QTest::addColumn<bool>("running");
    QTest::addColumn<QStringList>("actions");
    QTest::addColumn<QString>("atOnce");
    QTest::addColumn<QString>("later");
    QTest::newRow("no run: each at once") << false << QStringList{"a", "b", "c"} << "abc" << "abc";
    QTest::newRow("a run: the first at once, the next after the interval")
        << true << QStringList{"a", "b"} << "a" << "ab";
    QTest::newRow("the newest replaces one that waits") << true << QStringList{"a", "b", "c"} << "a" << "ac";
    QTest::newRow("the run's end shows what waits") << true << QStringList{"a", "b", "end"} << "ab" << "ab";
    QTest::newRow("a dropped showing never comes; the interval still holds")
        << true << QStringList{"a", "b", "drop", "c"} << "a" << "ac";
}

void RunPaceTest::paces()
{
    QFETCH(bool, running);
    QFETCH(QStringList, actions);
    QFETCH(QString, atOnce);
    QFETCH(QString, later);
    QObject owner;
    RunPace pace([running] { return running; }, &owner, IntervalMs);
    QString shown;
    for (const QString& action : actions) {
        if (action == "drop")
            pace.drop();
        else if (action == "end")
            pace.runEnded();
        else
            pace.show([&shown, action] { shown += action; });
    }
    QCOMPARE(shown, atOnce);
    QTest::qWait(IntervalMs * 2);
    QCOMPARE(shown, later);
    QVERIFY(!pace.waiting());
}

QTEST_MAIN(RunPaceTest)
#include "RunPaceTest.moc"
