#include "DrawingArea.h"

#include "SystemColours.h"

#include <QPaintEvent>
#include <QPainter>
#include <climits>

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
    pixelRatio_ = devicePixelRatioF();
    const QSize pixels(static_cast<int>(width() * pixelRatio_), static_cast<int>(height() * pixelRatio_));
    image_ = QImage(pixels, QImage::Format_RGB32);
    image_.setDevicePixelRatio(pixelRatio_);
    image_.fill(background_);
    bits_ = image_.bits();
    stride_ = image_.bytesPerLine();
    imageWidth_ = pixels.width();
    imageHeight_ = pixels.height();
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
    setBackground(SystemColour(systemColourIndex));
    systemBackground_ = systemColourIndex;
}

void DrawingArea::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::PaletteChange && systemBackground_ != 0)
        recolourBackground(SystemColour(systemBackground_));
    QWidget::changeEvent(event);
}

void DrawingArea::recolourBackground(const QColor& colour)
{
    if (colour == background_)
        return;
    const QRgb before = background_.rgb();
    const QRgb after = colour.rgb();
    background_ = colour;
    for (int row = 0; row < image_.height(); ++row) {
        auto* pixels = reinterpret_cast<QRgb*>(image_.scanLine(row));
        for (int column = 0; column < image_.width(); ++column)
            if (pixels[column] == before)
                pixels[column] = after;
    }
    update();
}

// The image follows the area's size and the screen's density.
bool DrawingArea::imageFitsArea() const
{
    const double ratio = devicePixelRatioF();
    const QSize wanted(static_cast<int>(width() * ratio), static_cast<int>(height() * ratio));
    return !image_.isNull() && image_.size() == wanted && pixelRatio_ == ratio;
}

void DrawingArea::clear()
{
    if (!imageFitsArea()) {
        allocateImage();
        return;
    }
    image_.fill(background_);
    bits_ = image_.bits();
    resetDirty();
    update();
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
    if (dirtyLeft_ > dirtyRight_)
        return;
    const QRect pixels(QPoint(dirtyLeft_, dirtyTop_), QPoint(dirtyRight_, dirtyBottom_));
    resetDirty();
    // Image pixels to logical coordinates, rounded outwards.
    const double r = pixelRatio_;
    const QRect logical(QPoint(static_cast<int>(pixels.left() / r), static_cast<int>(pixels.top() / r)),
                        QPoint(static_cast<int>(pixels.right() / r) + 1, static_cast<int>(pixels.bottom() / r) + 1));
    update(logical);
}

void DrawingArea::resetDirty()
{
    dirtyLeft_ = INT_MAX;
    dirtyTop_ = INT_MAX;
    dirtyRight_ = INT_MIN;
    dirtyBottom_ = INT_MIN;
}

void DrawingArea::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    const QRect area = event->rect();
    const double r = pixelRatio_;
    const QRectF source(area.left() * r, area.top() * r, area.width() * r, area.height() * r);
    painter.drawImage(QRectF(area), image_, source);
}
