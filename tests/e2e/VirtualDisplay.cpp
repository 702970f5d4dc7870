#include "VirtualDisplay.h"

#include <QDeadlineTimer>
#include <QStandardPaths>
#include <csignal>
#include <sys/prctl.h>

VirtualDisplay::VirtualDisplay() = default;

VirtualDisplay::~VirtualDisplay()
{
    if (server_.state() != QProcess::NotRunning) {
        server_.terminate();
        if (!server_.waitForFinished(5000))
            server_.kill();
        server_.waitForFinished(5000);
    }
}

bool VirtualDisplay::start()
{
    const QString xvfb = QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
    if (xvfb.isEmpty()) {
        problem_ = QStringLiteral("no Xvfb on the PATH");
        return false;
    }
    // -displayfd 1: the server chooses a free display and writes its number
    // to standard output once it accepts connections. A screen of 96 dots
    // per inch keeps the windows at one device pixel per logical pixel.
    server_.setProcessChannelMode(QProcess::SeparateChannels);
    server_.setChildProcessModifier([] { prctl(PR_SET_PDEATHSIG, SIGKILL); });  // never outlives us
    server_.start(xvfb, {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"),
                         QStringLiteral("0"), QStringLiteral("1280x1024x24"), QStringLiteral("-dpi"),
                         QStringLiteral("96"), QStringLiteral("-nolisten"), QStringLiteral("tcp")});
    QByteArray number;
    const QDeadlineTimer deadline(20'000);
    while (!number.contains('\n') && !deadline.hasExpired() && server_.state() != QProcess::NotRunning) {
        server_.waitForReadyRead(100);
        number += server_.readAllStandardOutput();
    }
    if (!number.contains('\n')) {
        problem_ = QStringLiteral("Xvfb did not start: %1").arg(QString::fromLocal8Bit(server_.readAllStandardError()));
        return false;
    }
    name_ = QLatin1Char(':') + QString::fromLatin1(number.trimmed());
    return true;
}
