#pragma once

#include <QObject>
#include <atomic>
#include <memory>

#include "analysis/Dimension.h"

namespace vortiquo {

// The dimensions of one attractor at a time, computed off the GUI thread on
// the tool windows' low-priority pool. A new start abandons what runs: it
// is told to stop, finishes in the background and its result is dropped;
// the GUI thread never waits for it.
class DimensionComputation : public QObject {
    Q_OBJECT
public:
    explicit DimensionComputation(QObject* parent = nullptr);
    ~DimensionComputation() override;

    void start(const Model& model, const SimulationState& start, const DimensionSettings& settings);
    // Abandons the computation under way, if any.
    void cancel();
    bool running() const { return current_ != nullptr; }
    // The share done of the computation under way, 0 to 1.
    double progress() const;

signals:
    // The computation last started is done (a fault or no dimension included).
    void finished(const DimensionResult& result);

private:
    struct Job {
        std::atomic<bool> cancel = false;
        std::atomic<int> permille = 0;
    };
    std::shared_ptr<Job> current_;
};

}  // namespace vortiquo
