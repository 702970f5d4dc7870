#include "bench/EventLatency.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTest>
#include <algorithm>
#include <atomic>
#include <cmath>
#include <functional>
#include <thread>

#include "bench/WindowControls.h"
#include "bench/XClicker.h"
#include "window/SimulationForm.h"

namespace vortiquo {

namespace {

constexpr unsigned long KeyRight = 0xff53;  // X keysym of the right arrow: moves the cursor, edits nothing

// The moments of sending, set by the sending thread before each event, and
// the delays seen by the handler on the window's thread.
class Handler : public QObject {
public:
    std::atomic<Clock::rep> sent{0};
    std::atomic<int> handled{0};
    std::vector<double> delaysMs;

    bool event(QEvent* event) override
    {
        if (event->type() != QEvent::User)
            return QObject::event(event);
        record();
        return true;
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::KeyPress)
            record();
        return false;
    }

private:
    void record()
    {
        delaysMs.push_back(milliseconds(Clock::now() - Clock::time_point(Clock::duration(sent.load()))));
        handled.fetch_add(1);
    }
};

// One run with no limit, during which another thread sends the events one
// after the other, each once the one before has been handled (or a second
// has passed), and then stops the run.
std::vector<double> delaysDuringRun(SimulationForm& form, Handler& handler, int events,
                                    const std::function<void()>& send)
{
    control<QLineEdit>(form, "termineT")->setText(QStringLiteral("0"));
    std::thread sender([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        for (int index = 0; index < events; ++index) {
            std::this_thread::sleep_for(std::chrono::milliseconds(2 + (index * 7) % 5));
            handler.sent.store(Clock::now().time_since_epoch().count());
            send();
            const Clock::time_point giveUp = Clock::now() + std::chrono::seconds(1);
            while (handler.handled.load() <= index && Clock::now() < giveUp)
                std::this_thread::sleep_for(std::chrono::microseconds(100));
        }
        QMetaObject::invokeMethod(&form, &SimulationForm::Stop_Click, Qt::QueuedConnection);
    });
    form.Via_Click();  // not a click on "Via", which would take the keyboard from the field
    sender.join();
    QTest::qWait(20);
    return std::move(handler.delaysMs);
}

void summarize(std::vector<double> delays, int events, std::optional<double>& median,
               std::optional<double>& percentile99)
{
    if (delays.size() != static_cast<std::size_t>(events))
        return;  // an event was lost: no figure
    std::sort(delays.begin(), delays.end());
    median = delays[delays.size() / 2];
    percentile99 = delays[static_cast<std::size_t>(std::ceil(0.99 * static_cast<double>(delays.size()))) - 1];
}

}  // namespace

LatencyFigures eventLatency(SimulationForm& form, int events, XClicker* clicker)
{
    LatencyFigures figures;
    {
        Handler handler;
        const auto delays = delaysDuringRun(form, handler, events, [&handler] {
            QCoreApplication::postEvent(&handler, new QEvent(QEvent::User));
        });
        summarize(delays, events, figures.postedMedianMs, figures.postedP99Ms);
    }
    if (!clicker)
        return figures;
    auto* field = control<QLineEdit>(form, "termineT");
    clicker->click(field->mapToGlobal(field->rect().center()));
    QTest::qWait(100);
    if (!field->hasFocus())
        return figures;
    Handler handler;
    field->installEventFilter(&handler);
    const auto delays = delaysDuringRun(form, handler, events, [clicker] { clicker->pressKey(KeyRight); });
    field->removeEventFilter(&handler);
    summarize(delays, events, figures.xMedianMs, figures.xP99Ms);
    return figures;
}

}  // namespace vortiquo
