#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <thread>
#include <vector>

namespace vortiquo {

// A small thread that raises the run's flag when something the window's
// thread must handle becomes ready without anyone posting an event: a
// socket that a socket notifier of the window's thread watches, or the
// moment a timer may fall due. The run loop then tests only the flag after
// each step, which costs a load from memory; reading the clock or asking the
// kernel about the sockets after every step would cost more than the step.
//
// A socket is reported once: then the watch waits until the window's thread
// has processed its events (rearm()) before it looks at the sockets again,
// so that a socket that stays readable until its notifier has read it does
// not keep the watch busy.
class EventWatch {
public:
    explicit EventWatch(std::atomic<bool>& flag);
    ~EventWatch();
    EventWatch(const EventWatch&) = delete;
    EventWatch& operator=(const EventWatch&) = delete;

    // False when the thread or its descriptors could not be made, or the
    // thread had to stop: then it raises nothing any more.
    bool running() const { return thread_.joinable() && !failed_.load(std::memory_order_acquire); }

    // A socket notifier of the window's thread was enabled or disabled;
    // `events` are poll(2) events (POLLIN, POLLOUT, POLLPRI).
    void watch(int socket, short events);
    void unwatch(int socket, short events);
    // Raises the flag at this moment of CLOCK_MONOTONIC, in nanoseconds;
    // NoAlarm for none. A moment already past raises it at once.
    void alarmAt(std::int64_t monotonicNs);
    static constexpr std::int64_t NoAlarm = INT64_MAX;
    // The window's thread has processed its events: look at the sockets again.
    void rearm();

private:
    void run();
    void poke();  // makes the thread look at its sockets afresh

    std::atomic<bool>& flag_;
    int poke_ = -1;   // an eventfd
    int alarm_ = -1;  // a timerfd
    std::int64_t alarmNs_ = NoAlarm;
    std::mutex mutex_;
    struct Socket {
        int socket;
        short events;
    };
    std::vector<Socket> sockets_;  // under mutex_
    std::atomic<bool> parked_{false};  // a socket was reported; waiting for rearm()
    std::atomic<bool> stopping_{false};
    std::atomic<bool> failed_{false};
    std::thread thread_;
};

}  // namespace vortiquo
