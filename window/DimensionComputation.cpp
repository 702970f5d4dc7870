#include "window/DimensionComputation.h"

#include <QFutureWatcher>
#include <QtConcurrent/QtConcurrentRun>

#include "window/BackgroundWork.h"

namespace vortiquo {

DimensionComputation::DimensionComputation(QObject* parent) : QObject(parent) {}

DimensionComputation::~DimensionComputation()
{
    cancel();
}

void DimensionComputation::start(const Model& model, const SimulationState& start, const DimensionSettings& settings)
{
    cancel();
    auto job = std::make_shared<Job>();
    current_ = job;
    // The worker holds only copies, the model's static row and the job's own flags, never this object.
    auto* watcher = new QFutureWatcher<DimensionResult>(this);
    connect(watcher, &QFutureWatcherBase::finished, this, [this, watcher, job] {
        const DimensionResult result = watcher->result();
        watcher->deleteLater();
        if (job != current_ || result.outcome == Outcome::Cancelled)
            return;  // abandoned, or stopped
        current_.reset();
        emit finished(result);
    });
    watcher->setFuture(QtConcurrent::run(&backgroundPool(), [&model, start, settings, job] {
        lowerThreadPriority();
        AnalysisControl control;
        control.cancel = &job->cancel;
        control.progress = [job](double fraction) { job->permille = static_cast<int>(fraction * 1000); };
        return attractorDimensions(model, start, settings, control);
    }));
}

void DimensionComputation::cancel()
{
    if (current_)
        current_->cancel = true;
    current_.reset();
}

double DimensionComputation::progress() const
{
    return current_ ? current_->permille / 1000.0 : 0.0;
}

}  // namespace vortiquo
