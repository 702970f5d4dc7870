#include "bench/WindowRuns.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <cstdio>
#include <cstdlib>

#include "bench/WindowControls.h"
#include "core/AdvanceOnce.h"
#include "window/DrawingArea.h"
#include "window/SimulationForm.h"

namespace vortiquo {

namespace {

// Counts the paint events of one widget.
class PaintCounter : public QObject {
public:
    explicit PaintCounter(QWidget* watched) : watched_(watched) { watched_->installEventFilter(this); }
    ~PaintCounter() override { watched_->removeEventFilter(this); }
    int paints() const { return paints_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == watched_ && event->type() == QEvent::Paint)
            ++paints_;
        return false;
    }

private:
    QWidget* watched_;
    int paints_ = 0;
};

// The per-step work of the window, done outside it: the one step of a run,
// with the window's own drawing area as its canvas, from the same start,
// handing back each point for the naive loop to repaint.
class ReferenceLoop {
public:
    ReferenceLoop(SimulationForm& form, const Program& program)
        : model_(*program.model), area_(*form.grafico()), state_(form.state())
    {
        resetToStart(model_, state_);
    }

    bool step(PlotPoint& point)
    {
        if (!AdvanceOnce(model_, state_, *this))
            return false;
        point = last_;
        return true;
    }

    // The canvas of the step.
    void setPoint(const PlotPoint& point)
    {
        last_ = point;
        area_.setPoint(point);
    }

    DrawingArea& area() { return area_; }

private:
    const Model& model_;
    DrawingArea& area_;
    SimulationState state_;
    PlotPoint last_;
};

}  // namespace

RunFigures timedRun(SimulationForm& form, std::int32_t steps)
{
    control<QLineEdit>(form, "termineT")->setText(QString::number(steps));
    auto* via = control<QPushButton>(form, "Via");
    QCoreApplication::processEvents();
    PaintCounter counter(form.grafico());
    AllocationCounter::start();
    Stopwatch watch;
    QTest::mouseClick(via, Qt::LeftButton);
    watch.stop();
    RunFigures figures;
    figures.allocations = AllocationCounter::stop();
    figures.steps = form.stepCount();
    figures.stepsPerSecond = rateOf(static_cast<double>(figures.steps), watch);
    figures.wallSeconds = watch.wallSeconds;
    figures.paints = counter.paints();
    if (form.isRunning() || figures.steps != steps) {
        std::fprintf(stderr, "vortiquo-bench: a run limited to %d steps ended after %lld\n", steps,
                     static_cast<long long>(figures.steps));
        std::exit(1);
    }
    return figures;
}

BareFigures bareLoop(SimulationForm& form, const Program& program, std::int32_t steps)
{
    // The window's own step onto its own drawing area, from the same start.
    DrawingArea& area = *form.grafico();
    SimulationState state = form.state();
    resetToStart(*program.model, state);
    BareFigures figures;
    AllocationCounter::start();
    Stopwatch watch;
    while (figures.steps < steps && area.advance(*program.model, state))
        ++figures.steps;
    watch.stop();
    figures.allocations = AllocationCounter::stop().thisThread;
    figures.stepsPerSecond = rateOf(figures.steps, watch);
    QCoreApplication::processEvents();
    return figures;
}

Rate naiveLoop(SimulationForm& form, const Program& program, std::int32_t steps, NaiveUpdate update)
{
    ReferenceLoop loop(form, program);
    DrawingArea& area = loop.area();
    PlotPoint point;
    std::int32_t count = 0;
    Stopwatch watch;
    while (count < steps && loop.step(point)) {
        if (update == NaiveUpdate::Widget)
            area.update();
        else
            area.update(QRect(static_cast<int>(point.x / 15), static_cast<int>(point.y / 15), 1, 1));
        QCoreApplication::processEvents();
        ++count;
    }
    watch.stop();
    return rateOf(count, watch);
}

}  // namespace vortiquo
