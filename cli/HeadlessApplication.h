#pragma once

#include <QGuiApplication>

#include "program/Program.h"

namespace vortiquo {

// The application object of work done with no window: the theme's default
// palette colours the background as a window shows it at load, and the
// offscreen platform needs no display, whatever the environment says. Qt's
// own notices (say, about the runtime directory) are not for the user of a
// command: every message is ours, in Italian.
class HeadlessApplication {
public:
    explicit HeadlessApplication(const Program& program)
        : argv_{const_cast<char*>(program.name), platform_, offscreen_, nullptr},
          application_((silenceQt(), argc_), argv_)  // silenced before Qt says anything
    {
    }

private:
    static void silenceQt()
    {
        qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
    }

    int argc_ = 3;
    char platform_[10] = "-platform";
    char offscreen_[10] = "offscreen";
    char* argv_[4];
    QGuiApplication application_;
};

}  // namespace vortiquo
