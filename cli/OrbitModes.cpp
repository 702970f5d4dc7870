// --maxima and --section: a flow's orbit at the fields' own parameters read
// as a map, its successive maxima or its crossings of a plane, as a CSV file
// or a picture.
#include <QCommandLineParser>

#include "analysis/Dynamics.h"
#include "cli/CommandLine.h"
#include "cli/CommandModes.h"
#include "cli/CommandReaders.h"
#include "cli/SweepOptions.h"
#include "cli/SweepRun.h"
#include "engine/SweepTiles.h"

namespace vortiquo {

namespace {

// What --maxima and --section share: a flow, the output and its form, the
// durations of the orbit.
QString readOrbitCommon(const QCommandLineParser& parser, const Program& program, const char* trigger,
                        const QStringList& ownOptions, SweepJob& job)
{
    if (!timedProgram(program))
        return QString("--%1 vale per i flussi: i punti di una mappa sono già quelli di una sezione").arg(trigger);
    if (QString error = readSweepCommon(parser, program, trigger, ownOptions, job); !error.isEmpty())
        return error;
    job.csv = job.output.endsWith(QStringLiteral(".csv"), Qt::CaseInsensitive);
    job.recipe.fitted = true;
    if (!job.from.isEmpty())
        return {};
    const SweepView& view = *sweepViewOf(program);
    return readDurations(parser, program, view.orbitTransient, view.orbitDuration, job.recipe);
}

QString readMaxima(const QCommandLineParser& parser, const Program& program, CommandLine& command)
{
    SweepJob job;
    job.recipe.kind = SweepRecipe::Kind::Maxima;
    if (QString error = readOrbitCommon(parser, program, "maxima", {"of"}, job); !error.isEmpty())
        return error;
    if (job.from.isEmpty()) {
        job.recipe.of = "xyz"[static_cast<int>(sweepViewOf(program)->recorded)];
        if (parser.isSet("of"))
            if (QString error = readCoordinate("of", parser.value("of"), program, job.recipe.of); !error.isEmpty())
                return error;
    }
    return finishSweep(parser, job, command);
}

// COORDINATE=VALUE, as z=27.
QString readPlaneOption(const QString& text, const Program& program, SweepRecipe& recipe)
{
    const qsizetype equals = text.indexOf('=');
    const QString wrong = QString("--at vuole COORDINATA=VALORE, come z=27, non «%1»").arg(text);
    if (equals < 0)
        return wrong;
    if (QString error = readCoordinate("at", text.left(equals), program, recipe.of); !error.isEmpty())
        return wrong;
    return readDecimal("at", text.mid(equals + 1), recipe.level).isEmpty() ? QString() : wrong;
}

QString readSection(const QCommandLineParser& parser, const Program& program, CommandLine& command)
{
    SweepJob job;
    job.recipe.kind = SweepRecipe::Kind::Section;
    if (QString error = readOrbitCommon(parser, program, "section", {"at", "direction"}, job); !error.isEmpty())
        return error;
    if (job.from.isEmpty()) {
        // The flow's own plane, at the parameters the fields give.
        const SweepView& view = *sweepViewOf(program);
        SweepRecipe& recipe = job.recipe;
        recipe.of = "xyz"[static_cast<int>(view.sectionAt)];
        recipe.level = view.sectionLevel(sweepStart(recipe));
        recipe.upward = view.sectionUpward;
        if (parser.isSet("at"))
            if (QString error = readPlaneOption(parser.value("at"), program, recipe); !error.isEmpty())
                return error;
        if (parser.isSet("direction")) {
            const QString direction = parser.value("direction");
            if (direction != "up" && direction != "down")
                return QString("--direction vuole up (dove la coordinata cresce) oppure down, non «%1»")
                    .arg(direction);
            recipe.upward = direction == "up";
        }
    }
    return finishSweep(parser, job, command);
}

constexpr const char* MaximaAccepts[] = {"of", "size", "transient", "duration", "threads", "set", "from"};
constexpr const char* SectionAccepts[] = {"at",      "direction", "size", "transient",
                                          "duration", "threads",   "set",  "from"};

}  // namespace

const CommandMode MaximaMode = {
    "maxima",
    "OUT.csv",
    MaximaAccepts,
    readMaxima,
    R"(  --maxima FILE.csv       (solo i flussi) la mappa dei massimi: i massimi
                          locali successivi di una coordinata (--of) ai
                          parametri della finestra, dopo il transitorio,
                          come righe indice,massimo; con FILE.png la loro
                          immagine, ogni massimo contro il precedente
)",
};

const CommandMode SectionMode = {
    "section",
    "OUT.png",
    SectionAccepts,
    readSection,
    R"(  --section FILE.png      (solo i flussi) la sezione di Poincaré: i punti
                          dove l'orbita attraversa un piano in un verso,
                          interpolati in linea retta tra i due passi a
                          cavallo del piano, nelle altre due coordinate; con
                          FILE.csv le righe x,y,z di ogni attraversamento
  --at COORD=VALORE       con --section: il piano, come z=27 (di norma
                          quello con cui si apre la finestra)
  --direction up|down     con --section: gli attraversamenti dove la
                          coordinata cresce (up) o cala (down)
)",
};

}  // namespace vortiquo
