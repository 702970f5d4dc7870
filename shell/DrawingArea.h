#pragma once

#include <QImage>
#include <QRect>
#include <QTimer>
#include <QWidget>

// Grafico: the surface an attractor is drawn on. It owns an image of its
// area, so the picture survives repaints. Points are written into the image
// at once; the screen is refreshed at display rate, never once per point.
class DrawingArea : public QWidget {
    Q_OBJECT
public:
    explicit DrawingArea(QWidget* parent);

    // Sets the point at drawing coordinates (twips, origin top-left) to the
    // colour. Points outside the area are ignored.
    void setPoint(double x, double y, QRgb colour)
    {
        const double column = (x * pixelRatio_) / 15.0;
        const double row = (y * pixelRatio_) / 15.0;
        if (!(column >= 0.0 && column < imageWidth_ && row >= 0.0 && row < imageHeight_))
            return;
        const int px = static_cast<int>(column);
        const int py = static_cast<int>(row);
        reinterpret_cast<QRgb*>(bits_ + py * stride_)[px] = colour;
        markDirty(px, py);
    }

    // Sets the background colour, which erases the picture.
    void setBackground(const QColor& colour);
    // Sets the background to a system colour, which erases the picture. The
    // background then follows that theme role: when the desktop theme
    // changes, the points stay and the new colour fills in behind them.
    void setSystemBackground(int systemColourIndex);
    QColor background() const { return background_; }
    // Erases the picture, leaving the background.
    void clear();

    // A copy of the picture as kept, one image pixel per device pixel. The
    // kept image is never shared, so points keep going into it alone.
    QImage image() const { return image_.copy(); }

protected:
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void markDirty(int px, int py)
    {
        if (px < dirtyLeft_) dirtyLeft_ = px;
        if (px > dirtyRight_) dirtyRight_ = px;
        if (py < dirtyTop_) dirtyTop_ = py;
        if (py > dirtyBottom_) dirtyBottom_ = py;
        if (!refreshScheduled_)
            scheduleRefresh();
    }
    void scheduleRefresh();
    void refresh();
    void resetDirty();
    bool imageFitsArea() const;
    void allocateImage();
    void recolourBackground(const QColor& colour);

    QImage image_;
    uchar* bits_ = nullptr;
    qsizetype stride_ = 0;
    double pixelRatio_ = 1.0;
    double imageWidth_ = 0, imageHeight_ = 0;
    QColor background_;
    int systemBackground_ = 0;  // the theme role followed, 0 for a fixed colour
    int dirtyLeft_ = 0, dirtyTop_ = 0, dirtyRight_ = 0, dirtyBottom_ = 0;
    bool refreshScheduled_ = false;
    QTimer refreshTimer_;
};
