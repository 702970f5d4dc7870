#pragma once

#include <QImage>
#include <QRectF>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <initializer_list>
#include <vector>

#include "analysis/Dynamics.h"
#include "engine/SweepTiles.h"

class QComboBox;
class QHBoxLayout;

namespace vortiquo {

class SweepCanvas;
class ToolHost;

// One tab of "Esplora parametri": a kind of sweep with its own controls
// (which parameters vary, which coordinate, which plane), its views (the one
// shown and those zoomed from, for "Indietro"), its picture and what the
// pointer reads on it. The window computes the recipe a tab asks for, coarse
// then fine, and hands each result back to show().
class ExplorerTab : public QWidget {
    Q_OBJECT
public:
    ExplorerTab(ToolHost& host, const SweepView& view, SweepRecipe::Kind kind, const QString& title);

    SweepRecipe::Kind kind() const { return kind_; }
    const QString& title() const { return title_; }
    SweepCanvas& canvas() const { return *canvas_; }
    // The recipe of the view shown for a pass: the coarse pass (`coarse`)
    // has one point in eight each way, or a one-orbit kind an eighth of the
    // duration; the full pass all of it.
    SweepRecipe recipe(bool coarse) const;
    // Takes a computed pass (`full`, or the coarse one): its picture, its
    // values and the ranges it spans.
    void show(const SweepRecipe& recipe, const SweepBand& band, bool full);
    // Whether the picture shown is a full pass, which can be saved: its
    // recipe is shown(), whatever the fields say since.
    bool complete() const { return complete_; }
    const QImage& picture() const { return band_.image; }
    const SweepRecipe& shown() const { return shown_; }
    const SweepBand& band() const { return band_; }

    // Views: a zoom keeps the view it leaves for goBack; reset returns to
    // the tab's opening view (false: nothing to go back to).
    void zoom(const QRectF& view);
    bool goBack();
    void reset();

    // What the readout says with the pointer at `at`, in the sweep's units.
    virtual QString pointerText(QPointF at) const = 0;
    // A click (or Enter) at `at`: the tabs over parameters type them into
    // the program's fields.
    virtual void choose(QPointF) {}
    // Puts the mark where the fields are.
    virtual void showMark() {}
    // Whether an edit of the program's fields changes what the tab shows
    // (the tabs of one orbit at the fields' own parameters).
    virtual bool followsFields() const { return false; }
    // The fields were edited: a control that shows a default of theirs follows.
    virtual void followFields() {}

signals:
    // A control changed what the tab shows: compute it again.
    void changed();

protected:
    // The kind's own part of a recipe: parameters, coordinates, ranges,
    // durations and the fields it sets itself.
    virtual void fill(SweepRecipe& recipe) const = 0;
    // The view the tab opens with; a null rectangle for one fitted to the points.
    virtual QRectF openingView() const = 0;
    // The row of controls above the picture, and a widget beside it.
    QHBoxLayout& controls() const { return *controls_; }
    void addBesidePicture(QWidget* widget);
    // Starts at the opening view: called once the kind's controls are made.
    void setOpeningView();
    // A choice among `items` under a label; a change resets the view and
    // computes again.
    QComboBox* addChoice(const QString& label, const QStringList& items, int current);
    // The view shown: the ranges, or null when fitted to the points.
    const QRectF& view() const { return view_; }
    // The fields a recipe depends on as the window's fields have them: the
    // parameters not among `swept`, Δt, the start point.
    void recordFields(SweepRecipe& recipe, std::initializer_list<Field> swept) const;
    // Digits that one pixel of the picture resolves across and up.
    int decimalsAcross() const;
    int decimalsUp() const;

    ToolHost& host_;
    const SweepView& sweepView_;

private:
    SweepRecipe::Kind kind_;
    QString title_;
    SweepCanvas* canvas_ = nullptr;
    QHBoxLayout* controls_ = nullptr;
    QHBoxLayout* pictureRow_ = nullptr;
    QRectF view_;
    std::vector<QRectF> history_;
    SweepBand band_;
    SweepRecipe shown_;
    bool complete_ = false;
};

// The tabs, one per kind, each in its own file.
ExplorerTab* makePlaneTab(ToolHost& host, const SweepView& view);
ExplorerTab* makeDiagramTab(ToolHost& host, const SweepView& view);
ExplorerTab* makeMaximaTab(ToolHost& host, const SweepView& view);
ExplorerTab* makeSectionTab(ToolHost& host, const SweepView& view);

// Shared by the tabs: a parameter's or a coordinate's letter and its
// field; a number typed into a field (the shortest text that reads back to
// it); the name of the swept parameters' fields.
QString letterOf(SweepParameter parameter);
QString letterOf(Coordinate coordinate);
Field fieldOf(SweepParameter parameter);
QString typedNumber(double value);

}  // namespace vortiquo
