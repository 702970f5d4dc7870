// A flow's orbit read as a map from the command line, in a child process
// with no display: --maxima and --section as rows or pictures, the rows of
// a diagram's maxima, a saved picture drawn again, an overflow, and the
// mistakes a user can make with them.
#include <QProcess>
#include <QTemporaryDir>

#include "ProgramRows.h"
#include "ChildRuns.h"

using namespace vortiquo;

namespace {

// The rows of a CSV file after its header, each split at its commas.
QList<QList<QByteArray>> rowsOf(const QByteArray& text, QByteArray& header)
{
    QList<QByteArray> lines = text.split('\n');
    header = lines.isEmpty() ? QByteArray() : lines.takeFirst();
    QList<QList<QByteArray>> rows;
    for (const QByteArray& line : lines)
        if (!line.isEmpty())
            rows << line.split(',');
    return rows;
}

const QStringList ShortOrbit = {"--transient", "20", "--duration", "200"};

}  // namespace

class FlowCommandTest : public QObject {
    Q_OBJECT
private slots:
    void rowsOfOneOrbit_data();
    void rowsOfOneOrbit();
    void savedPictureGivesTheSameRows_data();
    void savedPictureGivesTheSameRows();
    void diagramRowsAreItsMaxima();
    void overflowWritesWhatCameBefore();
    void usageErrors_data();
    void usageErrors();

private:
    QTemporaryDir dir_;
};

void FlowCommandTest::rowsOfOneOrbit_data()
{
    QTest::addColumn<const Program*>("program");
    QTest::addColumn<QStringList>("arguments");  // after the output
    QTest::addColumn<QByteArray>("header");
    QTest::addColumn<int>("onPlane");  // the column that holds the plane's level, or −1
    QTest::addColumn<double>("level");
    QTest::newRow("maxima of z") << &Brisuta << (QStringList{"--maxima"} + ShortOrbit) << QByteArray("indice,massimo")
                                 << -1 << 0.0;
    QTest::newRow("maxima of y") << &Kelvane << (QStringList{"--maxima"} + ShortOrbit + QStringList{"--of", "y"})
                                 << QByteArray("indice,massimo") << -1 << 0.0;
    QTest::newRow("the flow's own section, z = b − 1")
        << &Brisuta << (QStringList{"--section"} + ShortOrbit + QStringList{"--set", "bT=30"}) << QByteArray("x,y,z")
        << 2 << 29.0;
    QTest::newRow("a section at a negative level, downwards")
        << &Kelvane << (QStringList{"--section"} + ShortOrbit + QStringList{"--at", "y=-2.5", "--direction", "down"})
        << QByteArray("x,y,z") << 1 << -2.5;
}

// Rows with 17 significant digits, numbered from 1 for the maxima; every
// crossing lies on its plane exactly.
void FlowCommandTest::rowsOfOneOrbit()
{
    QFETCH(const Program*, program);
    QFETCH(QStringList, arguments);
    QFETCH(QByteArray, header);
    QFETCH(int, onPlane);
    QFETCH(double, level);
    const QString output = dir_.filePath(QString::fromLatin1(QTest::currentDataTag()).replace(' ', '_') + ".csv");
    arguments.insert(1, output);
    const child::Ended outcome = child::run(*program, arguments);
    QVERIFY2(outcome.status == 0, qPrintable(outcome.err));
    QByteArray found;
    const QList<QList<QByteArray>> rows = rowsOf(child::contents(output), found);
    QCOMPARE(found, header);
    QVERIFY(rows.size() > 10);
    for (qsizetype index = 0; index < rows.size(); ++index) {
        QCOMPARE(rows[index].size(), header.count(',') + 1);
        if (onPlane < 0)
            QCOMPARE(rows[index][0].toLongLong(), index + 1);
        else
            QCOMPARE(rows[index][onPlane].toDouble(), level);
        const QByteArray& value = rows[index].last();
        QCOMPARE(QByteArray::number(value.toDouble(), 'g', 17), value);
    }
}

void FlowCommandTest::savedPictureGivesTheSameRows_data()
{
    QTest::addColumn<QString>("mode");
    QTest::newRow("map of maxima") << "--maxima";
    QTest::newRow("section") << "--section";
}

