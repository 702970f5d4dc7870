#include "bench/StopLatency.h"

#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <atomic>
#include <optional>
#include <vector>
#include <thread>

#include "bench/Timing.h"
#include "bench/WindowControls.h"
#include "bench/XClicker.h"
#include "window/SimulationForm.h"

namespace vortiquo {

namespace {

// Long enough for any click to have ended a run.
constexpr int RescueAfterMs = 5000;

QPoint globalCentre(QWidget* widget)
{
    return widget->mapToGlobal(widget->rect().center());
}

void postClick(QWidget* widget)
{
    const QPointF local(widget->rect().center());
    const QPointF global(globalCentre(widget));
    QCoreApplication::postEvent(widget, new QMouseEvent(QEvent::MouseButtonPress, local, global, Qt::LeftButton,
                                                        Qt::LeftButton, Qt::NoModifier));
    QCoreApplication::postEvent(widget, new QMouseEvent(QEvent::MouseButtonRelease, local, global,
                                                        Qt::LeftButton, Qt::NoButton, Qt::NoModifier));
}

// Ends a run that a click failed to end, so that the benchmark cannot hang;
// the figure of such a run is not taken. The timer is a member, so it cannot
// fire once the rescue is gone.
class Rescue {
public:
    Rescue(SimulationForm& form, int afterMs)
    {
        timer_.setSingleShot(true);
        QObject::connect(&timer_, &QTimer::timeout, &form, [this, &form] {
            rescued = true;
            form.Stop_Click();
        });
        timer_.start(afterMs);
    }
    bool rescued = false;

private:
    QTimer timer_;
};

// What one click of each kind measured; absent where it did not end the run.
struct Click {
    std::optional<double> postedMs, timerLateMs, xClickMs;
};

// A press and a release posted to "Stop" by a timer during the run. The
// timer lives in this frame with the moment it writes, so a run that ends
// before it fires leaves nothing behind that could fire later.
void measurePostedClick(SimulationForm& form, QPushButton* via, QPushButton* stop, int delayMs, Click& figures)
{
    Clock::time_point fired;
    QTimer poster;
    poster.setSingleShot(true);
    poster.setTimerType(Qt::PreciseTimer);
    QObject::connect(&poster, &QTimer::timeout, stop, [&fired, stop] {
        fired = Clock::now();
        postClick(stop);
    });
    const Clock::time_point due = Clock::now() + std::chrono::milliseconds(delayMs);
    poster.start(delayMs);
    Rescue rescue(form, delayMs + RescueAfterMs);
    QTest::mouseClick(via, Qt::LeftButton);
    const auto ended = Clock::now();
    if (rescue.rescued || fired == Clock::time_point())
        return;
    figures.postedMs = milliseconds(ended - fired);
    figures.timerLateMs = milliseconds(fired - due);
}

// A click that comes through the X server as a user's does, sent by another
// thread while the window's thread is in the run. The thread is joined
// before the frame it reads ends.
void measureXClick(SimulationForm& form, QPushButton* via, QPushButton* stop, int delayMs, XClicker& clicker,
                   Click& figures)
{
    const QPoint target = globalCentre(stop);
    clicker.moveTo(target);
    QTest::qWait(50);
    std::atomic<Clock::rep> sent{0};
    std::thread clicking([&sent, &clicker, target, delayMs] {
        std::this_thread::sleep_for(std::chrono::milliseconds(delayMs));
        sent.store(clicker.click(target).time_since_epoch().count());
    });
    Rescue rescue(form, delayMs + RescueAfterMs);
    QTest::mouseClick(via, Qt::LeftButton);
    const auto end = Clock::now();
    clicking.join();
    const Clock::time_point sentAt{Clock::duration(sent.load())};
    if (!rescue.rescued && end > sentAt)
        figures.xClickMs = milliseconds(end - sentAt);
    QTest::qWait(20);
}

// The medians of the clicks, and the slowest of them all; a figure is absent
// (or the X click failed) where any click of its kind did not end the run.
StopFigures summary(const std::vector<Click>& clicks, bool clicked)
{
    std::vector<double> posted, late, x;
    for (const Click& click : clicks) {
        if (click.postedMs) {
            posted.push_back(*click.postedMs);
            late.push_back(*click.timerLateMs);
        }
        if (click.xClickMs)
            x.push_back(*click.xClickMs);
    }
    StopFigures figures;
    if (posted.size() == clicks.size()) {
        figures.postedMs = median(posted);
        figures.timerLateMs = median(late);
        figures.worstMs = *std::max_element(posted.begin(), posted.end());
    }
    if (clicked) {
        figures.xClick = x.size() == clicks.size() ? StopFigures::XClick::Measured : StopFigures::XClick::Failed;
        if (figures.xClick == StopFigures::XClick::Measured) {
            figures.xClickMs = median(x);
            figures.worstMs = std::max(figures.worstMs, *std::max_element(x.begin(), x.end()));
        }
    }
    return figures;
}

}  // namespace

StopFigures stopLatency(SimulationForm& form, int delayMs, int clicks, XClicker* clicker)
{
    auto* via = control<QPushButton>(form, "Via");
    auto* stop = control<QPushButton>(form, "Stop");
    // No step limit: only "Stop" ends these runs.
    control<QLineEdit>(form, "termineT")->setText(QStringLiteral("0"));
    std::vector<Click> measured(static_cast<std::size_t>(std::max(clicks, 1)));
    for (Click& click : measured) {
        measurePostedClick(form, via, stop, delayMs, click);
        if (clicker)
            measureXClick(form, via, stop, delayMs, *clicker, click);
    }
    return summary(measured, clicker != nullptr);
}

}  // namespace vortiquo
