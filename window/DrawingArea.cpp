#include "window/DrawingArea.h"

#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QPaintEvent>
#include <QPainter>

#include "picture/Redraw.h"
#include "picture/SystemColours.h"

namespace vortiquo {

namespace {
// About sixty screen refreshes a second while points arrive.
constexpr int RefreshIntervalMs = 16;
}  // namespace

DrawingArea::DrawingArea(QWidget* parent) : QWidget(parent), background_(Qt::white)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    refreshTimer_.setSingleShot(true);
    refreshTimer_.setInterval(RefreshIntervalMs);
    connect(&refreshTimer_, &QTimer::timeout, this, &DrawingArea::refresh);
    resetDirty();
}

void DrawingArea::allocateImage()
{
    const double ratio = devicePixelRatioF();
    const QSize pixels = devicePixels(size(), ratio);
    points_ = QImage(pixels, QImage::Format_ARGB32_Premultiplied);
    points_.setDevicePixelRatio(ratio);
    points_.fill(Qt::transparent);
    // The image is never shared, so its pixels stay where the raster points.
    picture_.raster.pixels = reinterpret_cast<std::uint32_t*>(points_.bits());
    picture_.raster.pixelsPerRow = points_.bytesPerLine() / 4;
    picture_.raster.grid = {ratio, static_cast<double>(pixels.width()), static_cast<double>(pixels.height())};
    resetDirty();
    update();
}

void DrawingArea::setBackground(const QColor& colour)
{
    systemBackground_ = 0;
    background_ = colour;
    clear();
}

void DrawingArea::setSystemBackground(int systemColourIndex)
{
    setBackground(systemColour(systemColourIndex));
    systemBackground_ = systemColourIndex;
}

void DrawingArea::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::PaletteChange && systemBackground_ != 0) {
        background_ = systemColour(systemBackground_);
        update();
    }
    QWidget::changeEvent(event);
}

// Shift+F10 asks for the context menu from the keyboard. (The window system
// turns the Menu key into a context menu request of its own.)
void DrawingArea::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_F10 && event->modifiers() == Qt::ShiftModifier) {
        const QPoint centre = rect().center();
        QContextMenuEvent request(QContextMenuEvent::Keyboard, centre, mapToGlobal(centre), event->modifiers());
        QCoreApplication::sendEvent(this, &request);
        return;
    }
    QWidget::keyPressEvent(event);
}

// The image follows the area's size and the screen's density.
bool DrawingArea::imageFitsArea() const
{
    const double ratio = devicePixelRatioF();
    return !points_.isNull() && points_.size() == devicePixels(size(), ratio) && picture_.raster.grid.ratio == ratio;
}

void DrawingArea::clear()
{
    if (!imageFitsArea()) {
        allocateImage();
        return;
    }
    points_.fill(Qt::transparent);
    resetDirty();
    update();
}

QImage DrawingArea::image() const
{
    return composed(points_, background_);
}

bool DrawingArea::replacePoints(const QImage& points)
{
    if (!imageFitsArea() || points.size() != points_.size())
        return false;
    QPainter painter(&points_);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(0, 0, points);
    painter.end();
    resetDirty();
    update();
    return true;
}

void DrawingArea::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (!imageFitsArea())
        allocateImage();
}

void DrawingArea::scheduleRefresh()
{
    refreshScheduled_ = true;
    refreshTimer_.start();
}

void DrawingArea::refresh()
{
    refreshScheduled_ = false;
    const DirtyRect dirty = picture_.dirty;
    if (dirty.empty())
        return;
    resetDirty();
    // Image pixels to logical coordinates, rounded outwards.
    const double r = picture_.raster.grid.ratio;
    const QRect logical(QPoint(static_cast<int>(dirty.left / r), static_cast<int>(dirty.top / r)),
                        QPoint(static_cast<int>(dirty.right / r) + 1, static_cast<int>(dirty.bottom / r) + 1));
    update(logical);
}

void DrawingArea::resetDirty()
{
    picture_.dirty = {};
}

void DrawingArea::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    const QRect area = event->rect();
    painter.fillRect(area, background_);
    const double r = picture_.raster.grid.ratio;
    const QRectF source(area.left() * r, area.top() * r, area.width() * r, area.height() * r);
    painter.drawImage(QRectF(area), points_, source);
}

}  // namespace vortiquo
