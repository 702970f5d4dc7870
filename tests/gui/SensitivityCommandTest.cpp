// --lyapunov and --separation as a user runs them, in a child process with
// no display: the exponent's figure, the file's rows to the last bit, and
// every way the two can end.
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <bit>
#include <csignal>
#include <sys/resource.h>

#include "ChildRuns.h"
#include "ProgramRows.h"
#include "cli/EditedSession.h"
#include "cli/RunProgram.h"
#include "analysis/SensitivityWork.h"

using namespace vortiquo;

namespace {

using ChildEnd = child::Ended;
using child::contents;

// A file size limit, if given, makes writing fail part way, as a full disk does.
ChildEnd run(const Program& program, const QStringList& arguments, rlim_t fileSizeLimit = RLIM_INFINITY)
{
    return child::run(program, arguments, 60000, fileSizeLimit);
}

}  // namespace

class SensitivityCommandTest : public QObject {
    Q_OBJECT
private slots:
    void exponent_data();
    void exponent();
    void endings_data();
    void endings();
    void separationRowsHoldEveryBit_data();
    void separationRowsHoldEveryBit();
    void failedWriteKeepsEarlierFile();

private:
    QTemporaryDir folder_;
};

// Both methods measure the same exponent of the orbit the fields set.
void SensitivityCommandTest::exponent_data()
{
    QTest::addColumn<const Program*>("program");
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("unit");
    QTest::addColumn<double>("low");
    QTest::addColumn<double>("high");
    QTest::addColumn<double>("methodsApart");
    QTest::newRow("quadratic map, opening values, 1,000,000 steps")
        << &Drumbel << QStringList{"--steps", "1000000"} << "passo" << 0.416 << 0.423 << 0.002;
    QTest::newRow("quadratic map from another start")
        << &Drumbel << QStringList{"--set", "x0T=0.5", "--set", "y0T=-0.1"} << "passo" << 0.416 << 0.423 << 0.002;
    // The Euler map's exponent, a little above the exact flow's 0.906.
    QTest::newRow("convection flow, per unit of time")
        << &Brisuta << QStringList{"--steps", "2000000"} << "tempo" << 0.85 << 1.0 << 0.02;
    QTest::newRow("periodic window: a negative exponent")
        << &Drumbel << QStringList{"--set", "aT=1.0", "--steps", "100000"} << "passo" << -2.0 << -0.01 << 0.002;
}

void SensitivityCommandTest::exponent()
{
    QFETCH(const Program*, program);
    QFETCH(QStringList, arguments);
    QFETCH(QString, unit);
    QFETCH(double, low);
    QFETCH(double, high);
    QFETCH(double, methodsApart);
    const ChildEnd outcome = run(*program, QStringList{"--lyapunov", "--json"} + arguments);
    QCOMPARE(outcome.status, 0);
    QVERIFY2(outcome.err.isEmpty(), qPrintable(outcome.err));
    QVERIFY2(outcome.out.endsWith('\n') && outcome.out.count('\n') == 1, qPrintable(outcome.out));
    const QJsonObject report = QJsonDocument::fromJson(outcome.out.toUtf8()).object();
    QCOMPARE(report["program"].toString(), program->name);
    QCOMPARE(report["unit"].toString(), unit);
    QCOMPARE(report["method"].toString(), "tangent");
    const double exponent = report["exponent"].toDouble(), twin = report["exponentTwin"].toDouble();
    QVERIFY2(exponent >= low && exponent <= high, qPrintable(outcome.out));
    QVERIFY2(std::fabs(exponent - twin) <= methodsApart, qPrintable(outcome.out));
    const double uncertainty = report["uncertainty"].toDouble();
    QVERIFY2(uncertainty > 0 && uncertainty < 0.05, qPrintable(outcome.out));
    if (const qsizetype at = arguments.indexOf("--steps"); at >= 0)
        QCOMPARE(report["steps"].toInteger(), arguments[at + 1].toLongLong());
}

// Exit status, and what each stream holds (a pattern; empty: nothing).
void SensitivityCommandTest::endings_data()
{
    QTest::addColumn<const Program*>("program");
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("out");
    QTest::addColumn<QString>("err");
    const QString csv = folder_.filePath("endings.csv");
    QTest::newRow("exponent as text, map")
        << &Drumbel << QStringList{"--lyapunov", "--steps", "100000"} << 0
        << R"(^λ = 0,4\d+ ± 0,0\d+ per passo\n.*vettore tangente, 100000 passi dopo 1000 di transitorio)" << "";
    QTest::newRow("exponent as text, flow")
        << &Kelvane << QStringList{"--lyapunov", "--steps", "100000"} << 0 << R"(^λ = -?\d,\d+ ± \d,\d+ per unità di tempo\n)"
        << "";
    QTest::newRow("overflow: no number printed")
        << &Drumbel << QStringList{"--lyapunov", "--set", "aT=5"} << 3 << ""
        << "^DrumbelW7: Overflow numerico al passo \\d+: il calcolo è stato interrotto\\.";
    QTest::newRow("a zero time step gives no exponent")
        << &Brisuta << QStringList{"--lyapunov", "--set", "dtT=0"} << 1 << "" << "Nessun esponente: con Δt nullo";
    QTest::newRow("overflow in the series: rows kept")
        << &Drumbel << QStringList{"--separation", csv, "--set", "aT=5"} << 3 << ""
        << "Overflow numerico al passo 10: .* Le righe fino al passo 9 sono in «.*endings\\.csv»";
    QTest::newRow("negative epsilon is a value")
        << &Tessivo << QStringList{"--separation", csv, "--epsilon", "-1e-8", "--steps", "5"} << 0 << "" << "";
    const auto usage = [](const char* name, const Program& program, const QStringList& arguments, const char* problem) {
        QTest::newRow(name) << &program << arguments << 2 << "" << QRegularExpression::escape(problem);
    };
    usage("json without --lyapunov", Drumbel, {"--separation", "o.csv", "--json"}, "--json vale solo con --lyapunov");
    usage("epsilon without --separation", Drumbel, {"--lyapunov", "--epsilon", "1e-8"},
          "--epsilon vale solo con --separation");
    usage("too few steps for an exponent", Drumbel, {"--lyapunov", "--steps", "999"}, "da 1000 a 10000000000");
    usage("epsilon zero", Drumbel, {"--separation", "o.csv", "--epsilon", "0"}, "diverso da zero");
    usage("epsilon with a comma", Drumbel, {"--separation", "o.csv", "--epsilon", "1,5e-8"}, "«1,5e-8»");
    usage("separation without a file", Drumbel, {"--separation"}, "manca il valore dopo --separation");
    usage("two modes at once", Drumbel, {"--lyapunov", "--separation", "o.csv"}, "non si uniscono");
    usage("unknown field", Kelvane, {"--lyapunov", "--set", "zT=1"}, "campo sconosciuto «zT»");
}

