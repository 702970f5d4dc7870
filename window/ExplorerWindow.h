#pragma once

#include <QWidget>
#include <vector>

#include "analysis/Dynamics.h"
#include "engine/SweepTiles.h"

class QLabel;
class QProgressBar;
class QTabWidget;
class QTimer;

namespace vortiquo {

class ExplorerTab;
class RunPace;
class SweepComputation;
class ToolHost;

// "Esplora parametri": the sweeps of a program, beside its window, one tab
// each (ExplorerTab): the parameter plane and the orbit diagram, and for a
// flow the map of maxima and the section. Each view is computed coarse,
// then fine, off the GUI thread (SweepComputation); a zoom, a change of tab
// or of a control, or "Annulla" abandons what runs without waiting for it.
class ExplorerWindow : public QWidget {
    Q_OBJECT
public:
    explicit ExplorerWindow(ToolHost& host);
    ~ExplorerWindow() override;

    // Computes the open tab's view afresh, coarse first.
    void start();

protected:
    // A closed window computes nothing in the background.
    void closeEvent(QCloseEvent* event) override;

private:
    ExplorerTab& current() const;
    void build();
    void launch();
    void passDone(const SweepRecipe& recipe, const SweepBand& band);
    void showPass(ExplorerTab& tab, const SweepRecipe& recipe, const SweepBand& band, bool full);
    void stop();
    void fieldsEdited();
    void goBack();
    void savePicture();

    ToolHost& host_;
    const SweepView& view_;
    std::vector<ExplorerTab*> tabs_;
    QTabWidget* tabWidget_ = nullptr;
    QLabel* readout_ = nullptr;
    QProgressBar* progress_ = nullptr;
    QTimer* poll_ = nullptr;
    QTimer* settle_ = nullptr;  // a burst of typing computes once
    SweepComputation* computation_ = nullptr;
    RunPace* pace_ = nullptr;  // of the pictures, while the program's window runs
    int pass_ = 0;  // 0 coarse, 1 full
};

}  // namespace vortiquo
