// The loops compiled per model draw what the model's two procedures draw
// when called one step at a time, and a replay that takes its steps in
// batches acts between the same two steps as one that takes them singly.
#include <QTest>
#include <atomic>
#include <vector>

#include "BitCompare.h"
#include "core/AdvanceOnce.h"
#include "core/Replay.h"
#include "flows/FlowModels.h"
#include "maps/MapModels.h"

using namespace vortiquo;

namespace {

// Pixels of a drawing area with the raster that sets them.
struct Pixels {
    std::vector<std::uint32_t> words;
    Raster raster;

    Pixels(int columns, int rows, double ratio) : words(std::size_t(columns) * std::size_t(rows))
    {
        raster.grid = {ratio, double(columns), double(rows)};
        raster.pixels = words.data();
        raster.pixelsPerRow = columns;
    }
};

SimulationState startState(double a, double b, double c, double dt, std::int16_t scheme)
{
    SimulationState state;
    state.a = a, state.b = b, state.c = c, state.dt = dt;
    state.cosAlpha = 0x1.bb67ae8584cadp-1, state.sinAlpha = 0x1.ffffffffffff8p-2;
    state.plotWidth = 6585, state.plotHeight = 6495;
    state.colourScheme = scheme;
    state.x = state.y = state.z = 1;
    return state;
}

void compareStates(const SimulationState& actual, const SimulationState& expected)
{
    for (auto member : {&SimulationState::x, &SimulationState::y, &SimulationState::z, &SimulationState::xNext,
                        &SimulationState::yNext, &SimulationState::zNext, &SimulationState::dx,
                        &SimulationState::screenX, &SimulationState::screenY})
        COMPARE_BITS(actual.*member, expected.*member);
    QCOMPARE(actual.stopRequested, expected.stopRequested);
    QCOMPARE(actual.stepLimit, expected.stepLimit);
}

JournalEntry entry(std::int64_t stamp, JournalEntry::Kind kind, Field field = Field::a, const char* text = "")
{
    JournalEntry made;
    made.stamp = stamp;
    made.kind = kind;
    made.field = field;
    made.text = text;
    made.scheme = 3;
    return made;
}

}  // namespace

Q_DECLARE_METATYPE(const Model*)
Q_DECLARE_METATYPE(SimulationState)

class RunBatchTest : public QObject {
    Q_OBJECT
private slots:
    void batchDrawsWhatStepsDraw_data();
    void batchDrawsWhatStepsDraw();
    void replayActsBetweenTheSameSteps_data();
    void replayActsBetweenTheSameSteps();
};

void RunBatchTest::batchDrawsWhatStepsDraw_data()
{
    QTest::addColumn<const Model*>("model");
    QTest::addColumn<SimulationState>("start");
    QTest::addColumn<double>("ratio");
    QTest::addColumn<bool>("faults");
    const double third = -0x1.555555555555dp+1, tenThousandth = 0x1.a36e2eb1c432dp-14;
    const SimulationState convection = startState(10, 28, third, tenThousandth, 1);
    SimulationState other = convection;
    other.colourScheme = 6;
    QTest::newRow("convection, scheme 1") << &ConvectionFlow << convection << 1.0 << false;
    QTest::newRow("convection, scheme 6, density 2") << &ConvectionFlow << other << 2.0 << false;
    QTest::newRow("spiral, scheme 4, density 1.5") << &SpiralFlow << startState(0.2, 0.2, 5.7, 0.001, 4) << 1.5
                                                   << false;
    QTest::newRow("recurrence, scheme 2") << &RecurrenceMap << startState(-0.1, -1.7, 0, 0, 2) << 1.0 << false;
    QTest::newRow("quadratic, scheme 5") << &QuadraticMap << startState(1.4, 0.3, 0, 0, 5) << 1.0 << false;
    QTest::newRow("quadratic, a scheme out of range") << &QuadraticMap << startState(1.4, 0.3, 0, 0, 9) << 1.0
                                                      << false;
    QTest::newRow("quadratic, faults inside the batch") << &QuadraticMap << startState(2.5, 0.3, 0, 0, 3) << 1.0
                                                        << true;
    QTest::newRow("convection, faults inside the batch") << &ConvectionFlow << startState(10, 28, third, 0.5, 1)
                                                         << 1.0 << true;
}

