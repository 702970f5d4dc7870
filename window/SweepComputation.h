#pragma once

#include <QObject>
#include <atomic>
#include <memory>

#include "engine/SweepTiles.h"

namespace vortiquo {

// One sweep at a time computed off the GUI thread, on the tool windows'
// low-priority pool with its own workers lowered too. As in Qt's Mandelbrot
// example, a new start abandons what runs: that computation is told to stop,
// finishes in the background and its result is dropped. The GUI thread never
// waits for a worker, not even when this object goes.
class SweepComputation : public QObject {
    Q_OBJECT
public:
    explicit SweepComputation(QObject* parent = nullptr);
    ~SweepComputation() override;

    // `besideRun`: the program's window runs, and keeps a core to itself.
    void start(const SweepRecipe& recipe, const SimulationState& base, bool besideRun = false);
    // Abandons the computation under way, if any.
    void cancel();
    bool running() const { return current_ != nullptr; }
    // The share done of the computation under way, 0 to 1.
    double progress() const;

signals:
    // The computation last started is done; `recipe` is the one it was given.
    void finished(const SweepRecipe& recipe, const SweepBand& band);

private:
    struct Job {
        std::atomic<bool> cancel = false;
        std::atomic<int> permille = 0;
    };
    std::shared_ptr<Job> current_;
};

}  // namespace vortiquo
