#pragma once

#include <QString>

#include "analysis/SensitivityWork.h"

class QChartView;
class QWidget;

namespace vortiquo {

// The three charts of the Sensibilità window: the twin orbit's x over time,
// their separation on a logarithmic axis with its fitted growth and the
// moment they part, and the running estimates of the exponent. Each view's
// accessible description says in words what it shows.
class SensitivityCharts {
public:
    explicit SensitivityCharts(QWidget* parent);

    QChartView* twinView() const { return twin_; }
    QChartView* separationView() const { return separation_; }
    QChartView* convergenceView() const { return convergence_; }

    // Draws a finished (or faulted) result; a part that has no data is left empty.
    void show(const SensitivityResult& result);

private:
    void showTwin(const SensitivityResult& result);
    void showSeparation(const SensitivityResult& result);
    void showConvergence(const SensitivityResult& result);

    QChartView* twin_;
    QChartView* separation_;
    QChartView* convergence_;
};

// A moment written as the window writes it: "passo 41" for a map, "tempo
// 23,4" for a flow.
QString momentText(double time, bool timed);

}  // namespace vortiquo
