#include "cli/CommandLine.h"

#include "cli/CommandModes.h"
#include "cli/CommandReaders.h"
#include "program/Version.h"

#include <QCommandLineParser>
#include <string_view>
#include <vector>

namespace vortiquo {

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

// Every option the parser knows: help and version, each mode's own, the
// options the modes read, then Qt's.
QList<QCommandLineOption> knownOptions()
{
    QList<QCommandLineOption> known = {QCommandLineOption(QStringList{"h", "help"}),
                                       QCommandLineOption(QStringList{"v", "version"})};
    for (const CommandMode* mode : commandModes())
        known << QCommandLineOption(mode->trigger, {}, mode->triggerValue ? mode->triggerValue : QString());
    for (const CommandOption& option : commandOptions())
        known << QCommandLineOption(option.name, {}, option.valueName ? option.valueName : QString());
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

CommandLine usageError(const QString& error)
{
    CommandLine command;
    command.action = CommandLine::Action::UsageError;
    command.error = error;
    return command;
}

// The modes whose trigger is set, in the order of the table.
std::vector<const CommandMode*> chosenModes(const QCommandLineParser& parser)
{
    std::vector<const CommandMode*> chosen;
    for (const CommandMode* mode : commandModes())
        if (parser.isSet(mode->trigger))
            chosen.push_back(mode);
    return chosen;
}

bool accepts(const CommandMode& mode, std::string_view option)
{
    for (const char* name : mode.accepts)
        if (option == name)
            return true;
    return false;
}

// "--render, --lyapunov": the modes that read an option.
QString modesReading(std::string_view option)
{
    QStringList triggers;
    for (const CommandMode* mode : commandModes())
        if (accepts(*mode, option))
            triggers << QString("--%1").arg(mode->trigger);
    return triggers.join(", ");
}

// An option given that the chosen mode (or the window, with none) does not read.
QString optionOutOfPlace(const QCommandLineParser& parser, const CommandMode* mode)
{
    for (const CommandOption& option : commandOptions()) {
        if (!parser.isSet(option.name) || (mode && accepts(*mode, option.name)))
            continue;
        return QString("--%1 vale solo con %2").arg(option.name, modesReading(option.name));
    }
    return {};
}

}  // namespace

CommandLine parseCommandLine(const QStringList& arguments, const Program& program)
{
    const QList<QCommandLineOption> known = knownOptions();
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.addOptions(known);
    if (!parser.parse(arguments))
        return usageError(parseErrorText(parser, arguments, known));
    CommandLine command;
    command.windowSystemNamed = parser.isSet("platform") || parser.isSet("display");
    if (parser.isSet("help")) {
        command.action = CommandLine::Action::ShowHelp;
        return command;
    }
    if (parser.isSet("version")) {
        command.action = CommandLine::Action::ShowVersion;
        return command;
    }
    const std::vector<const CommandMode*> modes = chosenModes(parser);
    if (modes.size() > 1)
        return usageError(QString("--%1 e --%2 non si uniscono: una cosa alla volta")
                              .arg(modes[0]->trigger, modes[1]->trigger));
    const CommandMode* mode = modes.empty() ? nullptr : modes.front();
    if (!parser.positionalArguments().isEmpty() && !(mode && mode->positional))
        return usageError(QString("argomento inatteso: «%1»").arg(parser.positionalArguments().first()));
    if (const QString misplaced = optionOutOfPlace(parser, mode); !misplaced.isEmpty())
        return usageError(misplaced);
    if (mode) {
        const QString error = mode->read(parser, program, command);
        if (!error.isEmpty())
            return usageError(error);
    }
    return command;
}

QString usageText(const Program& program)
{
    QString modes;
    for (const CommandMode* mode : commandModes())
        modes += QString::fromUtf8(mode->help);
    return QString(R"(Uso: %1 [OPZIONI]

Senza opzioni apre la finestra di %1.

Opzioni:
  -h, --help              mostra questo aiuto ed esce
  -v, --version           mostra la versione ed esce
)" + modes + R"(
Sono accettate anche le opzioni di Qt per il sistema grafico, come
-platform, -display e -style.

Stato di uscita: 0 riuscito; 1 nessuno schermo, o file non scritto, o con
questi valori nessun esponente (dt nullo); 2 errore nella riga di comando;
3 corsa finita per un errore aritmetico, o traboccata l'orbita di --maxima
o --section (l'immagine o le righe fino a quel punto sono scritte;
--lyapunov non scrive nessun numero).

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

}  // namespace vortiquo
