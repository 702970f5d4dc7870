// End to end in a real X server: a program's own binary started on an Xvfb
// of our own and driven only by synthetic X input, as a user would drive it.
//   vortiquo-e2e BINARY PROGRAM
// 1. types a step limit into termineT and presses "Via"; once the run is
//    over, the drawing area on the screen holds exactly the picture of the
//    program's own step function;
// 2. Ctrl+S, a path typed into the dialog, Enter: the file holds that picture;
// 3. "Esci", then "Sì": the process exits with status 0.
//   vortiquo-e2e BINARY PROGRAM --tools esci|frame
// opens every tool window the program offers, then closes the program's
// window with "Esci" and "Sì" or as the window frame's close button does:
// the process exits with status 0, tool windows and all.
// VORTIQUO_E2E_SHOTS names a folder for screenshots of the window and the
// dialog; VORTIQUO_E2E_DISPLAY an X server to use instead of an Xvfb of its
// own (one to watch, say; its keyboard and mouse are taken over).
// Exit status: 0 passed, 1 failed, 77 no X server or XTest here.
#include <QApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <algorithm>
#include <csignal>
#include <cstdio>
#include <functional>
#include <sys/prctl.h>

#include "Expectations.h"
#include "VirtualDisplay.h"
#include "XRemote.h"
#include "apps/Programs.h"
#include "picture/Recipe.h"
#include "window/Tools.h"

using namespace vortiquo;

namespace {

constexpr int SkipStatus = 77;
constexpr std::int32_t RunSteps = 50'000;
// X keysyms: Return, and the letters a, s.
constexpr unsigned long KeyReturn = 0xff0d, KeyA = 0x61, KeyS = 0x73;

// The tool windows a shortcut opens: the tool's row, its key with Control,
// and the start of its title.
struct ToolKey {
    const ToolWindow* tool;
    unsigned long keysym;
    const char* title;
};
const ToolKey ToolKeys[] = {
    {&SensitivityTool, 0x6c, "Sensibilità"},       // Ctrl+L
    {&ExplorerTool, 0x65, "Esplora parametri"},    // Ctrl+E
};

enum class Leaving { AfterRun, ToolsThenEsci, ToolsThenFrame };

// A child of the driver is killed with it, even if the driver crashes.
void dieWithParent()
{
    prctl(PR_SET_PDEATHSIG, SIGKILL);
}

void say(const QString& text)
{
    std::fprintf(stderr, "%s\n", qPrintable(text));
}

// Polls until `done` holds or the time is up.
bool waitFor(int milliseconds, const std::function<bool()>& done)
{
    const QDeadlineTimer deadline(milliseconds);
    while (!done()) {
        if (deadline.hasExpired())
            return false;
        QThread::msleep(50);
    }
    return true;
}

class EndToEnd {
public:
    EndToEnd(QString binary, const Program& program, Leaving leaving)
        : binary_(std::move(binary)), program_(program), leaving_(leaving)
    {
    }

