#include "window/EventWatch.h"

#include <algorithm>
#include <cerrno>
#include <poll.h>
#include <pthread.h>
#include <sys/eventfd.h>
#include <sys/timerfd.h>
#include <unistd.h>

namespace vortiquo {

namespace {

void drain(int descriptor)
{
    std::uint64_t count = 0;
    [[maybe_unused]] const ssize_t read = ::read(descriptor, &count, sizeof count);
}

}  // namespace

EventWatch::EventWatch(std::atomic<bool>& flag) : flag_(flag)
{
    poke_ = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    alarm_ = timerfd_create(CLOCK_MONOTONIC, TFD_CLOEXEC | TFD_NONBLOCK);
    if (poke_ < 0 || alarm_ < 0)
        return;
    thread_ = std::thread([this] { run(); });
    pthread_setname_np(thread_.native_handle(), "run-watch");
}

EventWatch::~EventWatch()
{
    if (thread_.joinable()) {
        stopping_.store(true);
        poke();
        thread_.join();
    }
    for (int descriptor : {poke_, alarm_})
        if (descriptor >= 0)
            close(descriptor);
}

void EventWatch::poke()
{
    const std::uint64_t one = 1;
    [[maybe_unused]] const ssize_t written = write(poke_, &one, sizeof one);
}

void EventWatch::watch(int socket, short events)
{
    {
        const std::lock_guard lock(mutex_);
        sockets_.push_back({socket, events});
    }
    poke();
}

void EventWatch::unwatch(int socket, short events)
{
    {
        const std::lock_guard lock(mutex_);
        const auto found = std::find_if(sockets_.begin(), sockets_.end(), [&](const Socket& watched) {
            return watched.socket == socket && watched.events == events;
        });
        if (found != sockets_.end())
            sockets_.erase(found);
    }
    poke();
}

void EventWatch::alarmAt(std::int64_t monotonicNs)
{
    if (monotonicNs == alarmNs_ || alarm_ < 0)
        return;
    alarmNs_ = monotonicNs;
    itimerspec when{};
    if (monotonicNs != NoAlarm) {
        // A zero value disarms the timer, so a moment at or before the
        // clock's origin is taken as its first nanosecond: long past.
        const std::int64_t at = std::max<std::int64_t>(monotonicNs, 1);
        when.it_value.tv_sec = at / 1'000'000'000;
        when.it_value.tv_nsec = at % 1'000'000'000;
    }
    timerfd_settime(alarm_, TFD_TIMER_ABSTIME, &when, nullptr);
}

void EventWatch::rearm()
{
    if (parked_.exchange(false, std::memory_order_acq_rel))
        poke();
}

void EventWatch::run()
{
    std::vector<pollfd> polled;
    while (!stopping_.load()) {
        polled.assign({{poke_, POLLIN, 0}, {alarm_, POLLIN, 0}});
        if (!parked_.load(std::memory_order_acquire)) {
            const std::lock_guard lock(mutex_);
            for (const Socket& watched : sockets_)
                polled.push_back({watched.socket, watched.events, 0});
        }
        if (poll(polled.data(), polled.size(), -1) < 0) {
            if (errno == EINTR)
                continue;
            // The watch cannot go on; whoever sees the flag finds it failed.
            failed_.store(true, std::memory_order_release);
            flag_.store(true, std::memory_order_release);
            return;
        }
        if (polled[0].revents)
            drain(poke_);
        bool raise = false;
        if (polled[1].revents) {
            drain(alarm_);
            raise = true;
        }
        if (std::any_of(polled.begin() + 2, polled.end(), [](const pollfd& socket) { return socket.revents != 0; })) {
            // Parked before the flag is raised: whoever sees the flag and
            // processes events then also sees that the watch waits to be rearmed.
            parked_.store(true, std::memory_order_release);
            raise = true;
        }
        if (raise)
            flag_.store(true, std::memory_order_release);
    }
}

}  // namespace vortiquo
