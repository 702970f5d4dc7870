#include "bench/Children.h"

#include <QCoreApplication>
#include <QProcess>

#include "bench/Protocol.h"

namespace vortiquo {

namespace {

// Runs the benchmark as a child with the given arguments and returns its
// report of the given kind; nothing when the child failed or wrote none.
// `started`, if given, receives the moment the child was started.
std::optional<QJsonObject> runChild(const QStringList& arguments, const QProcessEnvironment& environment,
                                    QStringView kind, Clock::time_point* started = nullptr)
{
    QProcess child;
    child.setProcessEnvironment(environment);
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    if (started)
        *started = Clock::now();
    child.start(QCoreApplication::applicationFilePath(), arguments);
    if (!child.waitForFinished(300'000) || child.exitStatus() != QProcess::NormalExit || child.exitCode() != 0)
        return std::nullopt;
    return reportOfKind(child.readAllStandardOutput(), kind);
}

void addProbe(DispatcherFigures& figures, const DispatcherProbe& probe)
{
    figures.name = probe.dispatcher;
    figures.wallNs.push_back(probe.wallNs);
    figures.cpuNs.push_back(probe.cpuNs);
    if (probe.allocationsPerCall)
        figures.allocationsPerCall.push_back(*probe.allocationsPerCall);
    figures.run.push_back(probe.run);
}

}  // namespace

QProcessEnvironment childEnvironment()
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("QT_NO_GLIB"));
    return environment;
}

std::optional<ProgramMeasurement> measureProgramInChild(const Program& program, const QStringList& arguments,
                                                        const QProcessEnvironment& environment)
{
    const auto report =
        runChild(QStringList{QStringLiteral("--program"), QString::fromLatin1(program.name)} + arguments,
                 environment, u"measured");
    return report ? programMeasurementFrom(*report) : std::nullopt;
}

StartupFigures measureStartup(const Program& program, int probes, const QProcessEnvironment& environment)
{
    StartupFigures figures;
    for (int index = 0; index < probes; ++index) {
        Clock::time_point started;
        const auto report = runChild({QStringLiteral("--startup-probe"), QString::fromLatin1(program.name)},
                                     environment, u"startup", &started);
        const std::optional<StartupProbe> probe = report ? startupProbeFrom(*report) : std::nullopt;
        if (!probe)
            continue;
        figures.totalMs.push_back(milliseconds(probe->firstPaint - started));
        figures.applicationMs.push_back(milliseconds(probe->firstPaint - probe->applicationCreated));
        figures.dispatcher = probe->dispatcher;
    }
    return figures;
}

std::vector<DispatcherFigures> measureDispatchers(const Options& options, QProcessEnvironment environment)
{
    std::vector<DispatcherFigures> results(2);
    const QStringList arguments{QStringLiteral("--dispatcher-probe"), QString::number(options.dispatcherCalls),
                                QString::number(options.steps)};
    for (int round = 0; round < options.dispatcherRounds; ++round)
        for (int which = 0; which < 2; ++which) {
            if (which == 0)
                environment.insert(QStringLiteral("QT_NO_GLIB"), QStringLiteral("1"));
            else
                environment.remove(QStringLiteral("QT_NO_GLIB"));
            const auto report = runChild(arguments, environment, u"dispatcher");
            if (const auto probe = report ? dispatcherProbeFrom(*report) : std::nullopt)
                addProbe(results[static_cast<std::size_t>(which)], *probe);
        }
    return results;
}

}  // namespace vortiquo
