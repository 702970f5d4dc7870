// --lyapunov: the largest Lyapunov exponent of the orbit the fields set, by
// the tangent and the two-orbit methods, and with --spectrum the whole
// spectrum beside it, printed in Italian or as JSON.
#include <QCommandLineParser>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cmath>
#include <cstdio>

#include "analysis/Lyapunov.h"
#include "analysis/Spectrum.h"
#include "cli/CommandLine.h"
#include "cli/CommandModes.h"
#include "cli/CommandReaders.h"
#include "cli/EditedSession.h"
#include "engine/ExponentText.h"
#include "engine/MeasureText.h"
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
    bool spectrum = false;
    bool json = false;
};

void print(std::FILE* stream, const QString& text)
{
    std::fputs(text.toUtf8().constData(), stream);
}

QJsonObject jsonReport(const Program& program, const LyapunovResult& result, const LyapunovSettings& settings,
                       bool timed)
{
    return QJsonObject{
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
}

// The spectrum's members of the report. JSON has no NaN: a dimension or
// error that is not a number is null.
void addSpectrum(QJsonObject& report, const SpectrumResult& spectrum, const SpectrumSettings& settings)
{
    const auto number = [](double value) { return std::isfinite(value) ? QJsonValue(value) : QJsonValue(); };
    QJsonArray exponents, uncertainties;
    for (int i = 0; i < spectrum.count; ++i) {
        exponents.append(number(spectrum.exponents[i].value));
        uncertainties.append(number(spectrum.exponents[i].standardError));
    }
    report["exponents"] = exponents;
    report["uncertainties"] = uncertainties;
    report["sum"] = number(spectrum.sum.value);
    report["sumUncertainty"] = number(spectrum.sum.standardError);
    report["logDeterminant"] = number(spectrum.logDeterminant.value);
    report["logDeterminantUncertainty"] = number(spectrum.logDeterminant.standardError);
    report["kaplanYorke"] = number(spectrum.kaplanYorke.value);
    report["kaplanYorkeUncertainty"] = number(spectrum.kaplanYorke.standardError);
    report["orthonormalisedEvery"] = qint64(settings.orthonormaliseEvery);
}

QString everyText(std::int64_t steps)
{
    return steps == 1 ? QStringLiteral("a ogni passo") : QStringLiteral("ogni %1 passi").arg(steps);
}

QString textReport(const LyapunovResult& result, const LyapunovSettings& settings, bool timed)
{
    return QStringLiteral("%1\n  (vettore tangente, %2 passi dopo %3 di transitorio)\n"
                          "%4\n  (due orbite, riavvicinate %5)\n")
        .arg(exponentText(result.tangent, timed))
        .arg(settings.measuredSteps)
        .arg(settings.transientSteps)
        .arg(exponentText(result.twoOrbit, timed), everyText(settings.renormaliseEvery));
}

QString spectrumTextReport(const SpectrumResult& spectrum, const SpectrumSettings& settings, bool timed)
{
    QString text = QStringLiteral("Spettro di Lyapunov, %1 (base riortonormalizzata %2):\n")
                       .arg(exponentUnit(timed), everyText(settings.orthonormaliseEvery));
    for (const MeasureEntry& entry : spectrumEntries(spectrum))
        text += QStringLiteral("  %1 = %2\n").arg(entry.name, entry.value);
    return text;
}

// The fault's message, with what it means for the user.
QString faultText(const Program& program, FaultSource source, const QString& why)
{
    const QString meaning = source == FaultSource::Tangent
                                ? QStringLiteral("Da questo punto di partenza nessun esponente: provate altri valori "
                                                 "di x0, y0 (z0).")
                                : QStringLiteral("L'orbita sfugge all'infinito: nessun esponente. Provate altri "
                                                 "valori dei campi.");
    return QStringLiteral("%1: %2 %3\n").arg(program.name, why, meaning);
}

int lyapunovTask(const Program& program, const LyapunovRequest& request)
{
    const Session session = editedSession(program, request.edits);
    const SimulationState start = fieldStart(session.state(), session.texts());
    const Dynamics& dynamics = *dynamicsOf(*program.model);
    LyapunovSettings settings = defaultLyapunovSettings(dynamics, start);
    SpectrumSettings spectrumSettings = defaultSpectrumSettings(dynamics, start);
    if (request.steps) {
        settings.measuredSteps = *request.steps;
        spectrumSettings.measuredSteps = *request.steps;
    }
    const LyapunovResult result = largestLyapunovExponent(*program.model, start, settings);
    if (result.outcome != Outcome::Finished) {
        const QString why = noExponentText(result);
        if (result.outcome == Outcome::Fault) {
            print(stderr, faultText(program, result.faultSource, why));
            return LyapunovFault;
        }
        print(stderr, QStringLiteral("%1: %2\n").arg(program.name, why));
        return LyapunovNoResult;
    }
    SpectrumResult spectrum;
    if (request.spectrum) {
        spectrum = lyapunovSpectrum(*program.model, start, spectrumSettings);
        if (spectrum.outcome == Outcome::Fault) {
            print(stderr, faultText(program, spectrum.faultSource, noSpectrumText(spectrum)));
            return LyapunovFault;
        }
        if (spectrum.outcome != Outcome::Finished) {
            print(stderr, QStringLiteral("%1: %2\n").arg(program.name, noSpectrumText(spectrum)));
            return LyapunovNoResult;
        }
    }
    if (request.json) {
        QJsonObject report = jsonReport(program, result, settings, dynamics.timed);
        if (request.spectrum)
            addSpectrum(report, spectrum, spectrumSettings);
        std::fputs((QJsonDocument(report).toJson(QJsonDocument::Compact) + '\n').constData(), stdout);
        return LyapunovDone;
    }
    print(stdout, textReport(result, settings, dynamics.timed));
    if (request.spectrum)
        print(stdout, spectrumTextReport(spectrum, spectrumSettings, dynamics.timed));
    return LyapunovDone;
}

QString readLyapunov(const QCommandLineParser& parser, const Program& program, CommandLine& command)
{
    LyapunovRequest request;
    request.json = parser.isSet("json");
    request.spectrum = parser.isSet("spectrum");
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

constexpr const char* LyapunovAccepts[] = {"steps", "set", "json", "spectrum"};

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
  --spectrum              con --lyapunov: anche tutti gli esponenti (due nelle
                          mappe, tre nei flussi) con le incertezze, la loro
                          somma, la media di log |det J| lungo la stessa orbita
                          (uguale alla somma a meno degli arrotondamenti) e la
                          dimensione di Kaplan-Yorke, sugli stessi passi
  --json                  con --lyapunov o --dimension: un oggetto JSON su una
                          riga al posto del testo
)",
};

}  // namespace vortiquo
