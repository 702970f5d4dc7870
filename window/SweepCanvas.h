#pragma once

#include <QImage>
#include <QPoint>
#include <QRectF>
#include <QWidget>

namespace vortiquo {

// A computed sweep drawn with its axes: the picture scaled into the plot
// area, tick labels on the left and at the bottom, a mark at a point, a
// rectangle dragged to zoom, and a keyboard cursor that arrow keys move.
// Points are in the sweep's own units: x across (a, or the varied
// parameter), y up (b, or x).
class SweepCanvas : public QWidget {
    Q_OBJECT
public:
    explicit SweepCanvas(QWidget* parent = nullptr);
    // The picture and the ranges it spans, left to right and bottom to top.
    void setPicture(const QImage& picture, const QRectF& ranges, const QString& xName, const QString& yName);
    // A mark at (x, y) in the sweep's units; none when outside.
    void setMark(std::optional<QPointF> mark);
    const QRectF& ranges() const { return ranges_; }

signals:
    void zoomRequested(const QRectF& ranges);
    void pointChosen(QPointF point);
    void pointerAt(QPointF point);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QRect plotArea() const;
    QPointF toSweep(QPointF pixel) const;
    QPointF toPixel(QPointF point) const;

    QImage picture_;
    QRectF ranges_;
    QString xName_, yName_;
    std::optional<QPointF> mark_;
    QPointF cursor_;
    std::optional<QPoint> dragFrom_;
    QPoint dragTo_;
};

}  // namespace vortiquo
