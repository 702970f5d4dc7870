#include "cli/RunProgram.h"

#include "program/Version.h"

#include <QApplication>
#include <QFile>
#include <QIcon>
#include <QLibraryInfo>
#include <QTranslator>
#include <cstdio>

#include "cli/CommandLine.h"
#include "cli/Render.h"
#include "window/RunDispatcher.h"
#include "window/SimulationForm.h"

namespace vortiquo {

namespace {

void print(std::FILE* stream, const QString& text)
{
    std::fputs(text.toUtf8().constData(), stream);
}

QStringList argumentList(int argc, char** argv)
{
    QStringList arguments;
    for (int index = 0; index < argc; ++index)
        arguments << QString::fromLocal8Bit(argv[index]);
    return arguments;
}

// Name, version and organisation; the static setters need no application
// object, so a render sees them too.
void describeApplication(const Program& program)
{
    QCoreApplication::setApplicationName(program.name);
    QCoreApplication::setApplicationVersion(SuiteVersion);
    QCoreApplication::setOrganizationName("Vortiquo");
    QCoreApplication::setOrganizationDomain("vortiquo.org");
    QGuiApplication::setDesktopFileName(applicationId(program));
}

// The window's icon is the same SVG drawing the launcher shows, compiled
// into the program. Qt draws SVG through its SVG icon engine (Debian's
// libqt6svg6, which the package depends on): one small library buys every
// size a window manager asks for from one drawing, instead of a set of PNGs
// kept in step with it. Without the engine the window just has no icon.
void setWindowIcon(const Program& program)
{
    const QString path = QString(":/icons/%1.svg").arg(applicationId(program));
    if (QFile::exists(path))  // programs built without their icon (the benchmark) skip the engine
        QApplication::setWindowIcon(QIcon(path));
}

int showWindow(int argc, char** argv, const Program& program)
{
    prepareWindowEvents();
    QApplication application(argc, argv);
    loadQtTranslations(application);
    setWindowIcon(program);
    SimulationForm form(program);
    form.show();
    return QApplication::exec();
}

}  // namespace

// The window's own texts are Italian whatever the locale, so Qt's are too:
// the save dialog says "Salva" and "Annulla" under any locale. Without Qt's
// Italian translations (Debian's qt6-translations-l10n) its English stays.
void loadQtTranslations(QCoreApplication& application)
{
    auto* translator = new QTranslator(&application);
    if (translator->load(QLocale(QLocale::Italian, QLocale::Italy), QStringLiteral("qtbase"), QStringLiteral("_"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(translator);
    else
        delete translator;
}

QString applicationId(const Program& program)
{
    return QString("org.vortiquo.%1").arg(program.name);
}

int runProgram(int argc, char** argv, const Program& program)
{
    describeApplication(program);
    // Everything up to showWindow runs with no application object, so it
    // needs no display.
    const CommandLine command = parseCommandLine(argumentList(argc, argv), program);
    switch (command.action) {
    case CommandLine::Action::ShowHelp:
        print(stdout, usageText(program));
        return 0;
    case CommandLine::Action::ShowVersion:
        print(stdout, versionText(program));
        return 0;
    case CommandLine::Action::UsageError:
        print(stderr, usageErrorText(program, command.error));
        return RenderUsage;
    case CommandLine::Action::Render:
        return renderPicture(program, command.render);
    case CommandLine::Action::Task:
        return command.task();
    case CommandLine::Action::OpenWindow:
        break;
    }
    if (!displayAvailable(command)) {
        print(stderr, noDisplayText(program));
        return 1;
    }
    return showWindow(argc, argv, program);
}

}  // namespace vortiquo
