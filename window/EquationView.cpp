#include "window/EquationView.h"

#include <QPainter>

#include "picture/SystemColours.h"

namespace vortiquo {

EquationView::EquationView(EquationPictureFunction draw, QWidget* parent) : QWidget(parent), draw_(draw)
{
    drawPictureAt(devicePixelRatioF());
}

void EquationView::setSystemBackground(int systemColourIndex)
{
    systemBackground_ = systemColourIndex;
    update();
}

void EquationView::drawPictureAt(double devicePixelRatio)
{
    if (draw_)
        picture_ = draw_(devicePixelRatio);
}

void EquationView::paintEvent(QPaintEvent*)
{
    // A move to a screen of another density repaints the whole window; the
    // picture follows the new ratio here, once.
    if (picture_.devicePixelRatio() != devicePixelRatioF())
        drawPictureAt(devicePixelRatioF());
    QPainter painter(this);
    // The system colour is read at each paint, so it follows the desktop theme.
    if (systemBackground_ != 0)
        painter.fillRect(rect(), systemColour(systemBackground_));
    painter.drawImage(0, 0, picture_);
}

}  // namespace vortiquo
