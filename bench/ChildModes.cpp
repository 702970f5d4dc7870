#include "bench/ChildModes.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QTimer>
#include <cstdio>

#include "apps/Programs.h"
#include "bench/AllocationCounter.h"
#include "bench/Measurements.h"
#include "bench/Protocol.h"
#include "bench/WindowControls.h"
#include "bench/WindowRuns.h"
#include "bench/XClicker.h"
#include "window/DrawingArea.h"
#include "window/RunDispatcher.h"
#include "cli/RunProgram.h"
#include "window/SimulationForm.h"

namespace vortiquo {

namespace {

// A count of zero proves nothing unless the counter sees allocations.
bool counterSeesTheHeap()
{
    if (!AllocationCounter::available())
        return true;
    AllocationCounter::start();
    const QByteArray known(4096, 'x');
    return AllocationCounter::stop().thisThread > 0 && known.size() == 4096;
}

bool startupProbe = false;
Clock::time_point applicationCreated;

// Reports the first paint of a drawing area, then closes the windows.
class FirstPaint : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (!seen_ && event->type() == QEvent::Paint && qobject_cast<DrawingArea*>(watched)) {
            seen_ = true;
            writeReportLine(toJson(StartupProbe{applicationCreated, Clock::now(), dispatcherName()}));
            QTimer::singleShot(0, qApp, [] { QApplication::closeAllWindows(); });
        }
        return false;
    }

private:
    bool seen_ = false;
};

// Runs when the application object is created, inside the program's own
// start-up; the filter dies with the application.
void installStartupProbe()
{
    if (!startupProbe)
        return;
    applicationCreated = Clock::now();
    qApp->installEventFilter(new FirstPaint(qApp));
}

}  // namespace

Q_COREAPP_STARTUP_FUNCTION(installStartupProbe)

int programMain(int argc, char** argv, const char* name)
{
    const Program* program = findProgram(name);
    if (!program)
        return 2;
    const Options options = parseOptions(3, argc, argv);
    prepareWindowEvents();  // as the programs do
    AllocationCounter::markCountingThread();
    QApplication application(argc, argv);
    if (!counterSeesTheHeap()) {
        std::fprintf(stderr, "vortiquo-bench: the allocation counter does not see the heap\n");
        return 1;
    }
    XClicker clicker;
    const bool xcb = QGuiApplication::platformName() == QLatin1String("xcb");
    writeReportLine(toJson(measureProgram(*program, options, xcb && clicker.available() ? &clicker : nullptr)));
    return 0;
}

int startupProbeMain(char* programPath, const char* name)
{
    const Program* program = findProgram(name);
    if (!program)
        return 2;
    startupProbe = true;
    // Started plainly, as a user starts it: the benchmark's own arguments
    // are not the program's.
    int argc = 1;
    char* argv[] = {programPath, nullptr};
    return runProgram(argc, argv, *program);
}

int dispatcherProbeMain(int argc, char** argv, int calls, std::int32_t steps)
{
    // The platform's dispatcher that the parent chose, wrapped as the programs wrap theirs.
    RunDispatcher::install();
    AllocationCounter::markCountingThread();
    QApplication application(argc, argv);
    SimulationForm form(programNamed("BrisutaW7"));
    showAndSettle(form);
    QCoreApplication::processEvents();
    AllocationCounter::start();
    Stopwatch watch;
    for (int call = 0; call < calls; ++call)
        QCoreApplication::processEvents();
    watch.stop();
    const auto allocations = AllocationCounter::stop();
    DispatcherProbe probe;
    probe.dispatcher = dispatcherName();
    probe.wallNs = watch.wallSeconds * 1e9 / calls;
    probe.cpuNs = watch.cpuSeconds * 1e9 / calls;
    if (AllocationCounter::available())
        probe.allocationsPerCall = static_cast<double>(allocations.thisThread) / calls;
    probe.run = timedRun(form, steps).stepsPerSecond;
    writeReportLine(toJson(probe));
    return 0;
}

}  // namespace vortiquo
