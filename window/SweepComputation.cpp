#include "window/SweepComputation.h"

#include <QFutureWatcher>
#include <QtConcurrent/QtConcurrentRun>

#include "window/BackgroundWork.h"

namespace vortiquo {

SweepComputation::SweepComputation(QObject* parent) : QObject(parent) {}

SweepComputation::~SweepComputation()
{
    cancel();
}

void SweepComputation::start(const SweepRecipe& recipe, const SimulationState& base, bool besideRun)
{
    cancel();
    auto job = std::make_shared<Job>();
    current_ = job;
    const int threads = toolThreads(besideRun);
    // The worker holds only copies and the job's own flags, never this object.
    auto* watcher = new QFutureWatcher<std::optional<SweepBand>>(this);
    connect(watcher, &QFutureWatcherBase::finished, this, [this, watcher, job, recipe] {
        const std::optional<SweepBand> band = watcher->result();
        watcher->deleteLater();
        if (job != current_ || !band)
            return;  // abandoned, or stopped
        current_.reset();
        emit finished(recipe, *band);
    });
    watcher->setFuture(QtConcurrent::run(&backgroundPool(), [recipe, base, threads, job] {
        AnalysisControl control;
        control.cancel = &job->cancel;
        control.progress = [job](double fraction) { job->permille = static_cast<int>(fraction * 1000); };
        control.workerStarted = lowerThreadPriority;
        return computeSweepBand(recipe, base, threads, control);
    }));
}

void SweepComputation::cancel()
{
    if (current_)
        current_->cancel = true;
    current_.reset();
}

double SweepComputation::progress() const
{
    return current_ ? current_->permille / 1000.0 : 0.0;
}

}  // namespace vortiquo
