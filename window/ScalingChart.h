#pragma once

#include <QString>
#include <vector>

#include "analysis/ScalingFit.h"

class QChartView;
class QWidget;

namespace vortiquo {

// A log–log chart of counts against scales, as the Dimensione window draws
// it: the points in the scaling range filled, the others hollow, and the
// fitted line over the range. Its accessible description says in words what
// it shows.
class ScalingChart {
public:
    ScalingChart(QWidget* parent, const QString& title, const QString& scaleTitle, const QString& countTitle);

    QChartView* view() const { return view_; }

    // `scales` are the curve's, largest first; the counts are exp(logCount).
    void show(const std::vector<double>& scales, const ScalingCurve& curve, const ScalingFit& fit,
              const QString& description);
    void clear(const QString& description);

private:
    QChartView* view_;
};

}  // namespace vortiquo
