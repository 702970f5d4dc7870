// The command line as a user meets it in a terminal with no display. The
// program under test is this executable itself, started again in a child
// process that runs a program's entry point.
#include <QProcess>
#include <QRegularExpression>

#include "ProgramRows.h"
#include "cli/CommandLine.h"
#include "cli/RunProgram.h"

using namespace vortiquo;

namespace {

// Set in a child's environment to the name of the program it runs.
constexpr char ChildProgram[] = "VORTIQUO_COMMAND_LINE_CHILD";

struct Outcome {
    int status = -1;
    QString out, err;
};

Outcome runWithoutDisplay(const QString& program, const QStringList& arguments)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* variable : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        environment.remove(variable);
    environment.insert(ChildProgram, program);
    QProcess child;
    child.setProcessEnvironment(environment);
    child.start(QCoreApplication::applicationFilePath(), arguments);
    if (!child.waitForFinished(20000) || child.exitStatus() != QProcess::NormalExit)
        return {};
    return {child.exitCode(), QString::fromUtf8(child.readAllStandardOutput()),
            QString::fromUtf8(child.readAllStandardError())};
}

}  // namespace

class CommandLineTest : public QObject {
    Q_OBJECT
private slots:
    void answersWithoutDisplay_data();
    void answersWithoutDisplay();
    void readsRenderRequest();
};

void CommandLineTest::answersWithoutDisplay_data()
{
    QTest::addColumn<QString>("program");
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("status");
    // What the one stream written holds (standard output for status 0,
    // standard error otherwise); the other stays empty.
    QTest::addColumn<QString>("pattern");

    const QString version = R"(^BrisutaW7 \(Vortiquo\) \d+\.\d+\.\d+\n$)";
    const QString usage = R"(^Uso: %1 .*--render FILE\.png.*I campi sono:\s+%2\n)";
    QTest::newRow("--help") << "BrisutaW7" << QStringList{"--help"} << 0
                            << usage.arg("BrisutaW7", "aT, bT, cT, x0T, y0T, z0T, dtT, numT, denT");
    QTest::newRow("-h, map") << "TessivoW7" << QStringList{"-h"} << 0 << usage.arg("TessivoW7", "aT, bT, x0T, y0T");
    QTest::newRow("--version") << "BrisutaW7" << QStringList{"--version"} << 0 << version;
    QTest::newRow("-v") << "BrisutaW7" << QStringList{"-v"} << 0 << version;
    QTest::newRow("Qt's own options pass") << "BrisutaW7" << QStringList{"-platform", "xcb", "-style=fusion", "-v"} << 0
                                           << version;
    QTest::newRow("no display") << "BrisutaW7" << QStringList{} << 1
                                << "^BrisutaW7: nessuno schermo grafico trovato[^\n]*--render[^\n]*\n$";

    const auto usageError = [](const char* name, const QStringList& arguments, const QString& problem) {
        QTest::newRow(name) << "BrisutaW7" << arguments << 2 << "^BrisutaW7: .*" + QRegularExpression::escape(problem);
    };
    usageError("unknown option", {"--render", "o.png", "--bogus", "--steps", "5"}, "opzione sconosciuta: --bogus");
    usageError("value missing", {"--render"}, "manca il valore dopo --render");
    usageError("value given to a switch", {"--help=yes"}, "--help non vuole un valore");
    usageError("stray argument", {"o.png"}, "argomento inatteso: «o.png»");
    usageError("render without steps", {"--render", "o.png"}, "--render vuole --steps N oppure --from");
    usageError("steps without render", {"--steps", "5"}, "--steps vale solo con --render");
    usageError("steps not whole", {"--render", "o.png", "--steps", "2.5"}, "«2.5»");
    usageError("steps zero", {"--render", "o.png", "--steps", "0"}, "«0»");
    usageError("steps signed", {"--render", "o.png", "--steps", "+3"}, "«+3»");
    // The step limit holds 32 bits: more steps would be cut short, not run.
    usageError("steps beyond the step limit", {"--render", "o.png", "--steps", "2147483648"},
               "da 1 a 2147483647, non «2147483648»");
    usageError("scale too large", {"--render", "o.png", "--steps", "5", "--scale", "17"}, "da 1 a 16, non «17»");
    usageError("option out of range", {"--render", "o.png", "--steps", "5", "--option", "Option13"}, "«Option13»");
    usageError("field unknown", {"--render", "o.png", "--steps", "5", "--set", "zT=1"},
               "campo sconosciuto «zT»; i campi sono aT, bT, cT, x0T, y0T, z0T, dtT, numT, denT");
    usageError("termineT by --set", {"--render", "o.png", "--steps", "5", "--set", "termineT=9"}, "--steps N");
    usageError("--set without =", {"--render", "o.png", "--steps", "5", "--set", "aT"}, "CAMPO=TESTO");
    usageError("--from with a recipe", {"--render", "o.png", "--from", "s.png", "--option", "Option2"},
               "--from non si unisce");
}

void CommandLineTest::answersWithoutDisplay()
{
    QFETCH(QString, program);
    QFETCH(QStringList, arguments);
    QFETCH(int, status);
    QFETCH(QString, pattern);
    const Outcome outcome = runWithoutDisplay(program, arguments);
    QCOMPARE(outcome.status, status);
    const QString& written = status == 0 ? outcome.out : outcome.err;
    const QString& silent = status == 0 ? outcome.err : outcome.out;
    QVERIFY2(QRegularExpression(pattern, QRegularExpression::DotMatchesEverythingOption).match(written).hasMatch(),
             qPrintable(written));
    QVERIFY2(silent.isEmpty(), qPrintable(silent));
}

// Values reach the request as given: a text keeps every '=' after the
// first, an empty text stays empty, repeated options keep their order.
void CommandLineTest::readsRenderRequest()
{
    const CommandLine command = parseCommandLine(
        {"KelvaneW7", "--render=out.png", "--set", "aT=1=2", "--steps", "12", "-set", "x0T=", "--option", "Option12",
         "--option", "Option3", "--scale", "16"},
        Kelvane);
    QCOMPARE(int(command.action), int(CommandLine::Action::Render));
    const RenderRequest& request = command.render;
    QCOMPARE(request.output, "out.png");
    QCOMPARE(request.steps.value_or(0), qint64(12));
    QCOMPARE(request.edits.size(), std::size_t(2));
    QCOMPARE(request.edits[0], std::pair(Field::a, QString("1=2")));
    QCOMPARE(request.edits[1], std::pair(Field::x0, QString()));
    QCOMPARE(request.options, (std::vector<int>{12, 3}));
    QCOMPARE(request.scale, 16);
    QVERIFY(request.from.isEmpty());
}

int main(int argc, char** argv)
{
    if (const QByteArray child = qgetenv(ChildProgram); !child.isEmpty())
        return runProgram(argc, argv, programNamed(child.toStdString()));
    QCoreApplication application(argc, argv);
    CommandLineTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "CommandLineTest.moc"
