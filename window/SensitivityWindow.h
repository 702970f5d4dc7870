#pragma once

#include <QWidget>
#include <atomic>
#include <memory>
#include <optional>

#include "analysis/SensitivityWork.h"

class QLabel;
class QLineEdit;
class QTimer;

namespace vortiquo {

class RunPace;
class SensitivityCharts;
class ToolHost;

// "Sensibilità": how fast two orbits from nearly the same start part, the
// largest Lyapunov exponent and, in a small table under it, the whole
// spectrum, for the fields of a program's window as they stand. A tool window (ToolHost), one per program window. It computes
// on a worker thread a moment after the last edit of a field (or of ε), and
// cancels a computation that a newer edit made stale: only the newest
// result is shown.
class SensitivityWindow : public QWidget {
    Q_OBJECT
public:
    explicit SensitivityWindow(ToolHost& host);
    ~SensitivityWindow() override;

    // The result as the label shows it, or why there is none.
    QString resultText() const;
    // The spectrum's table as plain text, "λ₁ = 0,4194 ± 0,0003; …", or why there is none.
    QString spectrumText() const;
    // Milliseconds between the last edit and the computation.
    void setDelay(int milliseconds);
    // Measures the exponent over `steps` steps instead of the window's default.
    void setExponentSteps(std::int64_t steps) { exponentSteps_ = steps; }

signals:
    // A computation of the fields as they stood at edit `generation` began,
    // ended (cancelled or not), or had its result shown.
    void computationStarted(quint64 generation);
    void computationEnded(quint64 generation, bool cancelled);
    void resultShown(quint64 generation);

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void buildLayout();
    // A field or ε changed: what runs is stale, a new computation follows.
    void scheduleComputation();
    void startComputation();
    void cancelRunning();
    void showResult(const SensitivityResult& result);
    void showSpectrum(const SensitivityResult& result);
    std::optional<double> epsilon() const;

    ToolHost& host_;
    QLineEdit* epsilonField_ = nullptr;
    QLabel* epsilonHint_ = nullptr;
    QLabel* result_ = nullptr;
    QLabel* spectrum_ = nullptr;  // the small table under the largest exponent
    QLabel* status_ = nullptr;
    std::unique_ptr<SensitivityCharts> charts_;
    QTimer* delay_ = nullptr;
    RunPace* pace_ = nullptr;  // of the results, while the program's window runs
    quint64 generation_ = 0;  // of the newest edit
    std::shared_ptr<std::atomic<bool>> cancelRunning_;  // the flag of the computation under way
    std::optional<std::int64_t> exponentSteps_;
};

// Opens the program window's Sensibilità window, or raises the one already open.
SensitivityWindow* openSensitivityWindow(ToolHost& host);

}  // namespace vortiquo
