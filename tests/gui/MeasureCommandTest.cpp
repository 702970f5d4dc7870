// --lyapunov --spectrum and --dimension as a user runs them, in a child
// process with no display: the JSON members a script reads, the text a
// person reads, and the ways they end.
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>

#include "ProgramRows.h"
#include "ChildRuns.h"

using namespace vortiquo;

namespace {

QJsonObject jsonOf(const child::Ended& end)
{
    return QJsonDocument::fromJson(end.out.toUtf8()).object();
}

}  // namespace

class MeasureCommandTest : public QObject {
    Q_OBJECT
private slots:
    void spectrumAsJson_data();
    void spectrumAsJson();
    void dimensionAsJson();
    void texts_data();
    void texts();
};

// Every exponent with its uncertainty, and the self-check's two sides,
// which agree far beyond the uncertainty.
void MeasureCommandTest::spectrumAsJson_data()
{
    addProgramRows();
}

void MeasureCommandTest::spectrumAsJson()
{
    QFETCH(const Program*, program);
    const child::Ended end = child::run(*program, {"--lyapunov", "--spectrum", "--json", "--steps", "100000"});
    QCOMPARE(end.status, 0);
    QVERIFY2(end.err.isEmpty(), qPrintable(end.err));
    const QJsonObject report = jsonOf(end);
    const QJsonArray exponents = report["exponents"].toArray();
    QCOMPARE(exponents.size(), qsizetype(program->model->coordinates));
    QCOMPARE(report["uncertainties"].toArray().size(), exponents.size());
    double sum = 0;
    for (const QJsonValue& exponent : exponents)
        sum += exponent.toDouble();
    const double logDeterminant = report["logDeterminant"].toDouble();
    QVERIFY2(std::fabs(sum - logDeterminant) <= 1e-10 * std::fmax(1.0, std::fabs(logDeterminant)),
             qPrintable(end.out));
    const double dimension = report["kaplanYorke"].toDouble();
    QVERIFY2(dimension > 1 && dimension <= program->model->coordinates, qPrintable(end.out));
    QVERIFY(report["kaplanYorkeUncertainty"].isDouble());
    QCOMPARE(report["exponent"].toDouble() > 0, true);  // the largest, as before
}

void MeasureCommandTest::dimensionAsJson()
{
    const child::Ended end = child::run(Drumbel, {"--dimension", "--json", "--points", "20000"});
    QCOMPARE(end.status, 0);
    const QJsonObject report = jsonOf(end);
    QCOMPARE(report["program"].toString(), "DrumbelW7");
    QCOMPARE(report["points"].toInteger(), 20000);
    const double correlation = report["correlation"].toDouble(), boxes = report["boxCounting"].toDouble();
    QVERIFY2(correlation > 1.1 && correlation < 1.3 && boxes > 1.15 && boxes < 1.4, qPrintable(end.out));
    for (const char* key : {"correlationUncertainty", "boxCountingUncertainty"})
        QVERIFY2(report[key].toDouble() > 0 && report[key].toDouble() < 0.1, qPrintable(end.out));
    for (const char* key : {"correlationRange", "boxCountingRange"}) {
        const QJsonArray range = report[key].toArray();
        QVERIFY2(range.size() == 2 && range[0].toDouble() > 0 && range[0].toDouble() < range[1].toDouble(),
                 qPrintable(end.out));
    }
}

// Exit status, and what each stream holds (a pattern; empty: nothing).
void MeasureCommandTest::texts_data()
{
    QTest::addColumn<const Program*>("program");
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("out");
    QTest::addColumn<QString>("err");
    QTest::newRow("spectrum of a flow in words")
        << &Kelvane << QStringList{"--lyapunov", "--spectrum", "--steps", "100000"} << 0
        << R"(Spettro di Lyapunov, per unità di tempo \(base riortonormalizzata ogni 10 passi\):\n)"
           R"(  λ₁ = -?\d,\d+ ± \d,\d+\n  λ₂ = .*\n  λ₃ = -\d,\d+ ± .*\n  somma = .*\n  log \|det J\| = .*\n  D_KY = \d,\d+)"
        << "";
    QTest::newRow("quadratic map: the sum is log b to the last digits")
        << &Drumbel << QStringList{"--lyapunov", "--spectrum", "--steps", "100000"} << 0
        << R"(somma = -1,2039728043\n  log \|det J\| = -1,2039728043\n  D_KY = 1,2\d+ ± 0,0\d+\n$)" << "";
    // From the fields' (0, 0) the first two steps are singular, inside the transient.
    QTest::newRow("recurrence map: both exponents positive, the plane filled")
        << &Tessivo << QStringList{"--lyapunov", "--spectrum", "--steps", "100000"} << 0
        << R"(  λ₁ = 0,19\d+ ± 0,0\d+
  λ₂ = 0,1\d+ ± 0,0\d+
.*  D_KY = 2
$)" << "";
    QTest::newRow("dimension in words")
        << &Drumbel << QStringList{"--dimension"} << 0
        << R"(^D₂ = 1,\d+ ± 0,\d+ \(correlazione, da r = 0,\d+ a r = 0,\d+\)\nD₀ = 1,\d+ ± 0,\d+ \(scatole, )"
           R"(da lato = 0,\d+ a lato = \d,\d+\)\n  \(20000 punti, uno a ogni passo, dopo 1000 passi di transitorio; )"
           R"(contate tutte le coppie\)\n$)"
        << "";
    QTest::newRow("a zero time step gives no dimension")
        << &Kelvane << QStringList{"--dimension", "--set", "dtT=0"} << 1 << "" << "Nessuna dimensione: .*Δt nullo";
    QTest::newRow("dimension of an escaping orbit")
        << &Drumbel << QStringList{"--dimension", "--set", "aT=5"} << 3 << ""
        << "^DrumbelW7: Overflow numerico al passo \\d+: .*nessuna dimensione";
    const auto usage = [](const char* name, const Program& program, const QStringList& arguments, const char* problem) {
        QTest::newRow(name) << &program << arguments << 2 << "" << QRegularExpression::escape(problem);
    };
    usage("spectrum without --lyapunov", Drumbel, {"--dimension", "--spectrum"}, "--spectrum vale solo con --lyapunov");
    usage("points without --dimension", Drumbel, {"--lyapunov", "--points", "5000"}, "--points vale solo con --dimension");
    usage("too few points", Brisuta, {"--dimension", "--points", "999"}, "da 1000 a 1000000");
    usage("negative points", Brisuta, {"--dimension", "--points", "-5000"}, "--points");
}

void MeasureCommandTest::texts()
{
    QFETCH(const Program*, program);
    QFETCH(QStringList, arguments);
    QFETCH(int, status);
    QFETCH(QString, out);
    QFETCH(QString, err);
    const child::Ended end = child::run(*program, arguments);
    QCOMPARE(end.status, status);
    for (const auto& [written, pattern] : {std::pair(end.out, out), std::pair(end.err, err)}) {
        if (pattern.isEmpty())
            QVERIFY2(written.isEmpty(), qPrintable(written));
        else
            QVERIFY2(QRegularExpression(pattern, QRegularExpression::DotMatchesEverythingOption)
                         .match(written)
                         .hasMatch(),
                     qPrintable(written));
    }
}

int main(int argc, char** argv)
{
    return child::main<MeasureCommandTest, QCoreApplication>(argc, argv);
}

#include "MeasureCommandTest.moc"
