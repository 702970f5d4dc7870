// The journal keeps to its bounds and merges only what a replay would not
// miss; a replay takes a journal that does not fit together as damaged.
#include <QTest>
#include <string>

#include "core/Replay.h"
#include "core/Session.h"
#include "maps/MapModels.h"

using namespace vortiquo;

namespace {

// A quadratic-map window as loaded, with no run going.
Session loadedSession()
{
    FieldTexts texts;
    texts[static_cast<std::size_t>(Field::a)] = "1.4";
    texts[static_cast<std::size_t>(Field::b)] = "0.3";
    texts[static_cast<std::size_t>(Field::x0)] = "0";
    texts[static_cast<std::size_t>(Field::y0)] = "0";
    texts[static_cast<std::size_t>(Field::termine)] = "0";
    LoadFacts facts;
    facts.plotWidth = 6705;
    facts.plotHeight = 6375;
    return Session(QuadraticMap, loadedState(texts, facts), texts, 8);
}

// Replays a journal onto a raster with no pixels to keep.
ReplayOutcome replay(const JournalStart& start, const std::vector<JournalEntry>& entries)
{
    Raster raster;  // a grid of no pixels: every point falls outside
    return replayJournal(QuadraticMap, start, entries, raster);
}

JournalEntry entry(std::int64_t stamp, JournalEntry::Kind kind, const char* text = "")
{
    JournalEntry made;
    made.stamp = stamp;
    made.kind = kind;
    made.field = Field::termine;
    made.text = text;
    return made;
}

}  // namespace

class JournalTest : public QObject {
    Q_OBJECT
private slots:
    void keystrokesMergeOnlyWithoutLoss_data();
    void keystrokesMergeOnlyWithoutLoss();
    void boundedAndThenIncomplete();
    void damagedJournals_data();
    void damagedJournals();
};

// Each row types texts into one field between the same two steps, one
// keystroke at a time; the entries kept must replay to the same state.
void JournalTest::keystrokesMergeOnlyWithoutLoss_data()
{
    QTest::addColumn<int>("field");
    QTest::addColumn<QStringList>("texts");
    QTest::addColumn<int>("entries");
    QTest::newRow("plain field: the last text is enough") << int(Field::a) << QStringList{"-", "-0", "-0.", "-0.5"} << 1;
    QTest::newRow("limit turned off keeps the last limit") << int(Field::termine) << QStringList{"5", "", "7", ""} << 3;
    QTest::newRow("limit typed digit by digit") << int(Field::termine) << QStringList{"1", "10", "100"} << 1;
}

void JournalTest::keystrokesMergeOnlyWithoutLoss()
{
    QFETCH(int, field);
    QFETCH(QStringList, texts);
    QFETCH(int, entries);
    Session session = loadedSession();
    for (const QString& text : texts)
        session.editField(static_cast<Field>(field), text.toStdString());
    QCOMPARE(int(session.journal().entries().size()), entries);
    const ReplayOutcome outcome = replay(session.journalStart(), session.journalUntilNow());
    QCOMPARE(outcome.state.a, session.state().a);
    QCOMPARE(outcome.state.limitOn, session.state().limitOn);
    QCOMPARE(outcome.state.stepLimit, session.state().stepLimit);
}

void JournalTest::boundedAndThenIncomplete()
{
    Session session = loadedSession();
    for (std::size_t count = 0; count <= Journal::MaxEntries; ++count) {
        session.chooseScheme(1);
        session.stop();  // alternating, so that nothing merges
    }
    QVERIFY(!session.journal().complete());
    QVERIFY(session.journal().entries().empty());
    session.clearPicture();  // a fresh picture has a fresh journal
    QVERIFY(session.journal().complete());
    session.editField(Field::a, std::string(Journal::MaxTextBytes + 1, '7'));
    QVERIFY(!session.journal().complete());
}

// Journals that no window can have written.
void JournalTest::damagedJournals_data()
{
    using K = JournalEntry::Kind;
    QTest::addColumn<std::vector<JournalEntry>>("entries");
    QTest::addColumn<int>("end");
    const JournalEntry limit = entry(RunCounter::Idle, K::field, "100"), via = entry(RunCounter::Idle, K::via);
    QTest::newRow("a run that ends by its limit") << std::vector{limit, via} << int(ReplayOutcome::End::done);
    QTest::newRow("a halt ends a run with no limit") << std::vector{via, entry(40, K::halt)} << int(ReplayOutcome::End::done);
    QTest::newRow("a run that would never end") << std::vector{via} << int(ReplayOutcome::End::damaged);
    QTest::newRow("an entry of a run while idle") << std::vector{entry(3, K::stop)} << int(ReplayOutcome::End::damaged);
    QTest::newRow("a stamp the run has passed")
        << std::vector{via, entry(50, K::scheme), entry(20, K::stop)} << int(ReplayOutcome::End::damaged);
    QTest::newRow("a stamp beyond the run's end")
        << std::vector{limit, via, entry(500, K::stop)} << int(ReplayOutcome::End::damaged);
}

void JournalTest::damagedJournals()
{
    QFETCH(std::vector<JournalEntry>, entries);
    QFETCH(int, end);
    QCOMPARE(int(replay(loadedSession().journalStart(), entries).end), end);
}

QTEST_APPLESS_MAIN(JournalTest)
#include "JournalTest.moc"
