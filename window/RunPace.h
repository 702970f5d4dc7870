#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <functional>

namespace vortiquo {

// While the program's window runs, a tool window shows what it computed at
// most this often. Each showing of a result costs the window's thread
// milliseconds of layout and paint (Sensibilità's three charts about 30 ms),
// and at the run's speed that is as many steps not taken: a tool kept busy
// beside a run otherwise slows it by a tenth and more, and once a second
// still by 3 %.
inline constexpr int RunShowIntervalMs = 2000;

// Paces what a tool window shows while the program's window runs: the
// first showing goes at once, and one asked for sooner than the interval
// after it waits until then, the newest replacing one that still waits.
// When the run ends, or whenever it does not run, a showing goes at once.
class RunPace : public QObject {
    Q_OBJECT
public:
    RunPace(std::function<bool()> running, QObject* parent, int intervalMs = RunShowIntervalMs);

    // Shows now, or later as above. `show` runs on this object's thread.
    void show(std::function<void()> show);
    // Forgets a showing that waits: what it shows is stale.
    void drop();
    // A waiting showing goes now: the run has ended, or the interval passed.
    void runEnded();
    bool waiting() const { return static_cast<bool>(waiting_); }

private:
    void showNow(std::function<void()> show);

    std::function<bool()> running_;
    const int intervalMs_;
    QElapsedTimer lastShown_;
    QTimer due_;
    std::function<void()> waiting_;
};

}  // namespace vortiquo
