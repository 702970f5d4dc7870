#include "EquationView.h"

#include <QPainter>

#include "SystemColours.h"

EquationView::EquationView(QImage picture, QWidget* parent) : QWidget(parent), picture_(std::move(picture))
{
    setFocusPolicy(Qt::TabFocus);
}

void EquationView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), SystemColour(5));
    painter.drawImage(0, 0, picture_);
}