void SensitivityCommandTest::endings()
{
    QFETCH(const Program*, program);
    QFETCH(QStringList, arguments);
    QFETCH(int, status);
    QFETCH(QString, out);
    QFETCH(QString, err);
    const ChildEnd outcome = run(*program, arguments);
    QCOMPARE(outcome.status, status);
    for (const auto& [written, pattern] : {std::pair(outcome.out, out), std::pair(outcome.err, err)}) {
        if (pattern.isEmpty())
            QVERIFY2(written.isEmpty(), qPrintable(written));
        else
            QVERIFY2(QRegularExpression(pattern, QRegularExpression::DotMatchesEverythingOption)
                         .match(written)
                         .hasMatch(),
                     qPrintable(written));
    }
}

// The file holds the series the analysis computes, every number read back
// to the same bits; the flows write every tenth step.
void SensitivityCommandTest::separationRowsHoldEveryBit_data()
{
    QTest::addColumn<const Program*>("program");
    QTest::addColumn<QStringList>("edits");
    QTest::addColumn<double>("epsilon");
    QTest::addColumn<int>("steps");
    QTest::addColumn<int>("every");
    QTest::newRow("map, negative epsilon") << &Drumbel << QStringList{} << -1e-8 << 300 << 1;
    QTest::newRow("map, edited start") << &Tessivo << QStringList{"x0T=0.3"} << 1e-3 << 50 << 1;
    QTest::newRow("flow, every tenth step") << &Brisuta << QStringList{"aT=12"} << 1e-8 << 1005 << 10;
}

void SensitivityCommandTest::separationRowsHoldEveryBit()
{
    QFETCH(const Program*, program);
    QFETCH(QStringList, edits);
    QFETCH(double, epsilon);
    QFETCH(int, steps);
    QFETCH(int, every);
    const QString path = folder_.filePath(QStringLiteral("rows-%1.csv").arg(QTest::currentDataTag()));
    QStringList arguments{"--separation", path, "--epsilon", QString::number(epsilon, 'g', 17), "--steps",
                          QString::number(steps)};
    FieldEdits fieldEdits;
    for (const QString& edit : edits) {
        arguments << "--set" << edit;
        fieldEdits.emplace_back(*fieldNamed(edit.section('=', 0, 0).toStdString()), edit.section('=', 1));
    }
    QCOMPARE(run(*program, arguments).status, 0);

    const Session session = editedSession(*program, fieldEdits);
    TwinSettings settings{epsilon, steps, every};
    const TwinSeries series =
        twinOrbitSeries(*program->model, fieldStart(session.state(), session.texts()), settings);
    const QList<QByteArray> lines = contents(path).split('\n');
    QCOMPARE(lines.first(), "passo,tempo,x,x_gemello,separazione");
    QCOMPARE(lines.size(), qsizetype(series.samples.size()) + 2);  // the header, and an empty tail
    QCOMPARE(series.samples.size(), std::size_t(steps / every + 1));
    for (std::size_t row = 0; row < series.samples.size(); ++row) {
        const TwinSample& sample = series.samples[row];
        const QList<QByteArray> cells = lines[qsizetype(row) + 1].split(',');
        QCOMPARE(cells.size(), 5);
        QCOMPARE(cells[0].toLongLong(), sample.step);
        const double expected[] = {sample.time, sample.x, sample.twinX, sample.separation};
        for (int column = 0; column < 4; ++column)
            QCOMPARE(std::bit_cast<quint64>(cells[column + 1].toDouble()), std::bit_cast<quint64>(expected[column]));
    }
}

// A write that fails part way leaves the file that was there before, and
// says why in Italian.
void SensitivityCommandTest::failedWriteKeepsEarlierFile()
{
    const QString path = folder_.filePath("kept.csv");
    QCOMPARE(run(Drumbel, {"--separation", path, "--steps", "10"}).status, 0);
    const QByteArray earlier = contents(path);
    const ChildEnd outcome = run(Drumbel, {"--separation", path, "--steps", "100000"}, 64 * 1024);
    QCOMPARE(outcome.status, 1);
    QVERIFY2(outcome.err.contains(QStringLiteral("impossibile scrivere «%1»").arg(path)) &&
                 outcome.err.contains("Nessun file è stato modificato") &&
                 outcome.err.contains("il file supera la dimensione massima"),
             qPrintable(outcome.err));
    QCOMPARE(contents(path), earlier);
}

int main(int argc, char** argv)
{
    return child::main<SensitivityCommandTest, QCoreApplication>(argc, argv);
}

#include "SensitivityCommandTest.moc"
