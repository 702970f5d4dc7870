#pragma once

#include <QAbstractEventDispatcher>
#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

#include "window/EventWatch.h"
#include "window/PlatformDispatcher.h"

namespace vortiquo {

// The event dispatcher of the window's thread, which knows when something
// is pending. A run processes every pending event after every step; asking
// the platform's dispatcher to look costs a system call even when nothing
// is there, and that call was most of a step. This dispatcher hands all its
// work to the platform's own one, and keeps a flag that tells the run loop
// whether anything may be pending:
// - everything that is posted (events, signals queued from other threads,
//   deleteLater) and everything the window system's reader thread queues
//   wakes the dispatcher, and wakeUp() raises the flag;
// - a timer's deadline is known: every timer is registered here, and the
//   platform's dispatcher tells when the earliest falls due (or, of a kind
//   that keeps that to itself, how many milliseconds each has left). The
//   watch raises the flag shortly before it may; from then on the run asks
//   after each step whether it is due, until it has fired;
// - the sockets of socket notifiers are watched by the watch's thread
//   (window/EventWatch.h), which raises the same flag.
// The platform's dispatcher is made on first use on the window's thread:
// the platform already wakes this one while it is being set up, before it
// exists, and then only the flag is raised.
class RunDispatcher final : public QAbstractEventDispatcher {
    Q_OBJECT
public:
    // Makes the platform's dispatcher; null when none can be had.
    using Factory = QAbstractEventDispatcher* (*)();

    // Gives the application about to be made a run dispatcher; call before
    // the application object exists. When one exists already, or the
    // platform's dispatcher cannot be had, runs process their events after
    // every step as before, and standard error says so once, in Italian.
    static void install(Factory make = createPlatformDispatcher);
    // The dispatcher of the window's thread when it knows what is pending;
    // null otherwise.
    static RunDispatcher* active() { return active_; }

    explicit RunDispatcher(Factory make = createPlatformDispatcher);
    ~RunDispatcher() override;

    // The platform's dispatcher that this one hands its work to, once made.
    const QAbstractEventDispatcher* platformDispatcher() const { return owned_.get(); }

    // Whether anything has woken the dispatcher, or the watch raised the flag,
    // since events were last processed.
    bool woken() const { return woken_.load(std::memory_order_acquire); }

    // The flag alone tells whether anything is pending, as long as no timer
    // may fall due any moment (then pending() asks about it after each step).
    const std::atomic<bool>* flagWhenItSuffices() const { return watchingDue() ? nullptr : &woken_; }

    // Whether anything may be pending now. Cheap while nothing is; it reads
    // the clock once, in case the watch's thread is late to raise the flag
    // for a timer on a busy machine.
    bool pending()
    {
        return woken_.load(std::memory_order_relaxed) || (watchingDue() && timerDue()) || alarmPassed();
    }

    bool processEvents(QEventLoop::ProcessEventsFlags flags) override;
    void registerSocketNotifier(QSocketNotifier* notifier) override;
    void unregisterSocketNotifier(QSocketNotifier* notifier) override;
    void registerTimer(int timerId, qint64 interval, Qt::TimerType timerType, QObject* object) override;
    bool unregisterTimer(int timerId) override;
    bool unregisterTimers(QObject* object) override;
    QList<TimerInfo> registeredTimers(QObject* object) const override;
    int remainingTime(int timerId) override;
    void wakeUp() override;
    void interrupt() override;
    void startingUp() override;
    void closingDown() override;

private:
    struct Timer {
        int id;
        QObject* object;
        std::int64_t earliestDue;  // CLOCK_MONOTONIC, ns: the timer cannot fall due before
    };

    QAbstractEventDispatcher& platform();
    void makePlatformDispatcher();
    void fallBack();
    std::int64_t earliestDue(int timerId, std::int64_t now);
    void timersChanged(std::int64_t now);
    bool timerDue();
    bool watchingDue() const { return dueAt_ != EventWatch::NoAlarm || !dueSoon_.empty(); }
    bool alarmPassed();

    Factory make_;
    std::atomic<QAbstractEventDispatcher*> platform_{nullptr};  // read by wakeUp() on any thread
    std::unique_ptr<QAbstractEventDispatcher> owned_;
    std::atomic<bool> woken_{true};
    EventWatch watch_;
    // Whether the platform's dispatcher tells the moment its earliest timer
    // falls due; otherwise the timers are kept here, with their times left.
    bool exactTimers_ = false;
    std::vector<Timer> timers_;  // only where the moments are not told
    // A timer that may fall due any moment, asked about after each step:
    // the earliest timer's moment when it is told, else the timers whose
    // whole milliseconds left say they may.
    std::int64_t dueAt_ = EventWatch::NoAlarm;
    std::vector<int> dueSoon_;
    std::int64_t alarmNs_ = EventWatch::NoAlarm;  // when the watch raises the flag for a timer

    static inline RunDispatcher* active_ = nullptr;
};

// The most steps a run takes as one batch (DrawingArea::advanceUntilPending)
// before it asks eventsPending() again, which then also reads the clock: a
// timer then falls due no later than that many steps before it is noticed,
// even when the watch's thread waits for a core.
inline constexpr std::int64_t StepsBetweenLooks = 1 << 14;

// Sets up how the window's thread processes its events; call before the
// application object exists. The programs and the benchmark's windows both
// take this one path.
void prepareWindowEvents();

// After a step of a run: whether events must be processed before the next
// step. Always, where no run dispatcher knows.
inline bool eventsPending()
{
    RunDispatcher* dispatcher = RunDispatcher::active();
    return !dispatcher || dispatcher->pending();
}

// What a run's batch of steps reads after each step (DrawingArea::
// advanceUntilPending): the run dispatcher's flag while it alone tells, and
// otherwise a flag that is always raised, so that each step is followed by
// the whole test of eventsPending().
inline const std::atomic<bool>& pendingFlag()
{
    static const std::atomic<bool> alwaysRaised{true};
    const RunDispatcher* dispatcher = RunDispatcher::active();
    const std::atomic<bool>* flag = dispatcher ? dispatcher->flagWhenItSuffices() : nullptr;
    return flag ? *flag : alwaysRaised;
}

}  // namespace vortiquo
