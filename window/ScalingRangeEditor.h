#pragma once

#include <QWidget>
#include <vector>

#include "analysis/ScalingFit.h"

class QPushButton;

namespace vortiquo {

class ScaleSpinBox;

// Where a dimension's scaling range lies, and a way to move it: "da" and "a"
// step through the scales of the curve (the arrow keys, or a scale typed
// with a comma), and "Automatico" puts back the range found automatically.
class ScalingRangeEditor : public QWidget {
    Q_OBJECT
public:
    // `scale` names the scale in the accessible names: "r", "lato".
    ScalingRangeEditor(const QString& scale, QWidget* parent = nullptr);

    // A new curve, its scales largest first, and its automatic range.
    void setCurve(const std::vector<double>& scales, const ScalingFit& automatic);
    // No curve: nothing to move.
    void clear();
    // The range as the two boxes show it, as indices of the curve (first ≤ last).
    int first() const;
    int last() const;

signals:
    // The user moved the range, or asked for the automatic one again.
    void rangeChanged(int first, int last);

private:
    void emitRange();

    ScaleSpinBox* from_;  // the smallest scale of the range
    ScaleSpinBox* to_;    // the largest
    QPushButton* automatic_;
    ScalingFit found_;
    bool setting_ = false;  // the boxes are set by the program, not the user
};

}  // namespace vortiquo
