// --plane, --orbits and --merge: the parameter plane and the orbit diagram of
// a map, whole or one band at a time, and the bands put together.
#include <QCommandLineParser>
#include <QThread>
#include <algorithm>

#include "analysis/Dynamics.h"
#include "cli/CommandLine.h"
#include "cli/CommandModes.h"
#include "cli/CommandReaders.h"
#include "cli/SweepRun.h"
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

// WxH within the sides' bound and, both together, the pixels' bound.
QString readSweepSize(const QString& text, SweepRecipe& recipe)
{
    if (QString error = readSize("size", text, MaxSweepSide, recipe.width, recipe.height); !error.isEmpty())
        return error;
    const qint64 pixels = qint64{recipe.width} * recipe.height;
    if (pixels > MaxSweepPixels)
        return QString("--size %1 fa %2 punti: al più %3 in tutto, per esempio 8192x8192 o 16384x4096")
            .arg(text)
            .arg(pixels)
            .arg(MaxSweepPixels);
    return {};
}

// What --plane and --orbits share: the output, the program's own view,
// the size, the steps, the threads, the fields, the tile, or --from.
QString readCommon(const QCommandLineParser& parser, const Program& program, const char* trigger,
                   const QStringList& ownOptions, SweepJob& job)
{
    if (sweepViewOf(program) == nullptr)
        return QString("--%1 vale solo per le mappe: TessivoW7 e DrumbelW7").arg(trigger);
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
        for (const QString& option : ownOptions + QStringList{"size", "transient", "iterations", "set", "tile"})
            if (parser.isSet(option))
                return QString("--from non si unisce a --%1: la ricetta è già nell'immagine salvata").arg(option);
        if (job.from.isEmpty())
            return "--from vuole il nome di un'immagine salvata con --plane o --orbits";
        return {};
    }
    const SweepView& view = *sweepViewOf(program);
    job.recipe.width = job.recipe.height = DefaultSide;
    job.recipe.transient = view.transient;
    if (parser.isSet("size"))
        errors << readSweepSize(parser.value("size"), job.recipe);
    if (parser.isSet("transient"))
        errors << readWhole("transient", parser.value("transient"), 0, MaxSweepSteps, job.recipe.transient);
    for (const QString& edit : parser.values("set"))
        errors << readEdit(edit, program, job.recipe.edits);
    recordStart(program, job.recipe);
    return firstError(errors);
}

QString readIterations(const QCommandLineParser& parser, std::int64_t fallback, SweepRecipe& recipe)
{
    recipe.iterations = fallback;
    return parser.isSet("iterations")
               ? readWhole("iterations", parser.value("iterations"), 1, MaxSweepSteps, recipe.iterations)
               : QString();
}

// The rest of the command after the mode's own values: the tile, which needs
// the size, and the task.
QString finish(const QCommandLineParser& parser, SweepJob& job, CommandLine& command)
{
    if (job.from.isEmpty() && parser.isSet("tile"))
        if (QString error = readTile(parser.value("tile"), bandExtent(job.recipe), job.recipe); !error.isEmpty())
            return error;
    command.action = CommandLine::Action::Task;
    command.task = [job] { return runSweep(job); };
    return {};
}

QString readPlane(const QCommandLineParser& parser, const Program& program, CommandLine& command)
{
    SweepJob job;
    job.recipe.kind = SweepRecipe::Kind::Plane;
    if (QString error = readCommon(parser, program, "plane", {"a", "b"}, job); !error.isEmpty())
        return error;
    job.values = parser.value("values");
    if (parser.isSet("values") && job.values.isEmpty())
        return "--values vuole il nome del file CSV da scrivere, per esempio --values piano.csv";
    if (job.from.isEmpty()) {
        const SweepView& view = *sweepViewOf(program);
        SweepRecipe& recipe = job.recipe;
        recipe.a0 = view.a0, recipe.a1 = view.a1, recipe.b0 = view.b0, recipe.b1 = view.b1;
        QStringList errors;
        if (parser.isSet("a"))
            errors << readRange("a", parser.value("a"), recipe.a0, recipe.a1);
        if (parser.isSet("b"))
            errors << readRange("b", parser.value("b"), recipe.b0, recipe.b1);
        errors << readIterations(parser, view.measured, recipe);
        for (const auto& edit : recipe.edits)
            if (edit.first == Field::a || edit.first == Field::b)
                errors << "--set non scrive aT né bT con --plane: sul piano a e b variano (--a, --b)";
        if (const QString error = firstError(errors); !error.isEmpty())
            return error;
    }
    return finish(parser, job, command);
}

