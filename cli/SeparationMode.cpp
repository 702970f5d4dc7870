// --separation: the orbit and its twin from x0 + ε, step by step, as a CSV
// file for a spreadsheet or a plotting program.
#include <QCommandLineParser>
#include <cstdio>

#include "cli/CommandLine.h"
#include "cli/CommandModes.h"
#include "cli/CommandReaders.h"
#include "cli/EditedSession.h"
#include "cli/SeparationFile.h"
#include "picture/WholeFile.h"
#include "engine/FaultText.h"
#include "analysis/SensitivityWork.h"

namespace vortiquo {

namespace {

// Every sample is held in memory before the file is written whole, so the
// series is bounded: at most this many steps, a few hundred megabytes.
constexpr qint64 MostSeparationSteps = 10'000'000;

enum SeparationStatus { SeparationWritten = 0, SeparationNotWritten = 1, SeparationFault = 3 };

struct SeparationRequest {
    QString output;
    FieldEdits edits;
    double epsilon = 1e-8;
    std::optional<qint64> steps;  // none: the model's default
};

void say(const Program& program, const QString& message)
{
    std::fputs(qPrintable(QStringLiteral("%1: %2\n").arg(program.name, message)), stderr);
}

int separationTask(const Program& program, const SeparationRequest& request)
{
    const Session session = editedSession(program, request.edits);
    const SimulationState start = fieldStart(session.state(), session.texts());
    TwinSettings settings = defaultTwinSettings(*dynamicsOf(*program.model), start);
    settings.epsilon = request.epsilon;
    if (request.steps)
        settings.steps = *request.steps;
    const TwinSeries series = twinOrbitSeries(*program.model, start, settings);
    if (const QString error = writeWholeFile(request.output, separationCsv(series)); !error.isEmpty()) {
        say(program, QStringLiteral("impossibile scrivere «%1»: %2. Nessun file è stato modificato.")
                         .arg(request.output, error));
        return SeparationNotWritten;
    }
    if (series.outcome == Outcome::Fault) {
        say(program, overflowText(series.faultStep) +
                         QStringLiteral(" Le righe fino al passo %1 sono in «%2».")
                             .arg(series.faultStep - 1)
                             .arg(request.output));
        return SeparationFault;
    }
    return SeparationWritten;
}

QString readSeparation(const QCommandLineParser& parser, const Program& program, CommandLine& command)
{
    SeparationRequest request;
    request.output = parser.value("separation");
    if (request.output.isEmpty())
        return "--separation vuole il nome del file da scrivere, per esempio --separation gemelle.csv";
    QStringList errors;
    if (parser.isSet("steps")) {
        qint64 steps = 0;
        errors << readWhole("steps", parser.value("steps"), 1, MostSeparationSteps, steps);
        request.steps = steps;
    }
    if (parser.isSet("epsilon")) {
        errors << readDecimal("epsilon", parser.value("epsilon"), request.epsilon);
        if (request.epsilon == 0)
            errors << "--epsilon vuole un numero diverso da zero: con 0 le due orbite coincidono";
    }
    for (const QString& edit : parser.values("set"))
        errors << readEdit(edit, program, request.edits);
    if (const QString error = firstError(errors); !error.isEmpty())
        return error;
    command.action = CommandLine::Action::Task;
    command.task = [&program, request] { return separationTask(program, request); };
    return {};
}

constexpr const char* SeparationAccepts[] = {"steps", "set", "epsilon"};

}  // namespace

const CommandMode SeparationMode = {
    "separation",
    "OUT.csv",
    SeparationAccepts,
    readSeparation,
    R"(  --separation FILE.csv   scrive in FILE.csv l'orbita che parte dai campi x0, y0
                          (z0) e la sua gemella che parte da x0 + ε: le colonne
                          passo,tempo,x,x_gemello,separazione, dove separazione
                          è la distanza dei due punti; una riga ogni passo nelle
                          mappe, ogni 10 passi nei flussi. Se l'orbita sfugge
                          all'infinito, scrive le righe fino a quel passo
  --epsilon E             con --separation: lo scarto ε della gemella, diverso
                          da zero (1e-8 se non dato; -1e-8 va bene)
  --steps N               con --separation: i passi, da 1 a 10000000 (se non
                          dato: 200 nelle mappe, 60 unità di tempo nel flusso
                          di convezione e 800 nel flusso a spirale)
)",
};

}  // namespace vortiquo
