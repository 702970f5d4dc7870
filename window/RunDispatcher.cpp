#include "window/RunDispatcher.h"

#include <QCoreApplication>
#include <QSocketNotifier>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <mutex>
#include <poll.h>

namespace vortiquo {

namespace {

// How long before a timer may fall due the watch raises the flag: the time
// its thread may take to wake, with room to spare. From then until the timer
// has fired, the run asks after every step whether it is due.
constexpr std::int64_t WakeMarginNs = 500'000;
constexpr std::int64_t NsPerMs = 1'000'000;

std::int64_t monotonicNow()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return std::int64_t{now.tv_sec} * 1'000'000'000 + now.tv_nsec;
}

short pollEvents(QSocketNotifier::Type type)
{
    switch (type) {
    case QSocketNotifier::Read:
        return POLLIN;
    case QSocketNotifier::Write:
        return POLLOUT;
    case QSocketNotifier::Exception:
        return POLLPRI;
    }
    return POLLIN;
}

void sayFallback()
{
    static std::once_flag said;
    std::call_once(said, [] {
        const QString text = QStringLiteral(
                                 "%1: il sistema grafico non offre il gestore degli eventi atteso; durante una "
                                 "corsa gli eventi sono elaborati dopo ogni passo, e la corsa è più lenta.\n")
                                 .arg(QCoreApplication::applicationName());
        std::fputs(text.toUtf8().constData(), stderr);
    });
}

}  // namespace

void prepareWindowEvents()
{
    // Qt's own UNIX dispatcher rather than GLib's: a call of event processing
    // costs markedly less with it (vortiquo-bench measures both), and GLib's
    // main context can hold sources that other libraries add behind Qt's
    // back, which the run's dispatcher could not know to be pending. Nothing
    // in the window needs the GLib loop. The switch counts only when set
    // before the application object exists.
    qputenv("QT_NO_GLIB", "1");
    RunDispatcher::install();
}

void RunDispatcher::install(Factory make)
{
    if (QCoreApplication::instance() || QCoreApplication::eventDispatcher()) {
        // Too late: the application's thread has its dispatcher for good.
        if (!qobject_cast<RunDispatcher*>(QCoreApplication::eventDispatcher()))
            sayFallback();
        return;
    }
    QCoreApplication::setEventDispatcher(new RunDispatcher(make));
}

RunDispatcher::RunDispatcher(Factory make) : make_(make), watch_(woken_) {}

RunDispatcher::~RunDispatcher()
{
    if (active_ == this)
        active_ = nullptr;
    platform_.store(nullptr);
}

QAbstractEventDispatcher& RunDispatcher::platform()
{
    if (!owned_)
        makePlatformDispatcher();
    return *owned_;
}

void RunDispatcher::makePlatformDispatcher()
{
    QAbstractEventDispatcher* made = make_();
    const bool knowsPending = made && watch_.running();
    if (!made)
        made = createPlainDispatcher();
    owned_.reset(made);
    exactTimers_ = earliestTimerDue(*made).has_value();
    connect(made, &QAbstractEventDispatcher::aboutToBlock, this, &QAbstractEventDispatcher::aboutToBlock);
    connect(made, &QAbstractEventDispatcher::awake, this, &QAbstractEventDispatcher::awake);
    platform_.store(made, std::memory_order_release);
    // What woke this dispatcher before the platform's existed woke nothing else.
    made->wakeUp();
    if (knowsPending)
        active_ = this;
    else
        sayFallback();
}

bool RunDispatcher::processEvents(QEventLoop::ProcessEventsFlags flags)
{
    QAbstractEventDispatcher& dispatcher = platform();
    // Lowered before looking, so that whatever comes while the platform's
    // dispatcher looks raises it again. Whoever raised it before is seen:
    // the watch marks itself waiting to be rearmed before it raises the flag.
    woken_.exchange(false, std::memory_order_acq_rel);
    const bool processed = dispatcher.processEvents(flags);
    // What these flags leave out is still pending.
    if (flags & (QEventLoop::ExcludeUserInputEvents | QEventLoop::ExcludeSocketNotifiers | QEventLoop::X11ExcludeTimers))
        woken_.store(true, std::memory_order_relaxed);
    if (active_ == this && !watch_.running()) {
        active_ = nullptr;
        sayFallback();
    }
    // Timers may have fired, and so have new deadlines.
    const std::int64_t now = monotonicNow();
    for (Timer& timer : timers_)
        timer.earliestDue = earliestDue(timer.id, now);
    timersChanged(now);
    watch_.rearm();
    return processed;
}

