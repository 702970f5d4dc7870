// --dimension: the correlation and box-counting dimensions of the attractor
// the orbit from the fields draws, with their scaling ranges, printed in
// Italian or as JSON.
#include <QCommandLineParser>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cmath>
#include <cstdio>

#include "analysis/Dimension.h"
#include "cli/CommandLine.h"
#include "cli/CommandModes.h"
#include "cli/CommandReaders.h"
#include "cli/EditedSession.h"
#include "engine/ExponentText.h"
#include "engine/MeasureText.h"

namespace vortiquo {

namespace {

enum DimensionStatus { DimensionDone = 0, DimensionNone = 1, DimensionFault = 3 };

struct DimensionRequest {
    FieldEdits edits;
    qint64 points = DefaultDimensionPoints;
    bool json = false;
};

void print(std::FILE* stream, const QString& text)
{
    std::fputs(text.toUtf8().constData(), stream);
}

QJsonValue number(double value)
{
    return std::isfinite(value) ? QJsonValue(value) : QJsonValue();  // JSON has no NaN
}

// [smallest, largest] scale of a fitted range, or null.
QJsonValue range(const std::vector<double>& scales, const ScalingFit& fit)
{
    if (!fit.valid)
        return {};
    return QJsonArray{scales[static_cast<std::size_t>(fit.last)], scales[static_cast<std::size_t>(fit.first)]};
}

QByteArray jsonReport(const Program& program, const DimensionResult& result, const DimensionSettings& settings,
                      bool timed)
{
    const QJsonObject report{
        {"program", program.name},
        {"points", qint64(result.points)},
        {"correlation", number(correlationDimension(result.correlationFit))},
        {"correlationUncertainty", number(result.correlationFit.uncertainty)},
        {"correlationRange", range(result.correlation.radii, result.correlationFit)},
        {"boxCounting", number(boxCountingDimension(result.boxFit))},
        {"boxCountingUncertainty", number(result.boxFit.uncertainty)},
        {"boxCountingRange", range(result.boxes.sides, result.boxFit)},
        {"attractorSize", result.attractorSize},
        {"spacingSteps", qint64(settings.spacingSteps)},
        {"theilerWindow", qint64(settings.theilerWindow)},
        {"transient", qint64(settings.transientSteps)},
        {"unit", timed ? "tempo" : "passo"},
    };
    return QJsonDocument(report).toJson(QJsonDocument::Compact) + '\n';
}

QString textReport(const DimensionResult& result, const DimensionSettings& settings, const SimulationState& start,
                   bool timed)
{
    QString text = dimensionText(QStringLiteral("D₂"), correlationDimension(result.correlationFit),
                                 result.correlationFit);
    if (result.correlationFit.valid)
        text += QStringLiteral(" (correlazione, %1)")
                    .arg(rangeText(QStringLiteral("r"), result.correlation.radii, result.correlationFit));
    text += '\n' + dimensionText(QStringLiteral("D₀"), boxCountingDimension(result.boxFit), result.boxFit);
    if (result.boxFit.valid)
        text += QStringLiteral(" (scatole, %1)").arg(rangeText(QStringLiteral("lato"), result.boxes.sides, result.boxFit));
    const double spacingTime = static_cast<double>(settings.spacingSteps) * start.dt;
    const QString spacing = timed ? QStringLiteral("uno ogni %1 passi (%2 unità di tempo)")
                                        .arg(settings.spacingSteps)
                                        .arg(italianDecimal(spacingTime, decimalsResolving(spacingTime)))
                                  : QStringLiteral("uno a ogni passo");
    const QString pairs = settings.theilerWindow == 0
                              ? QStringLiteral("contate tutte le coppie")
                              : QStringLiteral("escluse le coppie entro %1 punti").arg(settings.theilerWindow);
    text += QStringLiteral("\n  (%1 punti, %2, dopo %3 passi di transitorio; %4)\n")
                .arg(result.points)
                .arg(spacing)
                .arg(settings.transientSteps)
                .arg(pairs);
    return text;
}

int dimensionTask(const Program& program, const DimensionRequest& request)
{
    const Session session = editedSession(program, request.edits);
    const SimulationState start = fieldStart(session.state(), session.texts());
    const Dynamics& dynamics = *dynamicsOf(*program.model);
    const DimensionSettings settings = defaultDimensionSettings(dynamics, start, request.points);
    const DimensionResult result = attractorDimensions(*program.model, start, settings);
    if (result.outcome == Outcome::Fault) {
        print(stderr, QStringLiteral("%1: %2 L'orbita sfugge all'infinito: nessuna dimensione. Provate altri valori "
                                     "dei campi.\n")
                          .arg(program.name, noDimensionText(result)));
        return DimensionFault;
    }
    if (result.outcome != Outcome::Finished) {
        print(stderr, QStringLiteral("%1: %2\n").arg(program.name, noDimensionText(result)));
        return DimensionNone;
    }
    if (request.json)
        std::fputs(jsonReport(program, result, settings, dynamics.timed).constData(), stdout);
    else
        print(stdout, textReport(result, settings, start, dynamics.timed));
    if (result.correlationFit.valid && result.boxFit.valid)
        return DimensionDone;
    print(stderr, QStringLiteral("%1: una delle due dimensioni manca: le curve non hanno un tratto rettilineo; "
                                 "provate con più punti (--points).\n")
                      .arg(program.name));
    return DimensionNone;
}

QString readDimension(const QCommandLineParser& parser, const Program& program, CommandLine& command)
{
    DimensionRequest request;
    request.json = parser.isSet("json");
    QStringList errors;
    if (parser.isSet("points"))
        errors << readWhole("points", parser.value("points"), MinDimensionPoints, MaxDimensionPoints,
                            request.points);
    for (const QString& edit : parser.values("set"))
        errors << readEdit(edit, program, request.edits);
    if (const QString error = firstError(errors); !error.isEmpty())
        return error;
    command.action = CommandLine::Action::Task;
    command.task = [&program, request] { return dimensionTask(program, request); };
    return {};
}

constexpr const char* DimensionAccepts[] = {"points", "set", "json"};

}  // namespace

const CommandMode DimensionMode = {
    "dimension",
    nullptr,
    DimensionAccepts,
    readDimension,
    R"(  --dimension             scrive la dimensione di correlazione D₂ e quella di
                          conteggio delle scatole D₀ dell'attrattore che disegna
                          l'orbita dai campi x0, y0 (z0), con le incertezze e i
                          tratti rettilinei usati. Dopo il transitorio prende un
                          punto a ogni passo nelle mappe, uno ogni 0,1 unità di
                          tempo (0,5 nel flusso a spirale) nei flussi, ed esclude
                          le coppie di punti vicine nel tempo
  --points M              con --dimension: i punti, da 1000 a 1000000 (se non
                          dato: 20000)
)",
};

}  // namespace vortiquo
