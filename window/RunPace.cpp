#include "window/RunPace.h"

#include <utility>

namespace vortiquo {

RunPace::RunPace(std::function<bool()> running, QObject* parent, int intervalMs)
    : QObject(parent), running_(std::move(running)), intervalMs_(intervalMs)
{
    due_.setSingleShot(true);
    connect(&due_, &QTimer::timeout, this, &RunPace::runEnded);
}

void RunPace::show(std::function<void()> show)
{
    const qint64 left = lastShown_.isValid() ? intervalMs_ - lastShown_.elapsed() : 0;
    if (left <= 0 || !running_()) {
        drop();
        showNow(std::move(show));
        return;
    }
    waiting_ = std::move(show);
    if (!due_.isActive())
        due_.start(static_cast<int>(left));
}

void RunPace::drop()
{
    due_.stop();
    waiting_ = nullptr;
}

void RunPace::runEnded()
{
    due_.stop();
    if (waiting_)
        showNow(std::exchange(waiting_, nullptr));
}

void RunPace::showNow(std::function<void()> show)
{
    lastShown_.start();
    show();
}

}  // namespace vortiquo
