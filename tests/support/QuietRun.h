#pragma once

// Runs in which nothing is pending but what a test makes so, for the tests
// of the run's event processing.

#include <QMetaObject>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

#include <QElapsedTimer>

#include "window/RunDispatcher.h"
#include "window/SimulationForm.h"

namespace interaction {

// The quadratic map with an orbit that settles outside the drawing area: the
// run draws nothing, so no screen refresh falls due, and nothing is pending
// but what a test makes so.
inline void runQuietly(vortiquo::SimulationForm& form)
{
    form.typeField(vortiquo::Field::a, QStringLiteral("0"));
    form.typeField(vortiquo::Field::b, QStringLiteral("0.5"));
    form.typeField(vortiquo::Field::termine, QStringLiteral("0"));
}

// Waits, on the window's thread, until something has raised the run
// dispatcher's flag; false after five seconds.
inline bool waitUntilWoken()
{
    QElapsedTimer clock;
    clock.start();
    while (!vortiquo::RunDispatcher::active()->woken())
        if (clock.elapsed() > 5000)
            return false;
    return true;
}

// Ends a run that a test failed to end, so that the test fails instead of
// hanging. It asks from a thread of its own: a timer of the window's thread
// would depend on the event processing under test.
class Rescue {
public:
    explicit Rescue(vortiquo::SimulationForm& form)
        : thread_([this, &form] {
              std::unique_lock lock(mutex_);
              if (!ended_.wait_for(lock, std::chrono::seconds(15), [this] { return done_; })) {
                  rescued = true;
                  QMetaObject::invokeMethod(&form, &vortiquo::SimulationForm::Stop_Click, Qt::QueuedConnection);
              }
          })
    {
    }
    ~Rescue()
    {
        {
            const std::lock_guard lock(mutex_);
            done_ = true;
        }
        ended_.notify_one();
        thread_.join();
    }
    std::atomic<bool> rescued{false};

private:
    std::mutex mutex_;
    std::condition_variable ended_;
    bool done_ = false;
    std::thread thread_;
};

}  // namespace interaction
