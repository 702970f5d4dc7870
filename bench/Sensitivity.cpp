#include "bench/Sensitivity.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPointer>
#include <QProcess>
#include <QTabWidget>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <memory>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "apps/Programs.h"
#include "bench/IdleComputation.h"
#include "bench/Protocol.h"
#include "bench/Timing.h"
#include "cli/EditedSession.h"
#include "engine/SweepTiles.h"
#include "window/ExplorerWindow.h"
#include "window/RunDispatcher.h"
#include "window/SweepComputation.h"
#include "window/SensitivityWindow.h"
#include "window/ToolHost.h"
#include "window/SimulationForm.h"

namespace vortiquo {

namespace {

constexpr double TargetMapSeconds = 0.2;    // 1,000,000 map steps
constexpr double TargetFlowSeconds = 2.0;   // 10,000,000 flow steps
constexpr double TargetSlowdown = 0.05;     // of a window's run, while a tool window computes

// Keeps the wall-clock time that its own thread spends handling events
// while `timing` is set, counting only the outermost deliveries. During a
// run that is what the window's thread does besides stepping: the one part
// of a run's time that a tool window adds to, whatever the host's speed.
class EventTimedApplication : public QApplication {
public:
    using QApplication::QApplication;

    bool notify(QObject* receiver, QEvent* event) override
    {
        if (!timing || nested_ || QThread::currentThread() != thread())
            return QApplication::notify(receiver, event);
        nested_ = true;
        QElapsedTimer handling;
        handling.start();
        const bool handled = QApplication::notify(receiver, event);
        eventNs += handling.nsecsElapsed();
        nested_ = false;
        return handled;
    }

