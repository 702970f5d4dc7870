// --plane, --orbits and --merge: the parameter plane and the orbit diagram,
// whole or one band at a time, and the bands put together.
#include <QCommandLineParser>
#include <QThread>
#include <algorithm>

#include "analysis/Dynamics.h"
#include "cli/CommandLine.h"
#include "cli/CommandModes.h"
#include "cli/CommandReaders.h"
#include "cli/SweepOptions.h"
#include "cli/SweepRun.h"
#include "engine/SweepTiles.h"

namespace vortiquo {

namespace {

SweepParameter parameterNamed(char letter)
{
    return sweepParameter(letter);
}

char letterOf(SweepParameter parameter)
{
    return "abc"[static_cast<int>(parameter)];
}

// The plane's two parameters: the view's when --a, --b, --c name only
// those; else the two named, in the order a, b, c (the first across). A
// range not given is the parameter's own.
QString readPlaneAxes(const QCommandLineParser& parser, const Program& program, const SweepView& view,
                      SweepRecipe& recipe)
{
    const bool timed = timedProgram(program);
    if (!timed && parser.isSet("c"))
        return "--c vale per i flussi: il piano di una mappa è su a e b";
    std::string given;
    for (const char parameter : {'a', 'b', 'c'})
        if (parser.isSet(QString(QLatin1Char(parameter))))
            given += parameter;
    const std::string pair = {letterOf(view.across), letterOf(view.up)};
    const bool inPair = given.find_first_not_of(pair) == std::string::npos;
    if (given.size() == 3 || (given.size() == 1 && !inPair))
        return QString("--plane vuole due parametri, due di --a, --b, --c, con i loro intervalli (il piano di "
                       "%1 si apre su %2 e %3)")
            .arg(QLatin1String(program.name), QString(QLatin1Char(pair[0])), QString(QLatin1Char(pair[1])));
    const std::string axes = given.size() == 2 && !inPair ? given : pair;
    recipe.acrossParameter = axes[0];
    recipe.upParameter = axes[1];
    const SweepSpan& acrossSpan = parameterSpan(view, parameterNamed(axes[0]));
    const SweepSpan& upSpan = parameterSpan(view, parameterNamed(axes[1]));
    recipe.across0 = acrossSpan.low, recipe.across1 = acrossSpan.high;
    recipe.up0 = upSpan.low, recipe.up1 = upSpan.high;
    QStringList errors;
    const QString across = QString(QLatin1Char(axes[0])), up = QString(QLatin1Char(axes[1]));
    if (parser.isSet(across))
        errors << readRange(across, parser.value(across), recipe.across0, recipe.across1);
    if (parser.isSet(up))
        errors << readRange(up, parser.value(up), recipe.up0, recipe.up1);
    errors << refuseSetting(recipe, {axes[0], axes[1]},
                            QString("con --plane: sul piano %1 e %2 variano (--%1, --%2)").arg(across, up));
    return firstError(errors);
}

QString readPlane(const QCommandLineParser& parser, const Program& program, CommandLine& command)
{
    SweepJob job;
    job.recipe.kind = SweepRecipe::Kind::Plane;
    if (QString error = readSweepCommon(parser, program, "plane", {"a", "b", "c"}, job); !error.isEmpty())
        return error;
    job.values = parser.value("values");
    if (parser.isSet("values") && job.values.isEmpty())
        return "--values vuole il nome del file CSV da scrivere, per esempio --values piano.csv";
    if (job.from.isEmpty()) {
        const SweepView& view = *sweepViewOf(program);
        const QString error = firstError(
            {readPlaneAxes(parser, program, view, job.recipe),
             readDurations(parser, program, view.planeTransient, view.planeMeasured, job.recipe)});
        if (!error.isEmpty())
            return error;
    }
    return finishSweep(parser, job, command);
}

// The diagram's range when --range gives none: the view's own for its
// parameter, else the parameter's.
const SweepSpan& defaultRange(const SweepView& view, SweepParameter varied)
{
    return varied == view.varied ? view.variedSpan : parameterSpan(view, varied);
}

QString readOrbits(const QCommandLineParser& parser, const Program& program, CommandLine& command)
{
    SweepJob job;
    job.recipe.kind = SweepRecipe::Kind::Orbits;
    if (QString error = readSweepCommon(parser, program, "orbits", {"vary", "range", "of"}, job); !error.isEmpty())
        return error;
    const bool timed = timedProgram(program);
    job.values = parser.value("values");
    if (parser.isSet("values") && !timed)
        return "--values vale solo con --plane per le mappe; con --orbits, per i flussi";
    if (parser.isSet("values") && job.values.isEmpty())
        return "--values vuole il nome del file CSV da scrivere, per esempio --values massimi.csv";
    if (!job.from.isEmpty())
        return finishSweep(parser, job, command);
    const SweepView& view = *sweepViewOf(program);
    SweepRecipe& recipe = job.recipe;
    recipe.vary = letterOf(view.varied);
    if (parser.isSet("vary")) {
        const QString vary = parser.value("vary");
        const QString allowed = timed ? QStringLiteral("abc") : QStringLiteral("ab");
        if (vary.size() != 1 || !allowed.contains(vary))
            return timed ? QString("--vary vuole a, b oppure c, non «%1»").arg(vary)
                         : QString("--vary vuole a oppure b, non «%1»").arg(vary);
        recipe.vary = vary.at(0).toLatin1();
    }
    recipe.of = "xyz"[static_cast<int>(view.recorded)];
    QStringList errors;
    if (parser.isSet("of"))
        errors << readCoordinate("of", parser.value("of"), program, recipe.of);
    const SweepSpan& range = defaultRange(view, parameterNamed(recipe.vary));
    recipe.across0 = range.low, recipe.across1 = range.high;
    if (parser.isSet("range"))
        errors << readRange("range", parser.value("range"), recipe.across0, recipe.across1);
    errors << readDurations(parser, program, view.diagramTransient, view.diagramDuration, recipe);
    errors << refuseSetting(recipe, {recipe.vary},
                            QString("con --vary %1: varia lungo il diagramma (--range)").arg(QLatin1Char(recipe.vary)));
    if (const QString error = firstError(errors); !error.isEmpty())
        return error;
    const SweepSpan& values = view.valueSpans[static_cast<std::size_t>(sweepCoordinate(recipe.of))];
    recipe.up0 = values.low, recipe.up1 = values.high;
    return finishSweep(parser, job, command);
}

QString readMerge(const QCommandLineParser& parser, const Program& program, CommandLine& command)
{
    QString error;
    if (programView(program, "merge", error) == nullptr)
        return error;
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

constexpr const char* PlaneAccepts[] = {"a",       "b",     "c",    "size",   "transient", "iterations",
                                        "duration", "threads", "tile", "values", "set",       "from"};
constexpr const char* OrbitsAccepts[] = {"vary",     "range",   "of",   "size",   "transient", "iterations",
                                         "duration", "threads", "tile", "values", "set",       "from"};

}  // namespace

const CommandMode PlaneMode = {
    "plane",
    "OUT.png",
    PlaneAccepts,
    readPlane,
    R"(  --plane FILE.png        il piano dei parametri: un punto per ogni coppia
                          di parametri, colorato secondo l'esponente di
                          Ljapunov (blu: periodica, arancio: caos, grigio:
                          l'orbita fugge; non è un errore, lo stato di
                          uscita è 0); per un flusso l'esponente è quello
                          dei passi di Eulero al Δt della finestra, per
                          unità di tempo
  --a A0:A1, --b B0:B1, --c C0:C1
                          con --plane: due parametri e i loro intervalli (di
                          norma quelli con cui si apre la finestra Esplora
                          parametri; il piano di una mappa è su a e b); il
                          terzo è quello della finestra
  --size LxA              punti in larghezza e in altezza (512x512 se non
                          data)
  --transient T           all'inizio di ogni orbita si scartano T passi di
                          una mappa (600 se non dato), T unità di tempo di
                          un flusso (non passi: i passi sono T/Δt)
  --iterations N          per le mappe: con --plane i passi che misurano
                          l'esponente, con --orbits i punti contati per
                          colonna (2000)
  --duration N            per i flussi: le unità di tempo che misurano
                          l'esponente (--plane) o in cui si cercano i
                          massimi (--orbits, --maxima) e gli attraversamenti
                          (--section)
  --threads K             calcola su K processori (tutti se non dato); il
                          file è identico per ogni K
  --tile I/N              con --plane o --orbits: calcola solo la parte I di
                          N (fasce di righe del piano, di colonne del
                          diagramma)
  --values FILE.csv       con --plane: scrive anche le righe a,b,esponente
                          (con i nomi dei due parametri), una per punto
                          (esponente vuoto se l'orbita fugge); con --orbits
                          di un flusso: parametro,massimo, una per massimo
  --set CAMPO=TESTO       scrive un campo della finestra prima del calcolo:
                          x0T, y0T (z0T) scelgono il punto di partenza (i
                          testi con cui si apre, se non dati), dtT il passo
                          di un flusso, gli altri i parametri che non
                          variano; l'immagine li registra
  --from SALVATA.png      ricalcola l'immagine salvata, bit per bit
)",
};

const CommandMode OrbitsMode = {
    "orbits",
    "OUT.png",
    OrbitsAccepts,
    readOrbits,
    R"(  --orbits FILE.png       il diagramma delle orbite: per ogni valore del
                          parametro, dove cadono dopo il transitorio le x di
                          una mappa, i massimi locali di una coordinata di
                          un flusso (il valore stesso del passo di Eulero
                          che supera il precedente e non è minore del
                          seguente)
  --vary a|b|c            con --orbits: il parametro che varia (c solo per i
                          flussi); gli altri sono quelli della finestra, o
                          quelli dati con --set
  --range P0:P1           con --orbits: l'intervallo del parametro che varia
  --of x|y|z              con --orbits o --maxima, per i flussi: la
                          coordinata di cui si cercano i massimi (di norma
                          quella con cui si apre la finestra)
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
