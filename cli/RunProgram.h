#pragma once

#include <QCoreApplication>
#include <QString>

#include "program/Program.h"

namespace vortiquo {

// Reads the command line, then prints help or the version, renders a
// picture with no window, or starts the application and shows the
// program's window until it closes. Returns the exit status.
int runProgram(int argc, char** argv, const Program& program);

// Installs Qt's own Italian texts, for the fields' context menu and Qt's
// standard dialogs, whatever the user's locale, where they are installed.
void loadQtTranslations(QCoreApplication& application);

// The launcher's reverse-DNS id, "org.vortiquo.BrisutaW7": the name of the
// .desktop file, the metainfo id and the running window's desktop file name
// all use it, so docks and software centres match the window to its launcher.
QString applicationId(const Program& program);

}  // namespace vortiquo