std::int64_t RunDispatcher::earliestDue(int timerId, std::int64_t now)
{
    const int left = platform().remainingTime(timerId);
    if (left < 0)
        return EventWatch::NoAlarm;  // unknown to the platform's dispatcher: it never fires
    // The time left comes in whole milliseconds. However it was rounded, the
    // timer cannot fall due sooner than a millisecond before that.
    return now + std::max(0, left - 1) * NsPerMs;
}

void RunDispatcher::timersChanged(std::int64_t now)
{
    dueSoon_.clear();
    dueAt_ = EventWatch::NoAlarm;
    std::int64_t next = EventWatch::NoAlarm;
    if (exactTimers_) {
        // Only the earliest matters: once it fires, events are processed
        // and the next is looked at afresh.
        const std::int64_t earliest = earliestTimerDue(*owned_).value_or(EventWatch::NoAlarm);
        (earliest <= now + WakeMarginNs ? dueAt_ : next) = earliest;
    } else {
        for (const Timer& timer : timers_) {
            if (timer.earliestDue <= now + WakeMarginNs)
                dueSoon_.push_back(timer.id);
            else
                next = std::min(next, timer.earliestDue);
        }
    }
    alarmNs_ = next == EventWatch::NoAlarm ? next : next - WakeMarginNs;
    watch_.alarmAt(alarmNs_);
}

bool RunDispatcher::alarmPassed()
{
    if (alarmNs_ == EventWatch::NoAlarm || monotonicNow() < alarmNs_)
        return false;
    woken_.store(true, std::memory_order_relaxed);  // as the watch will
    return true;
}

bool RunDispatcher::timerDue()
{
    if (exactTimers_)
        return monotonicNow() >= dueAt_;
    QAbstractEventDispatcher& dispatcher = *owned_;
    return std::any_of(dueSoon_.begin(), dueSoon_.end(), [&](int id) { return dispatcher.remainingTime(id) == 0; });
}

void RunDispatcher::registerSocketNotifier(QSocketNotifier* notifier)
{
    platform().registerSocketNotifier(notifier);
    watch_.watch(static_cast<int>(notifier->socket()), pollEvents(notifier->type()));
}

void RunDispatcher::unregisterSocketNotifier(QSocketNotifier* notifier)
{
    platform().unregisterSocketNotifier(notifier);
    watch_.unwatch(static_cast<int>(notifier->socket()), pollEvents(notifier->type()));
}

void RunDispatcher::registerTimer(int timerId, qint64 interval, Qt::TimerType timerType, QObject* object)
{
    platform().registerTimer(timerId, interval, timerType, object);
    const std::int64_t now = monotonicNow();
    if (!exactTimers_)
        timers_.push_back({timerId, object, earliestDue(timerId, now)});
    timersChanged(now);
}

bool RunDispatcher::unregisterTimer(int timerId)
{
    const bool unregistered = platform().unregisterTimer(timerId);
    std::erase_if(timers_, [timerId](const Timer& timer) { return timer.id == timerId; });
    timersChanged(monotonicNow());
    return unregistered;
}

bool RunDispatcher::unregisterTimers(QObject* object)
{
    const bool unregistered = platform().unregisterTimers(object);
    std::erase_if(timers_, [object](const Timer& timer) { return timer.object == object; });
    timersChanged(monotonicNow());
    return unregistered;
}

QList<QAbstractEventDispatcher::TimerInfo> RunDispatcher::registeredTimers(QObject* object) const
{
    return owned_ ? owned_->registeredTimers(object) : QList<TimerInfo>();
}

int RunDispatcher::remainingTime(int timerId)
{
    return platform().remainingTime(timerId);
}

void RunDispatcher::wakeUp()
{
    woken_.store(true, std::memory_order_release);
    if (QAbstractEventDispatcher* dispatcher = platform_.load(std::memory_order_acquire))
        dispatcher->wakeUp();
}

void RunDispatcher::interrupt()
{
    woken_.store(true, std::memory_order_release);
    if (QAbstractEventDispatcher* dispatcher = platform_.load(std::memory_order_acquire))
        dispatcher->interrupt();
}

void RunDispatcher::startingUp()
{
    platform().startingUp();
}

void RunDispatcher::closingDown()
{
    if (owned_)
        owned_->closingDown();
}

}  // namespace vortiquo