    int exec()
    {
        displayName_ = qEnvironmentVariable("VORTIQUO_E2E_DISPLAY");
        if (displayName_.isEmpty()) {
            if (!display_.start()) {
                say(QStringLiteral("skipped: %1").arg(display_.problem()));
                return SkipStatus;
            }
            displayName_ = display_.name();
        }
        remote_ = std::make_unique<XRemote>(displayName_);
        if (!remote_->usable()) {
            say(QStringLiteral("skipped: %1").arg(remote_->problem()));
            return SkipStatus;
        }
        const bool passed = startProgram() &&
                            (leaving_ == Leaving::AfterRun
                                 ? runDrawsTheStepFunction() && savedFileHoldsThePicture() && exitsWithStatusZero()
                                 : toolWindowsOpen() &&
                                       (leaving_ == Leaving::ToolsThenEsci ? exitsWithStatusZero()
                                                                           : closedByItsFrame()));
        if (!passed) {
            say(QStringLiteral("the program's output:\n%1").arg(QString::fromLocal8Bit(programOutput())));
            if (process_.state() != QProcess::NotRunning)
                process_.kill();
        }
        process_.waitForFinished(10'000);
        return passed ? 0 : 1;
    }

private:
    QString outputPath() const { return folder_.filePath(QStringLiteral("program.log")); }

    QByteArray programOutput() const
    {
        QFile log(outputPath());
        return log.open(QIODevice::ReadOnly) ? log.readAll() : QByteArray();
    }

    bool fail(const QString& what)
    {
        say(QStringLiteral("%1: %2").arg(QLatin1String(program_.name), what));
        return false;
    }

    QPoint centreOf(const char* control) const
    {
        return window_.topLeft() + controlPlace(*program_.layout, control).center();
    }

    QImage grabDrawingArea() const
    {
        return remote_->grab(controlPlace(*program_.layout, "Grafico").translated(window_.topLeft()));
    }

    void shoot(const QString& name, const QRect& area) const
    {
        const QString folder = qEnvironmentVariable("VORTIQUO_E2E_SHOTS");
        if (folder.isEmpty() || !QDir().mkpath(folder))
            return;
        QThread::msleep(300);  // the screen shows the last keys once the program has painted them
        const QString file = QStringLiteral("%1-%2.png").arg(QLatin1String(program_.name), name);
        remote_->grab(area).save(QDir(folder).filePath(file));
    }

    // The program alone on the display: no desktop's theme, our own folders.
    bool startProgram()
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"QT_QPA_PLATFORMTHEME", "QT_STYLE_OVERRIDE", "QT_SCALE_FACTOR",
                                 "QT_SCREEN_SCALE_FACTORS", "QT_FONT_DPI", "XDG_CURRENT_DESKTOP", "DESKTOP_SESSION",
                                 "WAYLAND_DISPLAY"})
            environment.remove(QString::fromLatin1(name));
        environment.insert(QStringLiteral("DISPLAY"), displayName_);
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        for (const char* name : {"HOME", "XDG_RUNTIME_DIR", "XDG_CONFIG_HOME", "XDG_CACHE_HOME", "XDG_DATA_HOME"}) {
            const QString path = folder_.filePath(QString::fromLatin1(name));
            QDir().mkpath(path);
            QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
            environment.insert(QString::fromLatin1(name), path);
        }
        process_.setProcessEnvironment(environment);
        // To a file: a pipe that nobody reads while the driver waits could fill.
        process_.setProcessChannelMode(QProcess::MergedChannels);
        process_.setStandardOutputFile(outputPath());
        process_.setChildProcessModifier(dieWithParent);
        process_.start(binary_, {});
        if (!process_.waitForStarted(10'000))
            return fail(QStringLiteral("%1 did not start").arg(binary_));
        const QString caption = QString::fromUtf8(program_.layout->caption);
        if (!waitFor(60'000, [&] { return (windowId_ = remote_->findWindow(process_.processId(), caption)) != 0; }))
            return fail(QStringLiteral("no window titled «%1» appeared").arg(caption));
        window_ = remote_->placeOf(windowId_);
        if (window_.size() != clientSize(*program_.layout))
            return fail(QStringLiteral("the window is %1×%2, laid out %3×%4")
                            .arg(window_.width()).arg(window_.height())
                            .arg(clientSize(*program_.layout).width()).arg(clientSize(*program_.layout).height()));
        // The drawing area shows its background once the window is painted.
        const QImage empty = stepFunctionPicture(program_, 0);
        if (!waitFor(30'000, [&] { return grabDrawingArea() == empty; }))
            return fail(QStringLiteral("the drawing area never showed its empty background"));
        return true;
    }

    bool runDrawsTheStepFunction()
    {
        remote_->click(centreOf("termineT"));
        remote_->press(KeyA, true);
        remote_->type(QString::number(RunSteps));
        remote_->click(centreOf("Via"));
        const QImage expected = stepFunctionPicture(program_, RunSteps);
        QImage shown;
        const bool drawn = waitFor(120'000, [&] { return (shown = grabDrawingArea()) == expected; });
        shoot(QStringLiteral("window"), window_);
        if (!drawn) {
            int differing = 0;
            for (int y = 0; y < expected.height(); ++y)
                for (int x = 0; x < expected.width(); ++x)
                    differing += shown.pixel(x, y) != expected.pixel(x, y);
            return fail(QStringLiteral("after the run, %1 pixels of the drawing area differ from the step function's")
                            .arg(differing));
        }
        // Settled: nothing more is drawn once the limit is reached.
        QThread::msleep(300);
        if (grabDrawingArea() != expected)
            return fail(QStringLiteral("the drawing area changed after the run had drawn its picture"));
        picture_ = expected;
        return true;
    }

    bool savedFileHoldsThePicture()
    {
        const QString path = folder_.filePath(QStringLiteral("%1.png").arg(QString::fromLatin1(program_.name).toLower()));
        remote_->press(KeyS, true);
        unsigned long dialog = 0;
        if (!waitFor(30'000, [&] {
                return (dialog = remote_->findWindow(process_.processId(), QStringLiteral("Salva immagine"))) != 0;
            }))
            return fail(QStringLiteral("Ctrl+S showed no dialog"));
        const QRect dialogPlace = remote_->placeOf(dialog);
        waitUntilSettled(dialogPlace);
        // Typed again, over the whole name, should the first keys come before
        // the dialog had the focus; a completion popup may take an Enter.
        for (int round = 0; round < 3 && remote_->placeOf(dialog).isValid(); ++round) {
            remote_->moveTo(dialogPlace.center());  // the keyboard follows the pointer when no one sets the focus
            remote_->press(KeyA, true);
            if (!remote_->type(path))
                return fail(QStringLiteral("cannot type %1 on this keymap").arg(path));
            if (round == 0)
                shoot(QStringLiteral("dialog"), dialogPlace);
            for (int enter = 0; enter < 2 && remote_->placeOf(dialog).isValid(); ++enter) {
                remote_->press(KeyReturn);
                waitFor(3'000, [&] { return !remote_->placeOf(dialog).isValid(); });
            }
        }
        if (!waitFor(30'000, [&] { return QFile::exists(path) && !remote_->placeOf(dialog).isValid(); }))
            return fail(QStringLiteral("nothing was saved to %1").arg(path));
        const QImage saved(path);
        if (saved.convertToFormat(QImage::Format_RGB32) != picture_)
            return fail(QStringLiteral("%1 does not hold the picture on the screen").arg(path));
        if (saved.text(QString::fromLatin1(RecipeKey)).isEmpty())
            return fail(QStringLiteral("%1 holds no recipe").arg(path));
        return true;
    }

    // Until two grabs a moment apart agree: the window has been painted and
    // has taken the focus that comes with being shown.
    void waitUntilSettled(const QRect& area) const
    {
        QImage last = remote_->grab(area);
        waitFor(10'000, [&] {
            QThread::msleep(200);
            const QImage now = remote_->grab(area);
            const bool same = now == last;
            last = now;
            return same;
        });
    }

    // Every tool window the program's row offers, opened by its shortcut.
    bool toolWindowsOpen()
    {
        for (const ToolKey& key : ToolKeys) {
            if (std::find(program_.tools.begin(), program_.tools.end(), key.tool) == program_.tools.end())
                continue;
            const QString title = QStringLiteral("%1 — %2").arg(QString::fromUtf8(key.title),
                                                               QLatin1String(program_.name));
            // Pressed again should the key come before the window has the focus.
            bool shown = false;
            for (int attempt = 0; attempt < 10 && !shown; ++attempt) {
                remote_->click(centreOf("termineT"));
                QThread::msleep(200);
                remote_->press(key.keysym, true);
                shown = waitFor(3'000, [&] { return remote_->findWindow(process_.processId(), title) != 0; });
            }
            if (!shown)
                return fail(QStringLiteral("no window titled «%1» appeared").arg(title));
        }
        return true;
    }

    bool closedByItsFrame()
    {
        remote_->closeWindow(windowId_);
        return endsWithStatusZero(QStringLiteral("closing its window"));
    }

    bool endsWithStatusZero(const QString& after)
    {
        if (!process_.waitForFinished(60'000))
            return fail(QStringLiteral("still running a minute after %1").arg(after));
        if (process_.exitStatus() != QProcess::NormalExit || process_.exitCode() != 0)
            return fail(QStringLiteral("exited with status %1%2 after %3")
                            .arg(process_.exitCode())
                            .arg(process_.exitStatus() == QProcess::CrashExit ? " after a crash" : "")
                            .arg(after));
        return true;
    }

    bool exitsWithStatusZero()
    {
        const QRect yes = controlPlace(*program_.layout, "SiUscire").translated(window_.topLeft());
        const QImage hidden = remote_->grab(yes);
        remote_->click(centreOf("Esci"));
        if (!waitFor(10'000, [&] { return remote_->grab(yes) != hidden; }))
            return fail(QStringLiteral("\"Esci\" showed no \"Sì\""));
        remote_->click(yes.center());
        return endsWithStatusZero(QStringLiteral("\"Sì\""));
    }

    QString binary_;
    const Program& program_;
    Leaving leaving_;
    QTemporaryDir folder_;
    VirtualDisplay display_;
    QString displayName_;
    std::unique_ptr<XRemote> remote_;
    QProcess process_;
    unsigned long windowId_ = 0;
    QRect window_;
    QImage picture_;
};

}  // namespace

int main(int argc, char** argv)
{
    // The driver computes its expectations with no display of its own.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    const Program* program = nullptr;
    for (const Program& row : allPrograms())
        if (arguments.size() >= 3 && arguments[2] == QLatin1String(row.name))
            program = &row;
    Leaving leaving = Leaving::AfterRun;
    if (arguments.size() == 5 && arguments[3] == QLatin1String("--tools"))
        leaving = arguments[4] == QLatin1String("frame") ? Leaving::ToolsThenFrame : Leaving::ToolsThenEsci;
    if (!program || (arguments.size() != 3 && arguments.size() != 5)) {
        say(QStringLiteral("usage: vortiquo-e2e BINARY PROGRAM [--tools esci|frame]"));
        return 2;
    }
    return EndToEnd(arguments[1], *program, leaving).exec();
}
