// --plane, --orbits and --merge as a user runs them, in a child process with
// no display: the file is the same on any number of threads and from tiles
// merged in any order; known points of the quadratic map have the exponents
// they should; a bad set of tiles or a misplaced option is refused with its own status.
#include <QProcess>
#include <QTemporaryDir>

#include "ProgramRows.h"
#include "ChildRuns.h"

using namespace vortiquo;

namespace {

// Small pictures that still hold periodic, chaotic and escaped pixels.
const QStringList SmallPlane = {"--size", "24x20", "--transient", "50", "--iterations", "200"};
const QStringList SmallOrbits = {"--size", "30x16", "--transient", "50", "--iterations", "100"};

}  // namespace

class SweepCommandTest : public QObject {
    Q_OBJECT
private slots:
    void sameFileWhateverTheSplit_data();
    void sameFileWhateverTheSplit();
    void knownPoints_data();
    void knownPoints();
    void mergeRefuses_data();
    void mergeRefuses();
    void usageErrors_data();
    void usageErrors();

private:
    QTemporaryDir dir_;
};

void SweepCommandTest::sameFileWhateverTheSplit_data()
{
    QTest::addColumn<const Program*>("program");
    QTest::addColumn<QStringList>("whole");   // the one-process command, without --threads
    QTest::addColumn<int>("tiles");           // 0: the same on 2 threads instead
    QTest::addColumn<QList<int>>("order");    // the order the tiles are given to --merge
    const QStringList plane = QStringList{"--plane"} + SmallPlane;
    const QStringList orbits = QStringList{"--orbits"} + SmallOrbits;
    QTest::newRow("plane, 1 or 2 threads") << &Drumbel << plane << 0 << QList<int>{};
    QTest::newRow("diagram, 1 or 2 threads") << &Tessivo << orbits << 0 << QList<int>{};
    QTest::newRow("plane in 3 tiles, merged out of order") << &Drumbel << plane << 3 << QList<int>{3, 1, 2};
    QTest::newRow("plane in as many tiles as rows") << &Tessivo << plane << 20 << QList<int>{};
    QTest::newRow("diagram in 4 tiles") << &Drumbel << orbits << 4 << QList<int>{2, 4, 1, 3};
    QTest::newRow("negative ranges, 2 tiles")
        << &Tessivo << (plane + QStringList{"--a", "-0.5:-0.1", "--b", "-1.8:-1.2"}) << 2 << QList<int>{2, 1};
    // A flow's durations are units of time: a few Euler steps per pixel here.
    const QStringList flowPlane = {"--plane", "--size", "7x6", "--transient", "2", "--duration", "5"};
    const QStringList flowOrbits = {"--orbits", "--size", "9x24", "--transient", "3", "--duration", "6"};
    QTest::newRow("a flow's plane in 3 tiles") << &Kelvane << flowPlane << 3 << QList<int>{2, 3, 1};
    QTest::newRow("a flow's plane over b and c, 2 threads")
        << &Brisuta << (flowPlane + QStringList{"--b", "20:40", "--c", "-4:-1", "--set", "dtT=1e-3"}) << 0
        << QList<int>{};
    QTest::newRow("a flow's diagram of y swept over a, in 4 tiles")
        << &Kelvane << (flowOrbits + QStringList{"--vary", "a", "--of", "y", "--set", "z0T=0.5"}) << 4
        << QList<int>{4, 2, 3, 1};
    QTest::newRow("diagram of b from a start point set")
        << &Drumbel << (orbits + QStringList{"--vary", "b", "--range", "-0.3:0.3", "--set", "x0T=0.25", "--set",
                                             "aT=1.2"})
        << 3 << QList<int>{1, 3, 2};
}

