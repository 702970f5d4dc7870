// --render: the picture that Grafico would show after the same run, drawn
// with no window and no display.
#include <QCommandLineParser>
#include <limits>

#include "cli/CommandLine.h"
#include "cli/CommandModes.h"
#include "cli/CommandReaders.h"
#include "cli/LookOptions.h"

namespace vortiquo {

namespace {

// The step limit is a 32-bit field, so a render runs at most its largest
// value; more would be cut short, so it is refused.
constexpr qint64 MostRenderSteps = std::numeric_limits<std::int32_t>::max();

// A render takes either a recipe of its own (--steps, with --set and
// --option) or the one stored in a saved picture (--from), never both.
QString readRender(const QCommandLineParser& parser, const Program& program, CommandLine& command)
{
    command.action = CommandLine::Action::Render;
    RenderRequest& request = command.render;
    request.output = parser.value("render");
    request.from = parser.value("from");
    if (request.output.isEmpty())
        return "--render vuole il nome del file da scrivere, per esempio --render grafico.png";
    const bool ownRecipe = parser.isSet("steps") || parser.isSet("set") || parser.isSet("option");
    if (parser.isSet("from") && ownRecipe)
        return "--from non si unisce a --steps, --set o --option: la ricetta è già nell'immagine salvata";
    if (parser.isSet("from") && request.from.isEmpty())
        return "--from vuole il nome di un'immagine salvata dal programma";
    if (!parser.isSet("from") && !parser.isSet("steps"))
        return "--render vuole --steps N oppure --from SALVATA.png";

    QStringList errors;
    if (parser.isSet("steps")) {
        qint64 steps = 0;
        errors << readWhole("steps", parser.value("steps"), 1, MostRenderSteps, steps);
        request.steps = steps;
    }
    if (parser.isSet("scale")) {
        qint64 scale = 1;
        errors << readWhole("scale", parser.value("scale"), 1, 16, scale);
        request.scale = int(scale);
    }
    errors << readLook(parser, request.scale, request.look);
    for (const QString& edit : parser.values("set"))
        errors << readEdit(edit, program, request.edits);
    for (const QString& option : parser.values("option"))
        errors << readOption(option, request.options);
    return firstError(errors);
}

constexpr const char* RenderAccepts[] = {"steps",   "set",  "option", "scale",
                                         "from",    "density", "tone", "supersample"};

}  // namespace

const CommandMode RenderMode = {
    "render",
    "OUT.png",
    RenderAccepts,
    readRender,
    R"(  --render FILE.png       disegna, senza finestra e senza schermo, l'immagine
                          che il Grafico avrebbe dopo la stessa corsa, e la
                          scrive in FILE.png
  --steps N               con --render: N passi (un intero da 1 a 2147483647),
                          come scrivere N in «termine» e premere «Via»
  --set CAMPO=TESTO       scrive TESTO nel campo prima della corsa; si può
                          ripetere. I campi sono:
                          %2
  --option OptionK        con --render: seleziona OptionK (K da 1 a 12) prima
                          della corsa; si può ripetere
  --scale K               con --render: immagine K volte più grande (K da 1
                          a 16; 1 se non data)
  --from SALVATA.png      con --render: ripete la corsa salvata
                          nell'immagine, al posto di --steps, --set, --option
  --density               con --render o --video: al posto dei punti, quante
                          volte ogni pixel è stato colpito, come luminosità,
                          nel colore che i punti danno al pixel (l'ultimo
                          punto arrivato); l'immagine salvata lo ricorda
  --tone log|equalize     con --density: la luminosità è log(1+n)/log(1+max)
                          (log, se non data) o la quota dei pixel accesi con
                          al più n colpi (equalize)
  --supersample S         con --render o --video: disegna S volte più grande
                          (S da 1 a 4) e fa la media dei colori di ogni
                          blocco S×S; scala per S fa al più 16
)",
};

}  // namespace vortiquo
