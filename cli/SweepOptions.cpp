#include "cli/SweepOptions.h"

#include <QCommandLineParser>
#include <QThread>
#include <algorithm>

#include "analysis/Dynamics.h"
#include "cli/CommandLine.h"
#include "cli/CommandReaders.h"
#include "engine/SweepTiles.h"

namespace vortiquo {

namespace {

constexpr int DefaultSide = 512;
constexpr int MostThreads = 256;

// I/N with 1 ≤ I ≤ N ≤ the rows (plane) or columns (diagram) to split.
QString readTile(const QString& text, int extent, SweepRecipe& recipe)
{
    const QStringList parts = text.split('/');
    const std::optional<qint64> tile = parts.size() == 2 ? wholeNumber(parts[0]) : std::nullopt;
    const std::optional<qint64> tiles = parts.size() == 2 ? wholeNumber(parts[1]) : std::nullopt;
    if (!tile || !tiles || *tile < 1 || *tile > *tiles || *tiles > extent)
        return QString("--tile vuole I/N, la parte I (da 1) di N, con N al più %1, come 2/4, non «%2»")
            .arg(extent)
            .arg(text);
    recipe.tile = int(*tile);
    recipe.tiles = int(*tiles);
    return {};
}

// Every sweep starts where the window's fields x0, y0 (z0) say: the texts
// --set gives them, else their opening texts. The recipe records the start
// either way, as a picture saved from Esplora parametri does.
void recordStart(const Program& program, SweepRecipe& recipe)
{
    const FieldTexts opening = designTexts(*program.layout);
    for (const Field start : {Field::x0, Field::y0, Field::z0}) {
        const auto& text = opening[static_cast<std::size_t>(start)];
        const bool given = std::any_of(recipe.edits.begin(), recipe.edits.end(),
                                       [start](const auto& edit) { return edit.first == start; });
        if (text && !given)
            recipe.edits.emplace_back(start, QString::fromStdString(*text));
    }
}

// A duration of a flow: a decimal from 0 (above it when `positive`) to MaxSweepTime.
QString readTime(const QCommandLineParser& parser, const char* name, bool positive, double& value)
{
    if (!parser.isSet(name))
        return {};
    double time = 0;
    QString error = readDecimal(name, parser.value(name), time);
    if (error.isEmpty() && (time < 0 || (positive && time == 0) || time > MaxSweepTime))
        error = QString("--%1 vuole una durata in unità di tempo %2 %3, non «%4»")
                    .arg(name, positive ? QStringLiteral("maggiore di 0 e al più") : QStringLiteral("da 0 a"))
                    .arg(MaxSweepTime, 0, 'g', 3)
                    .arg(parser.value(name));
    if (error.isEmpty())
        value = time;
    return error;
}

QString readSteps(const QCommandLineParser& parser, const char* name, qint64 least, double& value)
{
    if (!parser.isSet(name))
        return {};
    qint64 steps = 0;
    QString error = readWhole(name, parser.value(name), least, MaxSweepSteps, steps);
    if (error.isEmpty())
        value = static_cast<double>(steps);
    return error;
}

}  // namespace

const SweepView* programView(const Program& program, const char* trigger, QString& error)
{
    const SweepView* view = sweepViewOf(program);
    if (view == nullptr)
        error = QString("--%1 non vale per %2").arg(trigger, program.name);
    return view;
}

QString readSweepCommon(const QCommandLineParser& parser, const Program& program, const char* trigger,
                        const QStringList& ownOptions, SweepJob& job)
{
    QString error;
    if (programView(program, trigger, error) == nullptr)
        return error;
    job.output = parser.value(trigger);
    if (job.output.isEmpty())
        return QString("--%1 vuole il nome del file da scrivere, per esempio --%1 piano.png").arg(trigger);
    job.recipe.program = &program;
    job.threads = std::clamp(QThread::idealThreadCount(), 1, MostThreads);
    QStringList errors;
    if (parser.isSet("threads")) {
        qint64 threads = 1;
        errors << readWhole("threads", parser.value("threads"), 1, MostThreads, threads);
        job.threads = int(threads);
    }
    if (parser.isSet("from")) {
        job.from = parser.value("from");
        const QStringList recorded = {"size", "transient", "iterations", "duration", "set", "tile"};
        for (const QString& option : ownOptions + recorded)
            if (parser.isSet(option))
                return QString("--from non si unisce a --%1: la ricetta è già nell'immagine salvata").arg(option);
        if (job.from.isEmpty())
            return QString("--from vuole il nome di un'immagine salvata con --%1").arg(trigger);
        return firstError(errors);
    }
    job.recipe.width = job.recipe.height = DefaultSide;
    if (parser.isSet("size"))
        errors << readSize("size", parser.value("size"), MaxSweepSide, job.recipe.width, job.recipe.height);
    for (const QString& edit : parser.values("set"))
        errors << readEdit(edit, program, job.recipe.edits);
    recordStart(program, job.recipe);
    return firstError(errors);
}

QString readDurations(const QCommandLineParser& parser, const Program& program, double transient, double duration,
                      SweepRecipe& recipe)
{
    recipe.transient = transient;
    recipe.duration = duration;
    if (timedProgram(program)) {
        if (parser.isSet("iterations"))
            return "--iterations vale per le mappe: la durata di un flusso si dà con --duration, in unità di tempo";
        return firstError({readTime(parser, "transient", false, recipe.transient),
                           readTime(parser, "duration", true, recipe.duration)});
    }
    if (parser.isSet("duration"))
        return "--duration vale per i flussi: i passi di una mappa si contano con --iterations";
    return firstError({readSteps(parser, "transient", 0, recipe.transient),
                       readSteps(parser, "iterations", 1, recipe.duration)});
}

QString readCoordinate(const QString& name, const QString& text, const Program& program, char& coordinate)
{
    const QString allowed = timedProgram(program) ? QStringLiteral("xyz") : QStringLiteral("x");
    if (text.size() != 1 || !allowed.contains(text))
        return timedProgram(program) ? QString("--%1 vuole x, y oppure z, non «%2»").arg(name, text)
                                     : QString("--%1 vale per i flussi: in una mappa si registra x").arg(name);
    coordinate = text.at(0).toLatin1();
    return {};
}

QString refuseSetting(const SweepRecipe& recipe, std::initializer_list<char> parameters, const QString& why)
{
    for (const auto& edit : recipe.edits)
        for (const char parameter : parameters)
            if (fieldName(edit.first) == std::string{parameter, 'T'})
                return QString("--set non scrive %1T %2").arg(QLatin1Char(parameter)).arg(why);
    return {};
}

QString finishSweep(const QCommandLineParser& parser, SweepJob& job, CommandLine& command)
{
    if (job.from.isEmpty() && parser.isSet("tile"))
        if (QString error = readTile(parser.value("tile"), bandExtent(job.recipe), job.recipe); !error.isEmpty())
            return error;
    command.action = CommandLine::Action::Task;
    command.task = [job] { return runSweep(job); };
    return {};
}

}  // namespace vortiquo
