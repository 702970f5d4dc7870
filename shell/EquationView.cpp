#include "shell/EquationView.h"

#include <QPainter>

#include "shell/SystemColours.h"

EquationView::EquationView(QImage picture, QWidget* parent) : QWidget(parent), picture_(std::move(picture))
{
}

void EquationView::setSystemBackground(int systemColourIndex)
{
    systemBackground_ = systemColourIndex;
    update();
}

void EquationView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    // The system colour is read at each paint, so it follows the desktop theme.
    if (systemBackground_ != 0)
        painter.fillRect(rect(), systemColour(systemBackground_));
    painter.drawImage(0, 0, picture_);
}
