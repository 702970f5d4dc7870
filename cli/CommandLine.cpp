#include "cli/CommandLine.h"

#include "program/Version.h"

#include <QCommandLineParser>
#include <QRegularExpression>
#include <optional>

namespace {

// Qt's own options, which the application object reads and removes from
// argv when the window opens. They are accepted here so that nothing Qt
// accepts is a usage error; with --render they do nothing.
struct QtOwnOption {
    const char* name;
    bool takesValue;
};
constexpr QtOwnOption QtOwnOptions[] = {
    {"platform", true},     {"platformpluginpath", true}, {"platformtheme", true}, {"plugin", true},
    {"display", true},      {"geometry", true},           {"qwindowgeometry", true}, {"qwindowtitle", true},
    {"qwindowicon", true},  {"title", true},              {"icon", true},           {"name", true},
    {"style", true},        {"stylesheet", true},         {"session", true},        {"reverse", false},
    {"widgetcount", false}, {"nograb", false},            {"dograb", false},        {"sync", false},
};

struct Options {
    QCommandLineOption help{QStringList{"h", "help"}};
    QCommandLineOption version{QStringList{"v", "version"}};
    QCommandLineOption render{"render", {}, "OUT.png"};
    QCommandLineOption steps{"steps", {}, "N"};
    QCommandLineOption set{"set", {}, "FIELD=TEXT"};
    QCommandLineOption option{"option", {}, "OptionK"};
    QCommandLineOption scale{"scale", {}, "K"};
    QCommandLineOption from{"from", {}, "SAVED.png"};
};

// Every option the parser knows, ours first, then Qt's.
QList<QCommandLineOption> knownOptions(const Options& options)
{
    QList<QCommandLineOption> known = {options.help, options.version, options.render, options.steps,
                                       options.set,  options.option,  options.scale,  options.from};
    for (const QtOwnOption& own : QtOwnOptions)
        known << QCommandLineOption(own.name, {}, own.takesValue ? "VALUE" : QString());
    return known;
}

// The option an argument names: "--steps=5" and "-steps" both name "steps".
QString optionName(const QString& argument)
{
    QString name = argument.mid(argument.startsWith("--") ? 2 : 1);
    return name.left(name.indexOf('='));
}

bool takesValue(const QString& name, const QList<QCommandLineOption>& known)
{
    for (const QCommandLineOption& option : known)
        if (option.names().contains(name))
            return !option.valueName().isEmpty();
    return false;
}

// An option as the user typed it, without its value.
QString asTyped(const QString& name, const QStringList& arguments)
{
    for (const QString& argument : arguments.mid(1))
        if (argument.startsWith('-') && optionName(argument) == name)
            return argument.left(argument.indexOf('='));
    return "--" + name;
}

// QCommandLineParser reports its errors in English; they are said again in
// Italian. It finds three kinds: unknown options, a value missing after the
// last argument, and a value given to an option that takes none.
QString parseErrorText(const QCommandLineParser& parser, const QStringList& arguments,
                       const QList<QCommandLineOption>& known)
{
    const QStringList unknown = parser.unknownOptionNames();
    if (!unknown.isEmpty()) {
        QStringList typed;
        for (const QString& name : unknown)
            typed << asTyped(name, arguments);
        return (typed.size() == 1 ? "opzione sconosciuta: " : "opzioni sconosciute: ") + typed.join(", ");
    }
    const QString last = arguments.last();
    if (last.startsWith('-') && !last.contains('=') && takesValue(optionName(last), known))
        return QString("manca il valore dopo %1").arg(last);
    for (const QString& argument : arguments.mid(1))
        if (argument.startsWith('-') && argument.contains('=') && !takesValue(optionName(argument), known))
            return QString("%1 non vuole un valore").arg(argument.left(argument.indexOf('=')));
    return parser.errorText();
}

// The fields --set may name: those of the window, less termineT, which
// --steps sets.
QStringList settableFields(const Program& program)
{
    const FieldTexts texts = designTexts(*program.layout);
    QStringList names;
    for (std::size_t index = 0; index < FieldCount; ++index)
        if (texts[index] && static_cast<Field>(index) != Field::termine)
            names << QString::fromUtf8(FieldNames[index].data(), qsizetype(FieldNames[index].size()));
    return names;
}

// A whole number written in decimal digits alone, within 64 bits.
std::optional<qint64> wholeNumber(const QString& text)
{
    static const QRegularExpression digits("^[0-9]+$");
    bool fits = false;
    const qint64 value = text.toLongLong(&fits);
    if (!digits.match(text).hasMatch() || !fits)
        return std::nullopt;
    return value;
}

// Each reader below fills its part of the request and returns what is
// wrong with the text, or nothing.
QString readSteps(const QString& text, RenderRequest& request)
{
    const std::optional<qint64> steps = wholeNumber(text);
    if (!steps || *steps < 1)
        return QString("--steps vuole un numero intero di almeno 1, non «%1»").arg(text);
    request.steps = *steps;
    return {};
}

QString readScale(const QString& text, RenderRequest& request)
{
    const std::optional<qint64> scale = wholeNumber(text);
    if (!scale || *scale < 1 || *scale > 16)
        return QString("--scale vuole un numero intero da 1 a 16, non «%1»").arg(text);
    request.scale = int(*scale);
    return {};
}

QString readOption(const QString& text, RenderRequest& request)
{
    const std::optional<qint64> number = text.startsWith("Option") ? wholeNumber(text.mid(6)) : std::nullopt;
    if (!number || *number < 1 || *number > 12)
        return QString("--option vuole un nome da Option1 a Option12, non «%1»").arg(text);
    request.options.push_back(int(*number));
    return {};
}

QString readEdit(const QString& text, const Program& program, RenderRequest& request)
{
    const qsizetype equals = text.indexOf('=');
    if (equals < 0)
        return QString("--set vuole CAMPO=TESTO, non «%1»").arg(text);
    const QString name = text.left(equals);
    const QStringList fields = settableFields(program);
    if (name == "termineT")
        return "--set non scrive termineT: il numero di passi si dà con --steps N";
    if (!fields.contains(name))
        return QString("--set: campo sconosciuto «%1»; i campi sono %2").arg(name, fields.join(", "));
    request.edits.emplace_back(*fieldNamed(name.toStdString()), text.mid(equals + 1));
    return {};
}

CommandLine usageError(const QString& error)
{
    CommandLine command;
    command.action = CommandLine::Action::UsageError;
    command.error = error;
    return command;
}

// A render takes either a recipe of its own (--steps, with --set and
// --option) or the one stored in a saved picture (--from), never both.
CommandLine readRender(const QCommandLineParser& parser, const Options& options, const Program& program)
{
    CommandLine command;
    command.action = CommandLine::Action::Render;
    RenderRequest& request = command.render;
    request.output = parser.value(options.render);
    request.from = parser.value(options.from);
    if (request.output.isEmpty())
        return usageError("--render vuole il nome del file da scrivere, per esempio --render grafico.png");
    const bool ownRecipe = parser.isSet(options.steps) || parser.isSet(options.set) || parser.isSet(options.option);
    if (parser.isSet(options.from) && ownRecipe)
        return usageError("--from non si unisce a --steps, --set o --option: la ricetta è già nell'immagine salvata");
    if (parser.isSet(options.from) && request.from.isEmpty())
        return usageError("--from vuole il nome di un'immagine salvata dal programma");
    if (!parser.isSet(options.from) && !parser.isSet(options.steps))
        return usageError("--render vuole --steps N oppure --from SALVATA.png");

    QStringList errors;
    if (parser.isSet(options.steps))
        errors << readSteps(parser.value(options.steps), request);
    if (parser.isSet(options.scale))
        errors << readScale(parser.value(options.scale), request);
    for (const QString& edit : parser.values(options.set))
        errors << readEdit(edit, program, request);
    for (const QString& option : parser.values(options.option))
        errors << readOption(option, request);
    errors.removeAll(QString());
    return errors.isEmpty() ? command : usageError(errors.first());
}

}  // namespace