// A picture of one orbit holds its recipe: the rows made from it are those
// of the command that made it, and the picture drawn again is the same file.
void FlowCommandTest::savedPictureGivesTheSameRows()
{
    QFETCH(QString, mode);
    const QString picture = dir_.filePath(mode.mid(2) + ".png"), again = dir_.filePath(mode.mid(2) + "-again.png");
    const QString rows = dir_.filePath(mode.mid(2) + ".csv"), rowsAgain = dir_.filePath(mode.mid(2) + "-again.csv");
    const QStringList settings = ShortOrbit + QStringList{"--set", "x0T=-2", "--set", "cT=5"};
    QCOMPARE(child::run(Kelvane, QStringList{mode, picture, "--size", "64x48"} + settings).status, 0);
    QCOMPARE(child::run(Kelvane, QStringList{mode, rows} + settings).status, 0);
    QCOMPARE(child::run(Kelvane, {mode, again, "--from", picture}).status, 0);
    QCOMPARE(child::run(Kelvane, {mode, rowsAgain, "--from", picture}).status, 0);
    QVERIFY(!child::contents(picture).isEmpty() && child::contents(again) == child::contents(picture));
    QVERIFY(!child::contents(rows).isEmpty() && child::contents(rowsAgain) == child::contents(rows));
}

// --values of a flow's diagram: parametro,massimo, each column's maxima
// under its own parameter, left to right, as many as the picture counts.
void FlowCommandTest::diagramRowsAreItsMaxima()
{
    const QString picture = dir_.filePath("cascade.png"), values = dir_.filePath("cascade.csv");
    const child::Ended outcome = child::run(Kelvane, {"--orbits", picture, "--size", "4x50", "--range", "2:4", "--transient",
                                          "100", "--duration", "60", "--values", values, "--threads", "2"});
    QVERIFY2(outcome.status == 0, qPrintable(outcome.err));
    QByteArray header;
    const QList<QList<QByteArray>> rows = rowsOf(child::contents(values), header);
    QCOMPARE(header, QByteArray("parametro,massimo"));
    QList<double> parameters;
    for (const QList<QByteArray>& row : rows)
        if (parameters.isEmpty() || parameters.last() != row[0].toDouble())
            parameters << row[0].toDouble();
    QCOMPARE(parameters, (QList<double>{2.25, 2.75, 3.25, 3.75}));  // the columns' centres, in order
    QVERIFY(rows.size() > 4 * 8);  // a maximum every six units of time or so
}

// An Euler step too long for the flow: the rows found before the overflow
// are written, and the status says the orbit overflowed.
void FlowCommandTest::overflowWritesWhatCameBefore()
{
    const QString output = dir_.filePath("overflow.csv");
    const child::Ended outcome = child::run(Brisuta, {"--maxima", output, "--set", "dtT=0.03", "--transient", "0"});
    QCOMPARE(outcome.status, 3);
    QVERIFY2(outcome.err.contains("Overflow numerico al passo"), qPrintable(outcome.err));
    QVERIFY(child::contents(output).startsWith("indice,massimo\n"));
}

void FlowCommandTest::usageErrors_data()
{
    QTest::addColumn<const Program*>("program");
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("message");
    QTest::newRow("a map has no maxima") << &Drumbel << QStringList{"--maxima", "m.csv"} << "--maxima vale per i flussi";
    QTest::newRow("one orbit is not split") << &Brisuta << QStringList{"--section", "s.csv", "--tile", "1/2"}
                                            << "--tile vale solo con --plane, --orbits";
    QTest::newRow("a plane without its value") << &Brisuta << QStringList{"--section", "s.csv", "--at", "z"}
                                               << "--at vuole COORDINATA=VALORE";
    QTest::newRow("a plane of no coordinate") << &Kelvane << QStringList{"--section", "s.csv", "--at", "w=1"}
                                              << "--at vuole COORDINATA=VALORE";
    QTest::newRow("a direction of no kind") << &Kelvane << QStringList{"--section", "s.csv", "--direction", "left"}
                                            << "--direction vuole up";
    QTest::newRow("a negative duration") << &Kelvane << QStringList{"--maxima", "m.csv", "--duration", "-5"}
                                         << "--duration vuole una durata in unità di tempo";
    QTest::newRow("a duration of no time") << &Kelvane << QStringList{"--plane", "p.png", "--duration", "0"}
                                           << "--duration vuole una durata";
    QTest::newRow("a map has no z") << &Tessivo << QStringList{"--orbits", "o.png", "--of", "z"} << "--of vale per i flussi";
    QTest::newRow("a map has no c to vary") << &Tessivo << QStringList{"--orbits", "o.png", "--vary", "c"}
                                            << "--vary vuole a oppure b";
    QTest::newRow("the varied parameter set") << &Kelvane << QStringList{"--orbits", "o.png", "--set", "cT=3"}
                                              << "--set non scrive cT";
    QTest::newRow("a map counts iterations") << &Drumbel << QStringList{"--plane", "p.png", "--duration", "5"}
                                             << "--duration vale per i flussi";
    QTest::newRow("a recipe is not typed again") << &Kelvane << QStringList{"--maxima", "m.csv", "--from", "x.png",
                                                                            "--of", "y"}
                                                 << "--from non si unisce a --of";
}

void FlowCommandTest::usageErrors()
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
    return child::main<FlowCommandTest, QCoreApplication>(argc, argv);
}

#include "FlowCommandTest.moc"
