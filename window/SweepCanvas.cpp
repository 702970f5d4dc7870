#include "window/SweepCanvas.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include "engine/ExponentText.h"

namespace vortiquo {

namespace {

constexpr int LeftMargin = 80, BottomMargin = 36, Margin = 8, RightMargin = 24, Ticks = 5;
// The name of the vertical axis runs upwards in a strip at the left edge.
constexpr int NameStrip = 18;

// A tick's value in Italian, with one decimal more than the ticks' step
// needs to be told apart.
QString tickText(double value, double step)
{
    return italianDecimal(value, decimalsResolving(step) + 1);
}

}  // namespace

SweepCanvas::SweepCanvas(QWidget* parent) : QWidget(parent)
{
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    setMinimumSize(320, 280);
}

void SweepCanvas::setPicture(const QImage& picture, const QRectF& ranges, const QString& xName, const QString& yName)
{
    picture_ = picture;
    if (ranges != ranges_)
        cursor_ = ranges.center();
    ranges_ = ranges;
    xName_ = xName;
    yName_ = yName;
    update();
}

void SweepCanvas::setMark(std::optional<QPointF> mark)
{
    mark_ = mark;
    update();
}

QRect SweepCanvas::plotArea() const
{
    return rect().adjusted(LeftMargin, Margin, -RightMargin, -BottomMargin);
}

QPointF SweepCanvas::toSweep(QPointF pixel) const
{
    const QRect area = plotArea();
    const double across = (pixel.x() - area.left()) / area.width();
    const double up = (area.bottom() + 1 - pixel.y()) / area.height();
    return {ranges_.left() + across * ranges_.width(), ranges_.top() + up * ranges_.height()};
}

QPointF SweepCanvas::toPixel(QPointF point) const
{
    const QRect area = plotArea();
    return {area.left() + (point.x() - ranges_.left()) / ranges_.width() * area.width(),
            area.bottom() + 1 - (point.y() - ranges_.top()) / ranges_.height() * area.height()};
}

void SweepCanvas::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), palette().window());
    const QRect area = plotArea();
    if (!picture_.isNull())
        painter.drawImage(area, picture_);
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawRect(area.adjusted(0, 0, -1, -1));
    if (!ranges_.isValid())
        return;
    const QFontMetrics metrics = painter.fontMetrics();
    for (int tick = 0; tick <= Ticks; ++tick) {
        const double share = double(tick) / Ticks;
        const int x = area.left() + int(share * (area.width() - 1));
        const int y = area.bottom() - int(share * (area.height() - 1));
        painter.drawLine(x, area.bottom(), x, area.bottom() + 4);
        painter.drawLine(area.left() - 4, y, area.left(), y);
        const QString across = tickText(ranges_.left() + share * ranges_.width(), ranges_.width() / Ticks);
        painter.drawText(QRect(x - 40, area.bottom() + 5, 80, metrics.height()), Qt::AlignHCenter, across);
        const QString up = tickText(ranges_.top() + share * ranges_.height(), ranges_.height() / Ticks);
        painter.drawText(QRect(NameStrip, y - metrics.height() / 2, LeftMargin - NameStrip - 6, metrics.height()),
                         Qt::AlignRight, up);
    }
    painter.drawText(QRect(area.left(), area.bottom() + 5 + metrics.height(), area.width(), metrics.height()),
                     Qt::AlignHCenter, xName_);
    painter.save();
    painter.translate(2, area.bottom());
    painter.rotate(-90);
    painter.drawText(QRect(0, 0, area.height(), NameStrip), Qt::AlignHCenter | Qt::AlignTop, yName_);
    painter.restore();
    if (mark_ && ranges_.contains(*mark_)) {
        painter.setPen(QPen(Qt::white, 2));
        painter.drawEllipse(toPixel(*mark_), 5, 5);
        painter.setPen(QPen(Qt::black, 1));
        painter.drawEllipse(toPixel(*mark_), 6, 6);
    }
    if (hasFocus()) {
        const QPointF at = toPixel(cursor_);
        painter.setPen(QPen(Qt::magenta, 1));
        painter.drawLine(at - QPointF(8, 0), at + QPointF(8, 0));
        painter.drawLine(at - QPointF(0, 8), at + QPointF(0, 8));
    }
    if (dragFrom_) {
        painter.setPen(QPen(Qt::black, 1, Qt::DashLine));
        painter.drawRect(QRect(*dragFrom_, dragTo_).normalized());
    }
}

void SweepCanvas::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && plotArea().contains(event->position().toPoint()))
        dragFrom_ = dragTo_ = event->position().toPoint();
}

void SweepCanvas::mouseMoveEvent(QMouseEvent* event)
{
    if (plotArea().contains(event->position().toPoint()) && ranges_.isValid())
        emit pointerAt(toSweep(event->position()));
    if (dragFrom_) {
        dragTo_ = event->position().toPoint();
        update();
    }
}

void SweepCanvas::mouseReleaseEvent(QMouseEvent* event)
{
    if (!dragFrom_ || event->button() != Qt::LeftButton)
        return;
    const QRect dragged = QRect(*dragFrom_, event->position().toPoint()).normalized() & plotArea();
    dragFrom_.reset();
    update();
    if (dragged.width() < 4 || dragged.height() < 4) {
        emit pointChosen(toSweep(event->position()));
        return;
    }
    const QPointF corner = toSweep(dragged.bottomLeft() + QPoint(0, 1));
    const QPointF opposite = toSweep(dragged.topRight() + QPoint(1, 0));
    emit zoomRequested(QRectF(corner, opposite).normalized());
}

void SweepCanvas::keyPressEvent(QKeyEvent* event)
{
    const double stepX = ranges_.width() / 50, stepY = ranges_.height() / 50;
    switch (event->key()) {
    case Qt::Key_Left: cursor_.rx() -= stepX; break;
    case Qt::Key_Right: cursor_.rx() += stepX; break;
    case Qt::Key_Up: cursor_.ry() += stepY; break;
    case Qt::Key_Down: cursor_.ry() -= stepY; break;
    case Qt::Key_Return:
    case Qt::Key_Enter: emit pointChosen(cursor_); return;
    default: QWidget::keyPressEvent(event); return;
    }
    cursor_.setX(std::clamp(cursor_.x(), ranges_.left(), ranges_.right()));
    cursor_.setY(std::clamp(cursor_.y(), ranges_.top(), ranges_.bottom()));
    emit pointerAt(cursor_);
    update();
}

}  // namespace vortiquo