CommandLine parseCommandLine(const QStringList& arguments, const Program& program)
{
    const Options options;
    const QList<QCommandLineOption> known = knownOptions(options);
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.addOptions(known);
    if (!parser.parse(arguments))
        return usageError(parseErrorText(parser, arguments, known));
    if (!parser.positionalArguments().isEmpty())
        return usageError(QString("argomento inatteso: «%1»").arg(parser.positionalArguments().first()));

    CommandLine command;
    if (parser.isSet(options.help))
        command.action = CommandLine::Action::ShowHelp;
    else if (parser.isSet(options.version))
        command.action = CommandLine::Action::ShowVersion;
    else if (parser.isSet(options.render))
        command = readRender(parser, options, program);
    else
        for (const QCommandLineOption* only : {&options.steps, &options.set, &options.option, &options.scale, &options.from})
            if (parser.isSet(*only))
                return usageError(QString("--%1 vale solo con --render").arg(only->names().first()));
    command.windowSystemNamed = parser.isSet("platform") || parser.isSet("display");
    return command;
}

QString usageText(const Program& program)
{
    return QString(R"(Uso: %1 [OPZIONI]

Senza opzioni apre la finestra di %1.

Opzioni:
  -h, --help              mostra questo aiuto ed esce
  -v, --version           mostra la versione ed esce
  --render FILE.png       disegna, senza finestra e senza schermo, l'immagine
                          che il Grafico avrebbe dopo la stessa corsa, e la
                          scrive in FILE.png
  --steps N               con --render: N passi (un intero da 1 in su), come
                          scrivere N in «termine» e premere «Via»
  --set CAMPO=TESTO       con --render: scrive TESTO nel campo prima della
                          corsa; si può ripetere. I campi sono:
                          %2
  --option OptionK        con --render: seleziona OptionK (K da 1 a 12) prima
                          della corsa; si può ripetere
  --scale K               con --render: immagine K volte più grande (K da 1
                          a 16; 1 se non data)
  --from SALVATA.png      con --render: ripete la corsa salvata
                          nell'immagine, al posto di --steps, --set, --option

Sono accettate anche le opzioni di Qt per il sistema grafico, come
-platform, -display e -style.

Stato di uscita: 0 riuscito; 1 nessuno schermo, o file non scritto; 2 errore
nella riga di comando; 3 corsa finita per un errore aritmetico (l'immagine
fino a quel punto è scritta).

Esempio: un'immagine 4 volte più grande, da stampare:
  %1 --render stampa.png --steps 20000000 --scale 4
)")
        .arg(program.name, settableFields(program).join(", "));
}

QString versionText(const Program& program)
{
    return QString("%1 (Vortiquo) %2\n").arg(program.name, SuiteVersion);
}

QString usageErrorText(const Program& program, const QString& error)
{
    return QString("%1: %2\nPer l'elenco delle opzioni: %1 --help\n").arg(program.name, error);
}

QString noDisplayText(const Program& program)
{
    return QString("%1: nessuno schermo grafico trovato (DISPLAY e WAYLAND_DISPLAY non sono impostate): "
                   "avviare il programma da una sessione grafica, oppure usare --render FILE.png "
                   "per un'immagine senza finestra\n")
        .arg(program.name);
}

bool displayAvailable(const CommandLine& command)
{
    for (const char* variable : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        if (!qEnvironmentVariableIsEmpty(variable))
            return true;
    return command.windowSystemNamed;
}