    bool timing = false;
    qint64 eventNs = 0;

private:
    bool nested_ = false;
};

// One run of a window: its steps per second of wall-clock time and of the
// window thread's CPU time (the second leaves out what other processes and
// a virtual machine's host take), the share of the machine's CPU time that
// the host took, and the share of the run's time spent handling events.
struct RunFigures {
    Rate rate;
    double stolenShare = 0;
    double eventShare = 0;
};

RunFigures runFigures(EventTimedApplication& application, SimulationForm& form, int steps)
{
    form.typeField(Field::termine, QString::number(steps));
    const double stolen = stolenCpuSeconds();
    application.eventNs = 0;
    application.timing = true;
    Stopwatch watch;
    form.Via_Click();
    watch.stop();
    application.timing = false;
    const double cores = std::max(1, QThread::idealThreadCount());
    return {rateOf(steps, watch), (stolenCpuSeconds() - stolen) / (watch.wallSeconds * cores),
            static_cast<double>(application.eventNs) * 1e-9 / watch.wallSeconds};
}

}  // namespace

void printExponentTimes(const Options& options)
{
    std::printf("\nLargest Lyapunov exponent, both methods together from the opening values (median of %d)\n",
                options.repeats);
    for (const Program& program : allPrograms()) {
        const Session session = editedSession(program, {});
        const SimulationState start = fieldStart(session.state(), session.texts());
        const Dynamics& dynamics = *dynamicsOf(*program.model);
        LyapunovSettings settings = defaultLyapunovSettings(dynamics, start);
        if (options.smoke)
            settings.measuredSteps /= 100;
        std::vector<double> times;
        LyapunovResult result;
        for (int repeat = 0; repeat < options.repeats; ++repeat) {
            Stopwatch watch;
            result = largestLyapunovExponent(*program.model, start, settings);
            watch.stop();
            times.push_back(watch.wallSeconds);
        }
        const double target = dynamics.timed ? TargetFlowSeconds : TargetMapSeconds;
        const double seconds = median(times);
        const double full = options.smoke ? seconds * 100 : seconds;  // the transient is not scaled: a bound
        std::printf("  %-10s %11lld steps + %7lld transient  %.3f s  (%.1f M steps/s)  lambda %.5f / %.5f %s  "
                    "target < %.1f s %s\n",
                    program.name, static_cast<long long>(settings.measuredSteps),
                    static_cast<long long>(settings.transientSteps), seconds,
                    static_cast<double>(settings.measuredSteps + settings.transientSteps) / seconds / 1e6,
                    result.tangent.value, result.twoOrbit.value, dynamics.timed ? "per time" : "per step", target,
                    options.smoke ? "(smoke run: not judged)" : (full < target ? "met" : "MISSED"));
    }
    std::fflush(stdout);
}

namespace {

// With the stepping itself as fast beside the tool as alone, a run whose
// events take the share `alone` of its time alone and `beside` beside the
// tool is slower by this share: its steps take 1 - share of each.
double eventSlowdown(double alone, double beside)
{
    return 1 - (1 - beside) / (1 - alone);
}

// How often the busy Esplora parametri window changes view.
constexpr int ViewChangeMs = 1000;

// What a run goes beside, by the name a `--sensitivity-load` child takes.
enum class ToolKind { none, computation, sensitivity, explorer };

struct ToolRow {
    const char* name;
    ToolKind kind;
    const char* title;
};

constexpr ToolRow ToolRows[] = {
    {"niente", ToolKind::none, "no tool window, the measurement's own spread"},
    {"calcolo", ToolKind::computation, "a plain computation at the tools' priority, with no window"},
    {"sensibilita", ToolKind::sensitivity, "a Sensibilità window that computes without pause"},
    {"esplora", ToolKind::explorer, "an Esplora parametri window that computes without pause"},
};

ToolKind toolKindNamed(const QByteArray& name)
{
    for (const ToolRow& row : ToolRows)
        if (name == row.name)
            return row.kind;
    return ToolKind::none;
}

// One program's line of the report, from its child's figures.
void printToolLoadLine(const char* program, const ToolLoadProbe& load, bool smoke)
{
    const double slowdown = 1 - load.ratio.wall, slowdownCpu = 1 - load.ratio.cpu;
    std::printf("  %-10s alone %.0f steps/s, beside it %.0f: %.1f %% slower; per CPU second of the window's "
                "thread %.0f and %.0f: %.1f %% (%d computations; the host took %.1f %% of the machine alone, "
                "%.1f %% beside)  target <= %.0f %% %s\n",
                program, load.alone.wall, load.beside.wall, slowdown * 100, load.alone.cpu, load.beside.cpu,
                slowdownCpu * 100, load.computations, load.stolen.alone * 100, load.stolen.beside * 100,
                TargetSlowdown * 100,
                smoke ? "(smoke run: not judged)" : (slowdown <= TargetSlowdown ? "met" : "MISSED"));
    std::printf("  %-10s events took %.2f %% of a run alone and %.2f %% beside: the window's own work for "
                "the tool slows the run by %.2f %%\n",
                "", load.events.alone * 100, load.events.beside * 100,
                eventSlowdown(load.events.alone, load.events.beside) * 100);
}

// A window's run alone and beside a tool window that computes without
// pause, each in a `--sensitivity-load` child; one line per program.
void printToolLoad(const char* benchPath, const Options& options, const ToolRow& tool)
{
    // Runs of a second or so, so that the tool computes during each.
    const int steps = options.smoke ? 2'000'000 : 50'000'000;
    std::printf("\nA window's run beside %s (%d steps; medians of %d turns, each a run alone and one beside\n"
                " it; the slowdown is from the turns' own ratios, the geometric mean of the median of the turns\n"
                " that ran alone first and that of the turns that ran beside first)\n",
                tool.title, steps, options.repeats);
    for (const Program& program : allPrograms()) {
        if (tool.kind == ToolKind::explorer && !sweepViewOf(program))
            continue;
        QProcess child;
        child.start(QString::fromLocal8Bit(benchPath), {"--sensitivity-load", program.name, QString::number(steps),
                                                         QString::number(options.repeats), tool.name});
        child.waitForFinished(600'000);
        const std::optional<QJsonObject> report = reportOfKind(child.readAllStandardOutput(), u"toolLoad");
        const std::optional<ToolLoadProbe> load = report ? toolLoadProbeFrom(*report) : std::nullopt;
        if (child.exitCode() == 0 && load)
            printToolLoadLine(program.name, *load, options.smoke);
        else
            std::printf("  %-10s failed\n", program.name);
    }
    std::fflush(stdout);
}

// A tool window kept computing while it is open: a Sensibilità window is
// edited again as soon as it shows a result, as if the user typed on and on,
// and computes again after its usual pause; an Esplora parametri window (its
// action, Ctrl+E) computes without pause, a view computed to the end being
// computed afresh at once, and changes view (its tab) once a second, as a
// brisk user would. Closing the window cancels what it computes.
class BusyTool {
public:
    BusyTool(SimulationForm& form, ToolKind kind) : form_(form), kind_(kind) {}

    // Opens the window; with no tool, the runs "beside" it show the
    // measurement's own spread, and beside a plain computation what the
    // busy neighbour core costs by itself.
    bool open()
    {
        switch (kind_) {
        case ToolKind::sensitivity: return openSensitivity();
        case ToolKind::explorer: return openExplorer();
        case ToolKind::none: return true;
        case ToolKind::computation: computation_.start(); return true;
        }
        return false;
    }

    void close()
    {
        computation_.stop();
        QObject::disconnect(keepBusy_);
        if (timer_)
            timer_->stop();
        if (window_)
            window_->close();
    }

    int computations() const { return computations_; }

private:
    bool openSensitivity()
    {
        SensitivityWindow* window = openSensitivityWindow(*form_.toolHost());
        QLineEdit* epsilon = window->findChild<QLineEdit*>("epsilonT");
        window_ = window;
        keepBusy_ = QObject::connect(window, &SensitivityWindow::resultShown, epsilon, [this, epsilon] {
            ++computations_;
            epsilon->setText(epsilon->text() == "1e-8" ? "2e-8" : "1e-8");
        });
        epsilon->setText(epsilon->text() == "1e-8" ? "2e-8" : "1e-8");
        return true;
    }

    bool openExplorer()
    {
        for (QAction* action : form_.actions())
            if (action->text().startsWith("Esplora parametri"))
                action->trigger();
        QTabWidget* tabs = nullptr;
        for (QWidget* widget : QApplication::topLevelWidgets())
            if (widget->isVisible() && widget->windowTitle().startsWith("Esplora parametri")) {
                window_ = widget;
                tabs = widget->findChild<QTabWidget*>();
            }
        if (!tabs)
            return false;
        if (!timer_) {
            timer_ = new QTimer(tabs);
            QObject::connect(timer_, &QTimer::timeout, tabs, [this, tabs] {
                ++computations_;
                tabs->setCurrentIndex(1 - tabs->currentIndex());
            });
            QObject::connect(tabs, &QTabWidget::currentChanged, tabs, [this] { passes_ = 0; });
            auto* explorer = static_cast<ExplorerWindow*>(window_.data());
            // Each view is computed coarse, then fine: after the fine pass, again.
            QObject::connect(explorer->findChild<SweepComputation*>(), &SweepComputation::finished, explorer,
                             [this, explorer] {
                                 if (++passes_ < 2 || !timer_->isActive())
                                     return;
                                 passes_ = 0;
                                 ++computations_;
                                 QMetaObject::invokeMethod(explorer, &ExplorerWindow::start, Qt::QueuedConnection);
                             });
        }
        passes_ = 0;
        timer_->start(ViewChangeMs);
        return true;
    }

    SimulationForm& form_;
    const ToolKind kind_;
    QPointer<QWidget> window_;
    QPointer<QTimer> timer_;
    QMetaObject::Connection keepBusy_;
    int computations_ = 0;
    int passes_ = 0;  // of the view in hand
    IdleComputation computation_;
};

void processEventsFor(int milliseconds)
{
    QElapsedTimer settle;
    settle.start();
    while (settle.elapsed() < milliseconds)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
}

}  // namespace

void printSensitivityLoad(const char* benchPath, const Options& options)
{
    for (const ToolRow& tool : ToolRows)
        printToolLoad(benchPath, options, tool);
}

int sensitivityLoadMain(int argc, char** argv, const char* name, int steps)
{
    const int repeats = argc >= 5 ? std::max(1, std::atoi(argv[4])) : 1;
    prepareWindowEvents();  // as the programs do
    EventTimedApplication application(argc, argv);
    SimulationForm form(programNamed(name));
    form.show();
    if (!QTest::qWaitForWindowExposed(&form))
        return 1;
    // Alone and beside the tool by turns, so that a drift of the machine's
    // speed during the measurement falls on both alike.
    const QByteArray toolName = argc >= 6 ? QByteArray(argv[5]) : QByteArray("sensibilita");
    BusyTool tool(form, toolKindNamed(toolName));
    std::vector<RunFigures> alone, beside;
    // The turns' ratios, of the turns that ran alone first and of those that
    // ran beside first ([0] and [1]).
    std::vector<double> ratios[2], cpuRatios[2];
    for (int turn = 0; turn < repeats; ++turn) {
        // Each turn a run alone and one beside the tool, taken alike with the
        // same pauses around them, the one first and the other first in
        // alternate turns; the turn's own ratio leaves out a drift of the
        // machine's speed from one turn to the next.
        RunFigures single, alongside;
        const auto measure = [&](bool besideTool) {
            if (besideTool && !tool.open())
                return false;
            processEventsFor(200);  // the tool's first computation under way
            (besideTool ? alongside : single) = runFigures(application, form, steps);
            if (besideTool)
                tool.close();
            processEventsFor(100);  // the cancelled work ends
            return true;
        };
        const int besideFirst = turn % 2;
        if (!measure(besideFirst == 1) || !measure(besideFirst == 0))
            return 1;
        alone.push_back(single);
        beside.push_back(alongside);
        ratios[besideFirst].push_back(alongside.rate.wall / single.rate.wall);
        cpuRatios[besideFirst].push_back(alongside.rate.cpu / single.rate.cpu);
    }
    // A run can be faster or slower for coming first in its turn (a virtual
    // machine's share of the host may run out during a turn): that factor
    // multiplies one order's ratios and divides the other's, and the
    // geometric mean of the two orders' medians leaves it out.
    const auto unbiased = [](const std::vector<double> (&byOrder)[2]) {
        return byOrder[1].empty() ? median(byOrder[0]) : std::sqrt(median(byOrder[0]) * median(byOrder[1]));
    };
    const auto medianOf = [](const std::vector<RunFigures>& runs, auto RunFigures::*figure) {
        std::vector<std::remove_cvref_t<decltype(runs.front().*figure)>> values;
        for (const RunFigures& run : runs)
            values.push_back(run.*figure);
        return median(values);
    };
    const auto shares = [&](double RunFigures::*share) {
        return ToolLoadProbe::Shares{medianOf(alone, share), medianOf(beside, share)};
    };
    writeReportLine(toJson(ToolLoadProbe{medianOf(alone, &RunFigures::rate), medianOf(beside, &RunFigures::rate),
                                         tool.computations(), Rate{unbiased(ratios), unbiased(cpuRatios)},
                                         shares(&RunFigures::stolenShare), shares(&RunFigures::eventShare)}));
    return 0;
}

}  // namespace vortiquo
