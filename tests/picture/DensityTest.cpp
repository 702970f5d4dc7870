// Density pictures are integer work: counts that stop at their largest
// value, tone maps on known counts, blending and averaging to the bit, and a
// density replay that sees the very points a raster replay draws.
#include <QTest>
#include <cstdint>
#include <limits>
#include <vector>

#include "picture/Density.h"
#include "core/Replay.h"
#include "core/Session.h"
#include "maps/MapModels.h"

using namespace vortiquo;

Q_DECLARE_METATYPE(Tone)
Q_DECLARE_METATYPE(std::vector<std::uint32_t>)

namespace {

struct DensityAdapter : PointCanvas {
    DensityCanvas& canvas;
    explicit DensityAdapter(DensityCanvas& into) : canvas(into) {}
    void setPoint(const PlotPoint& point) override { canvas.setPoint(point); }
};

}  // namespace

class DensityTest : public QObject {
    Q_OBJECT
private slots:
    void toneLevels_data();
    void toneLevels();
    void countsSaturate();
    void blendAndAverage_data();
    void blendAndAverage();
    void densityReplaySeesTheRastersPoints();
};

// Levels worked out by hand: log(1+n)/log(1+max) and the share of lit
// pixels with at most n hits, times 255, to nearest, at least 1 when lit.
void DensityTest::toneLevels_data()
{
    QTest::addColumn<Tone>("tone");
    QTest::addColumn<std::vector<std::uint32_t>>("counts");
    QTest::addColumn<std::vector<std::uint32_t>>("levels");
    QTest::newRow("log: 0, 1, 9, 99") << Tone::log << std::vector<std::uint32_t>{0, 1, 9, 99}
                                      << std::vector<std::uint32_t>{0, 38, 128, 255};
    QTest::newRow("log: counts beyond the table") << Tone::log << std::vector<std::uint32_t>{1, 70000, 100000}
                                                  << std::vector<std::uint32_t>{15, 247, 255};
    QTest::newRow("log: largest count lit") << Tone::log << std::vector<std::uint32_t>{1, 0xFFFFFFFFu}
                                            << std::vector<std::uint32_t>{8, 255};
    QTest::newRow("equalize: shares of lit pixels") << Tone::equalize << std::vector<std::uint32_t>{0, 1, 1, 2, 5}
                                                    << std::vector<std::uint32_t>{0, 128, 128, 191, 255};
    QTest::newRow("equalize: large counts") << Tone::equalize << std::vector<std::uint32_t>{1, 70000, 70000, 100000}
                                            << std::vector<std::uint32_t>{64, 191, 191, 255};
    QTest::newRow("equalize: one count is full") << Tone::equalize
                                               << std::vector<std::uint32_t>(1000, 7)
                                               << std::vector<std::uint32_t>(1000, 255);
}

void DensityTest::toneLevels()
{
    QFETCH(Tone, tone);
    QFETCH(std::vector<std::uint32_t>, counts);
    QFETCH(std::vector<std::uint32_t>, levels);
    const ToneLevels toned(counts, tone);
    for (std::size_t index = 0; index < counts.size(); ++index)
        QCOMPARE(std::uint32_t{toned.level(counts[index])}, levels[index]);
}

// A pixel hit more often than its counter holds stays at the largest count.
void DensityTest::countsSaturate()
{
    DensityCanvas canvas(2, 1, 1);
    canvas.counts[0] = std::numeric_limits<std::uint32_t>::max() - 1;
    PlotPoint point;
    point.red = 200;
    for (int hit = 0; hit < 3; ++hit)
        canvas.setPoint(point);
    QCOMPARE(canvas.counts[0], std::numeric_limits<std::uint32_t>::max());
    QCOMPARE(canvas.colours[0], 0xC80000u);
    QCOMPARE(canvas.counts[1], 0u);

    std::uint16_t small = 0;
    for (int hit = 0; hit < 70000; ++hit)
        countOneMore(small);
    QCOMPARE(small, std::uint16_t{65535});
}

void DensityTest::blendAndAverage_data()
{
    QTest::addColumn<std::vector<std::uint32_t>>("block");  // 2×2, row by row
    QTest::addColumn<std::uint32_t>("averaged");
    QTest::newRow("equal pixels") << std::vector<std::uint32_t>(4, 0xFF102030u) << 0xFF102030u;
    QTest::newRow("halves round up") << std::vector<std::uint32_t>{0xFF000000u, 0xFF000000u, 0xFF010101u, 0xFF010101u}
                                     << 0xFF010101u;
    QTest::newRow("quarters round down")
        << std::vector<std::uint32_t>{0xFF000000u, 0xFF000000u, 0xFF000000u, 0xFF030303u} << 0xFF010101u;
    QTest::newRow("channels apart") << std::vector<std::uint32_t>{0xFFFF0000u, 0xFF00FF00u, 0xFF0000FFu, 0xFFFFFFFFu}
                                    << 0xFF808080u;
}

void DensityTest::blendAndAverage()
{
    QFETCH(std::vector<std::uint32_t>, block);
    QFETCH(std::uint32_t, averaged);
    std::uint32_t small = 0;
    averageBlocks(block.data(), 2, 2, 1, 1, &small, 1);
    QCOMPARE(small, averaged);
    // Full level is the colour, none the background, half lies between.
    QCOMPARE(blendPixel(0xFF8000u, 0x0000FFu, 255), 0xFFFF8000u);
    QCOMPARE(blendPixel(0xFF8000u, 0x0000FFu, 0), 0xFF0000FFu);
    QCOMPARE(blendPixel(0xFFFFFFu, 0x000000u, 128), 0xFF808080u);
}

// The replay through a point canvas draws what the raster replay draws: the
// same pixels lit, each in the colour of the last point there.
void DensityTest::densityReplaySeesTheRastersPoints()
{
    FieldTexts texts;
    for (auto [field, text] : {std::pair{Field::a, "1.4"}, {Field::b, "0.3"}, {Field::x0, "0"}, {Field::y0, "0"},
                               {Field::termine, "0"}})
        texts[static_cast<std::size_t>(field)] = text;
    LoadFacts facts;
    facts.plotWidth = 6705;
    facts.plotHeight = 6375;
    Session session(QuadraticMap, loadedState(texts, facts), texts, 8);
    session.editField(Field::termine, "30000");
    session.via();
    const int width = 447 * 2, height = 425 * 2;
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width * height), 0);
    Raster raster{{2, double(width), double(height)}, pixels.data(), width};
    const ReplayOutcome drawn =
        replayJournal(QuadraticMap, session.journalStart(), session.journal().entries(), raster);
    DensityCanvas density(width, height, 2);
    DensityAdapter adapter(density);
    const ReplayOutcome counted =
        replayJournal(QuadraticMap, session.journalStart(), session.journal().entries(), adapter);
    QCOMPARE(counted.steps, drawn.steps);
    QCOMPARE(drawn.steps, 30000);
    std::uint64_t hits = 0;
    for (std::size_t at = 0; at < pixels.size(); ++at) {
        QCOMPARE(density.counts[at] != 0, pixels[at] != 0);
        if (pixels[at] != 0)
            QCOMPARE(density.colours[at] | 0xFF000000u, pixels[at]);
        hits += density.counts[at];
    }
    QVERIFY(hits > 0 && hits <= 30000);
}

QTEST_GUILESS_MAIN(DensityTest)
#include "DensityTest.moc"