void SweepCommandTest::sameFileWhateverTheSplit()
{
    QFETCH(const Program*, program);
    QFETCH(QStringList, whole);
    QFETCH(int, tiles);
    QFETCH(QList<int>, order);
    const QString tag = QString::fromLatin1(QTest::currentDataTag()).replace(' ', '_').replace(',', '_');
    const QString one = dir_.filePath(tag + "-whole.png");
    QStringList oneCommand = whole;
    oneCommand.insert(1, one);
    QCOMPARE(child::run(*program, oneCommand + QStringList{"--threads", "1"}).status, 0);
    QVERIFY(!child::contents(one).isEmpty());

    const QString other = dir_.filePath(tag + "-split.png");
    if (tiles == 0) {
        QStringList twoThreads = whole;
        twoThreads.insert(1, other);
        QCOMPARE(child::run(*program, twoThreads + QStringList{"--threads", "2"}).status, 0);
    } else {
        QStringList parts;
        for (int tile = 1; tile <= tiles; ++tile) {
            const QString part = dir_.filePath(QString("%1-part%2.png").arg(tag).arg(tile));
            QStringList command = whole;
            command.insert(1, part);
            QCOMPARE(child::run(*program, command + QStringList{"--tile", QString("%1/%2").arg(tile).arg(tiles)}).status, 0);
            parts << part;
        }
        QStringList merge = {"--merge", other};
        for (int tile : order.isEmpty() ? QList<int>() : order)
            merge << parts[tile - 1];
        if (order.isEmpty())
            merge << parts;
        const child::Ended merged = child::run(*program, merge);
        QVERIFY2(merged.status == 0, qPrintable(merged.err));
    }
    QVERIFY(child::contents(other) == child::contents(one));

    // The file holds its recipe: drawn again from it, it is the same file.
    const QString again = dir_.filePath(tag + "-again.png");
    QCOMPARE(child::run(*program, {whole[0], again, "--from", one}).status, 0);
    QVERIFY(child::contents(again) == child::contents(one));
}

void SweepCommandTest::knownPoints_data()
{
    // One pixel at the centre of tiny ranges around (a, b); the exponent
    // from --values against its known value.
    QTest::addColumn<QString>("a");
    QTest::addColumn<QString>("b");
    QTest::addColumn<double>("least");
    QTest::addColumn<double>("most");
    QTest::newRow("chaotic opening values, about 0.42") << "1.39999:1.40001" << "0.29999:0.30001" << 0.40 << 0.44;
    QTest::newRow("attracting fixed point") << "0.19999:0.20001" << "0.29999:0.30001" << -10.0 << -0.1;
    QTest::newRow("period two") << "0.49999:0.50001" << "0.29999:0.30001" << -10.0 << -0.05;
    QTest::newRow("escaped: empty, not a fault") << "1.99999:2.00001" << "0.29999:0.30001" << qQNaN() << qQNaN();
}

void SweepCommandTest::knownPoints()
{
    QFETCH(QString, a);
    QFETCH(QString, b);
    QFETCH(double, least);
    QFETCH(double, most);
    const QString picture = dir_.filePath("point.png"), values = dir_.filePath("point.csv");
    const child::Ended outcome = child::run(Drumbel, {"--plane", picture, "--size", "1x1", "--transient", "1000", "--iterations",
                                          "100000", "--a", a, "--b", b, "--values", values});
    QVERIFY2(outcome.status == 0, qPrintable(outcome.err));
    const QList<QByteArray> lines = child::contents(values).split('\n');
    QCOMPARE(lines.size(), 3);
    QCOMPARE(lines[0], QByteArray("a,b,esponente"));
    const QList<QByteArray> cells = lines[1].split(',');
    QCOMPARE(cells.size(), 3);
    if (qIsNaN(least)) {
        QVERIFY(cells[2].isEmpty());
        return;
    }
    const double exponent = cells[2].toDouble();
    QVERIFY2(exponent >= least && exponent <= most, cells[2].constData());
}

void SweepCommandTest::mergeRefuses_data()
{
    QTest::addColumn<QList<int>>("parts");  // indices into: tile 1/3, 2/3, 3/3, 1/3 of another range, a whole
    QTest::addColumn<bool>("damageFirst");
    QTest::addColumn<QString>("message");
    QTest::newRow("a tile missing") << QList<int>{0, 2} << false << "mancano le parti 2 di 3";
    QTest::newRow("a tile twice") << QList<int>{0, 1, 2, 1} << false << "sono la stessa parte (2 di 3)";
    QTest::newRow("a tile of another picture") << QList<int>{3, 1, 2} << false << "non è una parte della stessa";
    QTest::newRow("a whole picture") << QList<int>{0, 1, 2, 4} << false << "è un'immagine intera";
    QTest::newRow("a damaged tile") << QList<int>{0, 1, 2} << true << "Impossibile unire le parti";
}

