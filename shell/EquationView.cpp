#include "EquationView.h"

#include <QPainter>

#include "SystemColours.h"

EquationView::EquationView(QImage picture, QWidget* parent) : QWidget(parent), picture_(std::move(picture))
{
}

void EquationView::setBackgroundColour(int systemColourIndex)
{
    backgroundColour_ = systemColourIndex;
    update();
}

void EquationView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    // The system colour is read at each paint, so it follows the desktop theme.
    if (backgroundColour_ != 0)
        painter.fillRect(rect(), SystemColour(backgroundColour_));
    painter.drawImage(0, 0, picture_);
}