QString readOrbits(const QCommandLineParser& parser, const Program& program, CommandLine& command)
{
    SweepJob job;
    job.recipe.kind = SweepRecipe::Kind::Orbits;
    if (QString error = readCommon(parser, program, "orbits", {"vary", "range"}, job); !error.isEmpty())
        return error;
    if (job.from.isEmpty()) {
        const SweepView& view = *sweepViewOf(program);
        SweepRecipe& recipe = job.recipe;
        recipe.vary = view.diagramParameter == SweepParameter::A ? 'a' : 'b';
        if (parser.isSet("vary")) {
            if (parser.value("vary") != "a" && parser.value("vary") != "b")
                return QString("--vary vuole a oppure b, non «%1»").arg(parser.value("vary"));
            recipe.vary = parser.value("vary").at(0).toLatin1();
        }
        // The default range: the view's own for its parameter, the plane's
        // side for the other.
        const bool viewsOwn = recipe.vary == (view.diagramParameter == SweepParameter::A ? 'a' : 'b');
        recipe.p0 = viewsOwn ? view.p0 : recipe.vary == 'a' ? view.a0 : view.b0;
        recipe.p1 = viewsOwn ? view.p1 : recipe.vary == 'a' ? view.a1 : view.b1;
        recipe.xLow = view.xLow, recipe.xHigh = view.xHigh;
        QStringList errors;
        if (parser.isSet("range"))
            errors << readRange("range", parser.value("range"), recipe.p0, recipe.p1);
        errors << readIterations(parser, view.points, recipe);
        const Field varied = recipe.vary == 'a' ? Field::a : Field::b;
        for (const auto& edit : recipe.edits)
            if (edit.first == varied)
                errors << QString("--set non scrive %1T con --vary %1: varia lungo il diagramma (--range)")
                              .arg(QLatin1Char(recipe.vary));
        if (const QString error = firstError(errors); !error.isEmpty())
            return error;
    }
    return finish(parser, job, command);
}

QString readMerge(const QCommandLineParser& parser, const Program& program, CommandLine& command)
{
    if (sweepViewOf(program) == nullptr)
        return "--merge vale solo per le mappe: TessivoW7 e DrumbelW7";
    const QString output = parser.value("merge");
    const QStringList tiles = parser.positionalArguments();
    if (output.isEmpty())
        return "--merge vuole il nome del file da scrivere, per esempio --merge piano.png";
    if (tiles.isEmpty())
        return "--merge vuole dopo il file da scrivere le parti da unire, come --merge piano.png parte-*.png";
    command.action = CommandLine::Action::Task;
    command.task = [&program, output, tiles] { return mergeTiles(program, output, tiles); };
    return {};
}

constexpr const char* PlaneAccepts[] = {"a", "b", "size", "transient", "iterations", "threads",
                                        "tile", "values", "set", "from"};
constexpr const char* OrbitsAccepts[] = {"vary", "range", "size", "transient", "iterations",
                                         "threads", "tile", "set", "from"};

}  // namespace

const CommandMode PlaneMode = {
    "plane",
    "OUT.png",
    PlaneAccepts,
    readPlane,
    R"(  --plane FILE.png        (solo TessivoW7 e DrumbelW7) il piano dei parametri:
                          un punto per ogni coppia (a, b), colorato secondo
                          l'esponente di Ljapunov (blu: periodica, arancio:
                          caos, grigio: l'orbita fugge; non è un errore,
                          lo stato di uscita è 0)
  --a A0:A1, --b B0:B1    con --plane: gli intervalli di a e di b (di norma
                          quelli con cui si apre la finestra Esplora parametri)
  --size LxA              con --plane o --orbits: punti in larghezza e in
                          altezza (512x512 se non data; ogni lato al più
                          16384, al più 67108864 punti in tutto)
  --transient T           con --plane o --orbits: passi scartati all'inizio
                          di ogni orbita (600 se non dato)
  --iterations N          con --plane: passi che misurano l'esponente (2000);
                          con --orbits: punti contati per colonna (2000)
  --threads K             con --plane o --orbits: calcola su K processori
                          (tutti se non dato); il file è identico per ogni K
  --tile I/N              con --plane o --orbits: calcola solo la parte I di N
                          (fasce di righe del piano, di colonne del diagramma)
  --values FILE.csv       con --plane: scrive anche a,b,esponente, una riga per
                          punto (esponente vuoto se l'orbita fugge), intero o
                          per niente
  --set CAMPO=TESTO       con --plane o --orbits: x0T e y0T scelgono il punto
                          di partenza, come i campi x0 e y0 della finestra
                          (0, 0 se non dati: i testi con cui si apre);
                          l'immagine lo registra
  --from SALVATA.png      con --plane o --orbits: ricalcola l'immagine salvata
)",
};

const CommandMode OrbitsMode = {
    "orbits",
    "OUT.png",
    OrbitsAccepts,
    readOrbits,
    R"(  --orbits FILE.png       (solo TessivoW7 e DrumbelW7) il diagramma delle
                          orbite: per ogni valore del parametro, dove cadono
                          le x dell'orbita dopo il transitorio
  --vary a|b              con --orbits: il parametro che varia; l'altro è
                          quello della finestra, o quello dato con --set
  --range P0:P1           con --orbits: l'intervallo del parametro che varia
)",
};

const CommandMode MergeMode = {
    "merge",
    "OUT.png",
    {},
    readMerge,
    R"(  --merge FILE.png PARTI  unisce le parti scritte con --tile, in qualsiasi
                          ordine, nel file che il comando intero scriverebbe
)",
    "PARTE.png",
};

}  // namespace vortiquo
