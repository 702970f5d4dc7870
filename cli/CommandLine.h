#pragma once

#include <QString>
#include <QStringList>
#include <functional>

#include "program/Program.h"
#include "cli/Render.h"

namespace vortiquo {

// What a program's command line asks for. It is read before anything needs
// a display, so help, version, usage errors and --render work without one.
struct CommandLine {
    // Task: the work of a mode other than --render, ready to run.
    enum class Action { OpenWindow, ShowHelp, ShowVersion, Render, Task, UsageError };
    Action action = Action::OpenWindow;
    RenderRequest render;          // for Render
    std::function<int()> task;     // for Task: does the work, returns the exit status
    QString error;                 // for UsageError: what is wrong, in Italian
    bool windowSystemNamed = false;  // -platform or -display was given
};

// Reads the arguments, the program's name first as in argv. Qt's own
// window-system options (-platform, -display, -style, ...) are accepted and
// left for the application object to read; single-dash words are read as
// long options, so -platform is one option, not eight letters.
CommandLine parseCommandLine(const QStringList& arguments, const Program& program);

// The texts of --help, --version, a usage error and a missing display, in
// Italian and ending in a new line.
QString usageText(const Program& program);
QString versionText(const Program& program);
QString usageErrorText(const Program& program, const QString& error);
QString noDisplayText(const Program& program);

// Whether the window can reach a display: one is named in the environment
// (DISPLAY, WAYLAND_DISPLAY, QT_QPA_PLATFORM) or on the command line.
bool displayAvailable(const CommandLine& command);

}  // namespace vortiquo