void SweepCommandTest::mergeRefuses()
{
    QFETCH(QList<int>, parts);
    QFETCH(bool, damageFirst);
    QFETCH(QString, message);
    QStringList files;
    const QStringList plane = QStringList{"--size", "8x6", "--transient", "10", "--iterations", "20"};
    for (const char* tile : {"1/3", "2/3", "3/3"}) {
        files << dir_.filePath(QString("refuse-%1.png").arg(files.size()));
        QCOMPARE(child::run(Drumbel, QStringList{"--plane", files.last(), "--tile", tile} + plane).status, 0);
    }
    files << dir_.filePath("refuse-other.png");
    QCOMPARE(child::run(Drumbel, QStringList{"--plane", files.last(), "--tile", "1/3", "--a", "0:1"} + plane).status, 0);
    files << dir_.filePath("refuse-whole.png");
    QCOMPARE(child::run(Drumbel, QStringList{"--plane", files.last()} + plane).status, 0);
    if (damageFirst) {
        QFile file(files[0]);
        QVERIFY(file.open(QIODevice::ReadWrite));
        QVERIFY(file.resize(file.size() / 2));
    }
    const QString output = dir_.filePath("refused.png");
    QStringList merge = {"--merge", output};
    for (int part : parts)
        merge << files[part];
    const child::Ended outcome = child::run(Drumbel, merge);
    QCOMPARE(outcome.status, 1);
    QVERIFY2(outcome.err.contains(message), qPrintable(outcome.err));
    QVERIFY(!QFile::exists(output));
}

void SweepCommandTest::usageErrors_data()
{
    QTest::addColumn<const Program*>("program");
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("message");
    QTest::newRow("a map has no c") << &Drumbel << QStringList{"--plane", "p.png", "--c", "0:1"}
                                    << "--c vale per i flussi";
    QTest::newRow("a flow counts time, not iterations")
        << &Kelvane << QStringList{"--plane", "p.png", "--iterations", "10"} << "--iterations vale per le mappe";
    QTest::newRow("a plane over three parameters")
        << &Kelvane << QStringList{"--plane", "p.png", "--a", "0:1", "--b", "0:1", "--c", "0:1"}
        << "--plane vuole due parametri";
    QTest::newRow("a reversed range") << &Drumbel << QStringList{"--plane", "p.png", "--a", "0.3:-0.5"} << "--a vuole DA:A";
    QTest::newRow("tile 0") << &Drumbel << QStringList{"--plane", "p.png", "--tile", "0/2"} << "--tile vuole I/N";
    QTest::newRow("more tiles than rows") << &Drumbel << QStringList{"--plane", "p.png", "--size", "4x2", "--tile", "1/3"}
                                          << "--tile vuole I/N";
    QTest::newRow("an argument out of place") << &Drumbel << QStringList{"--plane", "p.png", "q.png"}
                                              << "argomento inatteso: «q.png»";
    QTest::newRow("merge with no tiles") << &Drumbel << QStringList{"--merge", "p.png"} << "le parti da unire";
    QTest::newRow("the swept parameter set") << &Tessivo << QStringList{"--orbits", "p.png", "--vary", "a", "--set", "aT=1"}
                                             << "--set non scrive aT";
    QTest::newRow("sides allowed, too many points in all")
        << &Drumbel << QStringList{"--plane", "p.png", "--size", "16384x16384", "--values", "v.csv"} << "67108864";
    QTest::newRow("the diagram's points bounded too")
        << &Tessivo << QStringList{"--orbits", "p.png", "--size", "16384x8192"} << "67108864";
    QTest::newRow("--values with the diagram") << &Tessivo << QStringList{"--orbits", "p.png", "--values", "v.csv"}
                                               << "--values vale solo con --plane";
}

void SweepCommandTest::usageErrors()
{
    QFETCH(const Program*, program);
    QFETCH(QStringList, arguments);
    QFETCH(QString, message);
    const child::Ended outcome = child::run(*program, arguments);
    QCOMPARE(outcome.status, 2);
    QVERIFY2(outcome.err.contains(message), qPrintable(outcome.err));
}

int main(int argc, char** argv)
{
    return child::main<SweepCommandTest, QCoreApplication>(argc, argv);
}

#include "SweepCommandTest.moc"
