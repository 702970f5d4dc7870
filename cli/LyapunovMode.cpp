// --lyapunov: the largest Lyapunov exponent of the orbit the fields set, by
// the tangent and the two-orbit methods, printed in Italian or as JSON.
#include <QCommandLineParser>
#include <QJsonDocument>
#include <QJsonObject>
#include <cstdio>

#include "analysis/Lyapunov.h"
#include "cli/CommandLine.h"
#include "cli/CommandModes.h"
#include "cli/CommandReaders.h"
#include "cli/EditedSession.h"
#include "engine/ExponentText.h"
#include "analysis/SensitivityWork.h"

namespace vortiquo {

namespace {

// Enough for any use we know of; beyond it a computation would run for hours.
constexpr qint64 MostLyapunovSteps = 10'000'000'000;
// The fewest steps that still fill the 20 blocks of the uncertainty for every model.
constexpr qint64 FewestLyapunovSteps = 1000;

enum LyapunovStatus { LyapunovDone = 0, LyapunovNoResult = 1, LyapunovFault = 3 };

struct LyapunovRequest {
    FieldEdits edits;
    std::optional<qint64> steps;  // none: the model's default
    bool json = false;
};

void print(std::FILE* stream, const QString& text)
{
    std::fputs(text.toUtf8().constData(), stream);
}

QByteArray jsonReport(const Program& program, const LyapunovResult& result, const LyapunovSettings& settings,
                      bool timed)
{
    const QJsonObject report{
        {"program", program.name},
        {"exponent", result.tangent.value},
        {"uncertainty", result.tangent.standardError},
        {"unit", timed ? "tempo" : "passo"},
        {"steps", qint64(settings.measuredSteps)},
        {"transient", qint64(settings.transientSteps)},
        {"method", "tangent"},
        {"exponentTwin", result.twoOrbit.value},
        {"uncertaintyTwin", result.twoOrbit.standardError},
    };
    return QJsonDocument(report).toJson(QJsonDocument::Compact) + '\n';
}

QString textReport(const LyapunovResult& result, const LyapunovSettings& settings, bool timed)
{
    const QString pulls = settings.renormaliseEvery == 1
                              ? QStringLiteral("a ogni passo")
                              : QStringLiteral("ogni %1 passi").arg(settings.renormaliseEvery);
    return QStringLiteral("%1\n  (vettore tangente, %2 passi dopo %3 di transitorio)\n"
                          "%4\n  (due orbite, riavvicinate %5)\n")
        .arg(exponentText(result.tangent, timed))
        .arg(settings.measuredSteps)
        .arg(settings.transientSteps)
        .arg(exponentText(result.twoOrbit, timed), pulls);
}

int lyapunovTask(const Program& program, const LyapunovRequest& request)
{
    const Session session = editedSession(program, request.edits);
    const SimulationState start = fieldStart(session.state(), session.texts());
    const Dynamics& dynamics = *dynamicsOf(*program.model);
    LyapunovSettings settings = defaultLyapunovSettings(dynamics, start);
    if (request.steps)
        settings.measuredSteps = *request.steps;
    const LyapunovResult result = largestLyapunovExponent(*program.model, start, settings);
    if (result.outcome != Outcome::Finished) {
        const QString why = noExponentText(result);
        if (result.outcome == Outcome::Fault) {
            print(stderr, QStringLiteral("%1: %2 L'orbita sfugge all'infinito: nessun esponente. Provate altri "
                                         "valori dei campi.\n")
                              .arg(program.name, why));
            return LyapunovFault;
        }
        print(stderr, QStringLiteral("%1: %2\n").arg(program.name, why));
        return LyapunovNoResult;
    }
    if (request.json)
        std::fputs(jsonReport(program, result, settings, dynamics.timed).constData(), stdout);
    else
        print(stdout, textReport(result, settings, dynamics.timed));
    return LyapunovDone;
}

QString readLyapunov(const QCommandLineParser& parser, const Program& program, CommandLine& command)
{
    LyapunovRequest request;
    request.json = parser.isSet("json");
    QStringList errors;
    if (parser.isSet("steps")) {
        qint64 steps = 0;
        errors << readWhole("steps", parser.value("steps"), FewestLyapunovSteps, MostLyapunovSteps, steps);
        request.steps = steps;
    }
    for (const QString& edit : parser.values("set"))
        errors << readEdit(edit, program, request.edits);
    if (const QString error = firstError(errors); !error.isEmpty())
        return error;
    command.action = CommandLine::Action::Task;
    command.task = [&program, request] { return lyapunovTask(program, request); };
    return {};
}

constexpr const char* LyapunovAccepts[] = {"steps", "set", "json"};

}  // namespace

const CommandMode LyapunovMode = {
    "lyapunov",
    nullptr,
    LyapunovAccepts,
    readLyapunov,
    R"(  --lyapunov              scrive il più grande esponente di Lyapunov dell'orbita
                          che parte dai campi x0, y0 (z0), con la sua incertezza:
                          per passo nelle mappe, per unità di tempo nei flussi
                          (del passo di Eulero con il dt dato). Lo misura in due
                          modi, con il vettore tangente e con due orbite vicine.
                          Prima scarta un transitorio: 1000 passi nelle mappe,
                          10 unità di tempo nei flussi
  --steps N               con --lyapunov: i passi misurati dopo il transitorio,
                          da 1000 a 10000000000 (se non dato: 1000000 nelle
                          mappe, 10000000 nei flussi)
  --json                  con --lyapunov: un oggetto JSON su una riga al posto
                          del testo
)",
};

}  // namespace vortiquo
