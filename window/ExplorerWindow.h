#pragma once

#include <QRectF>
#include <QWidget>
#include <vector>

#include "analysis/Dynamics.h"
#include "engine/SweepTiles.h"

class QLabel;
class QProgressBar;
class QTabWidget;
class QTimer;

namespace vortiquo {

class SweepCanvas;
class SweepComputation;
class ToolHost;

// "Esplora parametri": the parameter plane and the orbit diagram of a
// program, beside its window. Each view is computed coarse, then fine, off
// the GUI thread (SweepComputation); a zoom, a tab change or "Annulla"
// abandons what runs without waiting for it.
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
    // One tab: a kind of sweep, its view history, its picture.
    struct Sweep {
        SweepRecipe::Kind kind;
        SweepCanvas* canvas = nullptr;
        std::vector<QRectF> history;  // earlier views, for "Indietro"
        QRectF view;
        QImage picture;
        std::vector<double> exponents;  // the plane's, row by row
        SweepRecipe shown;              // the recipe of `picture`
    };

    Sweep& current();
    QRectF openingView(SweepRecipe::Kind kind) const;
    void build();
    QWidget* colourLegend();
    SweepRecipe recipeFor(const Sweep& sweep, int width, int height) const;
    void launch();
    void passDone(const SweepRecipe& recipe, const SweepBand& band);
    void stop();
    void showView(const QRectF& view);
    void goBack();
    void showMark();
    void showPointer(QPointF at);
    void choose(QPointF at);
    void savePicture();

    ToolHost& host_;
    const SweepView& view_;
    Sweep sweeps_[2];
    QTabWidget* tabs_ = nullptr;
    QLabel* readout_ = nullptr;
    QProgressBar* progress_ = nullptr;
    QTimer* poll_ = nullptr;
    SweepComputation* computation_ = nullptr;
    int pass_ = 0;  // 0 coarse, 1 full
};

}  // namespace vortiquo
