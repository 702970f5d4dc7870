#pragma once

#include <QWidget>
#include <cstdint>

#include "ProgramDescription.h"
#include "SimulationState.h"

class DrawingArea;
class QLineEdit;
class QMessageBox;
class QPushButton;

// The one window of a program: its controls, its state, the run loop and
// the handlers of every control.
class SimulationForm : public QWidget {
    Q_OBJECT
public:
    explicit SimulationForm(const ProgramDescription& program, QWidget* parent = nullptr);

    const SimulationState& state() const { return state_; }
    bool isRunning() const { return running_; }
    // Steps counted by the current (or last) run.
    std::int64_t stepCount() const { return stepCount_; }
    DrawingArea* grafico() const { return grafico_; }

public slots:
    void Via_Click();
    void Stop_Click();
    void Cancella_Click();
    void Esci_Click();
    void NoUscire_Click();
    void SiUscire_Click();

    void aT_Change();
    void bT_Change();
    void cT_Change();
    void x0T_Change();
    void y0T_Change();
    void z0T_Change();
    void dtT_Change();
    void termineT_Change();
    void numT_Change();
    void denT_Change();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void Form_Load();
    void ConnectHandlers();
    void SelectColourScheme(std::int16_t scheme);
    void SelectBackground(int systemColourIndex);
    void ApplyAngle();
    void SetAngle(double alpha);
    void RunLoop();
    bool AdvanceOnce();
    void ReportFault(std::int64_t step);
    double FieldValue(const QLineEdit* field) const;

    const ProgramDescription& program_;
    SimulationState state_;

    DrawingArea* grafico_ = nullptr;
    QLineEdit* aT_ = nullptr;
    QLineEdit* bT_ = nullptr;
    QLineEdit* cT_ = nullptr;
    QLineEdit* x0T_ = nullptr;
    QLineEdit* y0T_ = nullptr;
    QLineEdit* z0T_ = nullptr;
    QLineEdit* dtT_ = nullptr;
    QLineEdit* termineT_ = nullptr;
    QLineEdit* numT_ = nullptr;
    QLineEdit* denT_ = nullptr;
    QWidget* uscita_ = nullptr;
    QPushButton* esci_ = nullptr;
    QMessageBox* faultMessage_ = nullptr;

    // The run loop restarts in place when "Via" is pressed during a run, so
    // repeated presses never nest loops on the stack.
    bool running_ = false;
    bool restarted_ = false;
    bool closed_ = false;
    std::int64_t stepCount_ = 0;
};
