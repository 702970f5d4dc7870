#pragma once

#include <QImage>
#include <QTimer>
#include <QWidget>

#include "core/Raster.h"

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
        int column = 0, row = 0;
        if (!raster_.grid.locate(point.x, point.y, column, row))
            return;
        raster_.pixels[row * raster_.pixelsPerRow + column] = opaquePixel(point);
        markDirty(column, row);
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
    void markDirty(int column, int row)
    {
        if (column < dirtyLeft_) dirtyLeft_ = column;
        if (column > dirtyRight_) dirtyRight_ = column;
        if (row < dirtyTop_) dirtyTop_ = row;
        if (row > dirtyBottom_) dirtyBottom_ = row;
        if (!refreshScheduled_)
            scheduleRefresh();
    }
    void scheduleRefresh();
    void refresh();
    void resetDirty();
    bool imageFitsArea() const;
    void allocateImage();

    QImage points_;  // the points alone, transparent elsewhere
    Raster raster_;  // points_'s pixels, as the step writes them
    QColor background_;
    int systemBackground_ = 0;  // the theme role followed, 0 for a fixed colour
    int dirtyLeft_ = 0, dirtyTop_ = 0, dirtyRight_ = 0, dirtyBottom_ = 0;
    bool refreshScheduled_ = false;
    QTimer refreshTimer_;
};