void RunBatchTest::batchDrawsWhatStepsDraw()
{
    QFETCH(const Model*, model);
    QFETCH(SimulationState, start);
    QFETCH(double, ratio);
    QFETCH(bool, faults);
    constexpr std::int64_t Steps = 300'000;
    const int columns = int(439 * ratio), rows = int(433 * ratio);

    Pixels stepped(columns, rows, ratio), batched(columns, rows, ratio), tracked(columns, rows, ratio);
    SimulationState one = start, many = start, window = start;
    std::int64_t taken = 0;
    while (taken < Steps && AdvanceOnce(*model, one, stepped.raster))
        ++taken;
    QCOMPARE(taken < Steps, faults);
    QCOMPARE(model->advanceBatch(many, batched.raster, Steps), taken);
    compareStates(many, one);
    QVERIFY(batched.words == stepped.words);

    // The window's step, one at a time, and the rectangle it repaints.
    TrackedRaster picture{tracked.raster, {}};
    std::int64_t windowSteps = 0;
    while (windowSteps < Steps && model->advanceTracked(window, picture))
        ++windowSteps;
    QCOMPARE(windowSteps, taken);
    compareStates(window, one);
    QVERIFY(tracked.words == stepped.words);
    DirtyRect drawn;
    for (int row = 0; row < rows; ++row)
        for (int column = 0; column < columns; ++column)
            if (tracked.words[std::size_t(row) * std::size_t(columns) + std::size_t(column)] != 0)
                drawn.add(column, row);
    QCOMPARE(picture.dirty.left, drawn.left);
    QCOMPARE(picture.dirty.top, drawn.top);
    QCOMPARE(picture.dirty.right, drawn.right);
    QCOMPARE(picture.dirty.bottom, drawn.bottom);

    // The same steps as the run takes them: batches that end after a step
    // at which the flag is up, or after the first point while no refresh is
    // due (each such batch here is followed by a refresh that empties the
    // rectangle).
    Pixels watched(columns, rows, ratio);
    TrackedRaster watchedPicture{watched.raster, {}};
    SimulationState quiet = start;
    std::atomic<bool> pending{false};
    std::int64_t watchedSteps = 0;
    TrackedBatch batch;
    for (int round = 0; !batch.faulted && watchedSteps < Steps; ++round) {
        pending = round % 3 == 0;
        const bool untilDrawn = round % 5 == 1;
        watchedPicture.dirty = {};
        batch = model->advanceUntilPending(quiet, watchedPicture, std::min<std::int64_t>(Steps - watchedSteps, 7777),
                                           pending, untilDrawn);
        watchedSteps += batch.drawn;
        if (!batch.faulted && (pending || untilDrawn))
            QVERIFY2(batch.drawn == 1 || (!pending && !watchedPicture.dirty.empty()),
                     "a batch went on past a raised flag or a new point");
    }
    QCOMPARE(watchedSteps, taken);
    QCOMPARE(batch.faulted, faults);
    compareStates(quiet, one);
    QVERIFY(watched.words == stepped.words);
}

// Each journal is replayed in batches and, as the reference, with a
// progress report after every step, which makes every batch one step long.
void RunBatchTest::replayActsBetweenTheSameSteps_data()
{
    using K = JournalEntry::Kind;
    QTest::addColumn<std::vector<JournalEntry>>("entries");
    QTest::addColumn<qint64>("budget");
    const JournalEntry via = entry(RunCounter::Idle, K::via);
    const JournalEntry limit = entry(RunCounter::Idle, K::field, Field::termine, "20000");
    const qint64 none = INT64_MAX;
    QTest::newRow("the limit ends the run") << std::vector{limit, via} << none;
    QTest::newRow("edits between two steps")
        << std::vector{limit, via, entry(777, K::field, Field::a, "1.3"), entry(778, K::scheme),
                       entry(5000, K::field, Field::b, "0.29")}
        << none;
    QTest::newRow("a restart, then stamps from 0 again")
        << std::vector{limit, via, entry(1234, K::via), entry(300, K::stop)} << none;
    QTest::newRow("a limit lowered below the count")
        << std::vector{via, entry(500, K::field, Field::termine, "100"), entry(900, K::halt)} << none;
    QTest::newRow("a limit raised at its last step")
        << std::vector{limit, via, entry(20000, K::field, Field::termine, "30000")} << none;
    QTest::newRow("a stop") << std::vector{limit, via, entry(4321, K::stop)} << none;
    const std::vector diverging{entry(RunCounter::Idle, K::field, Field::a, "1.9"), limit, via};
    QTest::newRow("a fault") << diverging << none;
    QTest::newRow("a budget met by a fault") << diverging << qint64(-1);
    QTest::newRow("a budget that ends before the limit") << std::vector{limit, via} << qint64(12345);
    QTest::newRow("a stamp the run has passed") << std::vector{limit, via, entry(50, K::scheme), entry(20, K::stop)}
                                               << none;
    QTest::newRow("a run that would never end") << std::vector{via} << none;
}

void RunBatchTest::replayActsBetweenTheSameSteps()
{
    QFETCH(std::vector<JournalEntry>, entries);
    QFETCH(qint64, budget);
    FieldTexts texts;
    for (auto [field, text] : {std::pair{Field::a, "1.4"}, {Field::b, "0.3"}, {Field::x0, "0"}, {Field::y0, "0"},
                               {Field::termine, "0"}})
        texts[std::size_t(field)] = text;
    LoadFacts facts;
    facts.plotWidth = 6705, facts.plotHeight = 6375;
    const JournalStart start{loadedState(texts, facts), {}, texts, 8};

    ReplayLimits batches, singles;
    singles.progressEvery = 1;
    singles.progress = [](std::int64_t) { return true; };
    Pixels batched(447, 425, 1), single(447, 425, 1);
    if (budget < 0)  // as many steps as the run draws before its fault
        budget = replayJournal(QuadraticMap, start, entries, single.raster, {}).steps;
    batches.maxSteps = singles.maxSteps = budget;
    const ReplayOutcome expected = replayJournal(QuadraticMap, start, entries, single.raster, singles);
    const ReplayOutcome actual = replayJournal(QuadraticMap, start, entries, batched.raster, batches);
    QCOMPARE(int(actual.end), int(expected.end));
    QCOMPARE(actual.steps, expected.steps);
    QCOMPARE(actual.faultStep, expected.faultStep);
    QCOMPARE(actual.run.stepCount, expected.run.stepCount);
    QCOMPARE(actual.run.running, expected.run.running);
    compareStates(actual.state, expected.state);
    QVERIFY(batched.words == single.words);
}

QTEST_APPLESS_MAIN(RunBatchTest)
#include "RunBatchTest.moc"
