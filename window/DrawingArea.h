#pragma once

#include <QImage>
#include <QTimer>
#include <QWidget>

#include "core/Raster.h"

namespace vortiquo {

// Grafico: the surface an attractor is drawn on. It owns an image of its
// points at device resolution, so the picture survives repaints. A point is
// written into the image at once and the screen is refreshed at display
// rate, never once per point. The image holds the points alone, opaque over
// transparent pixels; the background colour is filled in behind them when
// painting, so a theme change recolours the background and keeps every
// point, even one drawn in the old background's colour.
class DrawingArea : public QWidget {
    Q_OBJECT
public:
    explicit DrawingArea(QWidget* parent);

    // Sets the pixel that a point at drawing coordinates (twips, origin
    // top-left) falls on. Points outside the area are not drawn.
    void setPoint(const PlotPoint& point)
    {
        picture_.setPoint(point);
        refreshWhenDirty();
    }

    // One step of a run drawn onto the area: the model's AdvanceOnce,
    // compiled for it. False on an arithmetic fault.
    bool advance(const Model& model, SimulationState& state)
    {
        const bool drawn = model.advanceTracked(state, picture_);
        refreshWhenDirty();
        return drawn;
    }

    // Steps of a run drawn onto the area, up to `steps`, ending after the
    // first step at which `pending` is raised (Model::advanceUntilPending).
    // A step that gives the screen something new to show while no refresh is
    // due also ends the batch, so that the refresh is scheduled at once.
    TrackedBatch advanceUntilPending(const Model& model, SimulationState& state, std::int64_t steps,
                                     const std::atomic<bool>& pending)
    {
        const TrackedBatch batch = model.advanceUntilPending(state, picture_, steps, pending, !refreshScheduled_);
        refreshWhenDirty();
        return batch;
    }

    // Sets the background colour, which erases the picture.
    void setBackground(const QColor& colour);
    // Sets the background to a system colour, which erases the picture. The
    // background then follows that theme role.
    void setSystemBackground(int systemColourIndex);
    QColor background() const { return background_; }
    // Erases the picture, leaving the background.
    void clear();

    // The picture as shown: the background with the points over it, one
    // pixel per device pixel.
    QImage image() const;
    // Puts points drawn elsewhere in place of the picture's (a picture
    // opened from a file); false if they do not fit the area at this density.
    bool replacePoints(const QImage& points);

protected:
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void refreshWhenDirty()
    {
        if (!refreshScheduled_ && !picture_.dirty.empty())
            scheduleRefresh();
    }
    void scheduleRefresh();
    void refresh();
    void resetDirty();
    bool imageFitsArea() const;
    void allocateImage();

    QImage points_;  // the points alone, transparent elsewhere
    TrackedRaster picture_;  // points_'s pixels as the step writes them, and what to repaint
    QColor background_;
    int systemBackground_ = 0;  // the theme role followed, 0 for a fixed colour
    bool refreshScheduled_ = false;
    QTimer refreshTimer_;
};

}  // namespace vortiquo
