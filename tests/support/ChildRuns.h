// The command-line tests run their own executable again as one of the
// suite's programs, in a child process with no display, as a user runs it:
// main() hands over to the program when the variable names one, and the
// tests read the child's status and output.
#pragma once

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTest>
#include <csignal>
#include <string>
#include <sys/resource.h>

#include "apps/Programs.h"
#include "cli/RunProgram.h"

namespace child {

inline constexpr char ProgramVariable[] = "VORTIQUO_TEST_CHILD";

struct Ended {
    int status = -1;  // -1: it did not end by itself within the time
    QString out, err;
};

// `program` with these arguments, with no display to find. A file size
// limit, if given, makes writing fail part way, as a full disk does.
inline Ended run(const vortiquo::Program& program, const QStringList& arguments, int milliseconds = 60000,
                 rlim_t fileSizeLimit = RLIM_INFINITY)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* variable : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        environment.remove(variable);
    environment.insert(ProgramVariable, program.name);
    QProcess process;
    process.setProcessEnvironment(environment);
    if (fileSizeLimit != RLIM_INFINITY)
        process.setChildProcessModifier([fileSizeLimit] {
            const rlimit limit{fileSizeLimit, fileSizeLimit};
            setrlimit(RLIMIT_FSIZE, &limit);
            std::signal(SIGXFSZ, SIG_IGN);  // a write past the limit then fails instead of killing the process
        });
    process.start(QCoreApplication::applicationFilePath(), arguments);
    if (!process.waitForFinished(milliseconds) || process.exitStatus() != QProcess::NormalExit)
        return {};
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

inline QByteArray contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The test's main(): the program when this process is a child, else the
// test object `Test` under an application of kind `Application`.
template <typename Test, typename Application>
int main(int argc, char** argv)
{
    if (const QByteArray name = qgetenv(ProgramVariable); !name.isEmpty())
        return vortiquo::runProgram(argc, argv, vortiquo::programNamed(name.toStdString()));
    Application application(argc, argv);
    Test test;
    return QTest::qExec(&test, argc, argv);
}

}  // namespace child
