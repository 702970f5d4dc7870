#pragma once

#include <QWidget>
#include <memory>
#include <optional>

#include "analysis/Dimension.h"

class QLabel;
class QProgressBar;
class QPushButton;
class QSpinBox;
class QTimer;

namespace vortiquo {

class DimensionComputation;
class ScalingChart;
class ScalingRangeEditor;
class ToolHost;

// "Dimensione": the correlation dimension D₂ and the box-counting dimension
// D₀ of the attractor that the orbit from the window's fields draws, with
// their log–log plots, fitted lines and scaling ranges, which the user can
// move. A tool window (ToolHost), one per program window. It computes off
// the GUI thread (DimensionComputation) a moment after the last edit of a
// field or of the points, with a progress bar; "Annulla" stops it and
// "Calcola" starts it again. Only the newest result is shown.
class DimensionWindow : public QWidget {
    Q_OBJECT
public:
    explicit DimensionWindow(ToolHost& host);
    ~DimensionWindow() override;

    // The figures as the window shows them, one line each, or why there are none.
    QString figuresText() const;
    QString statusText() const;
    // Milliseconds between the last edit and the computation.
    void setDelay(int milliseconds);
    void setPoints(int points);
    // Moves a scaling range by hand, as the range's boxes do.
    void setCorrelationRange(int first, int last);
    void setBoxRange(int first, int last);
    // What is shown: the last finished result.
    const std::optional<DimensionResult>& shown() const { return shown_; }

signals:
    void computationStarted();
    void resultShown();

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void buildLayout();
    void scheduleComputation();
    void startComputation();
    void cancelComputation();
    void showProgress();
    void showResult(const DimensionResult& result);
    void showFits();

    ToolHost& host_;
    QSpinBox* points_ = nullptr;
    QPushButton* compute_ = nullptr;
    QPushButton* cancel_ = nullptr;
    QProgressBar* progress_ = nullptr;
    QLabel* status_ = nullptr;
    QLabel* correlationFigure_ = nullptr;
    QLabel* boxFigure_ = nullptr;
    std::unique_ptr<ScalingChart> correlationChart_;
    std::unique_ptr<ScalingChart> boxChart_;
    ScalingRangeEditor* correlationRange_ = nullptr;
    ScalingRangeEditor* boxRange_ = nullptr;
    QTimer* delay_ = nullptr;
    QTimer* poll_ = nullptr;
    DimensionComputation* computation_ = nullptr;
    std::optional<DimensionResult> shown_;
    ScalingFit correlationFit_, boxFit_;  // the ranges shown, automatic or moved
};

// Opens the program window's Dimensione window, or raises the one already open.
DimensionWindow* openDimensionWindow(ToolHost& host);

}  // namespace vortiquo
