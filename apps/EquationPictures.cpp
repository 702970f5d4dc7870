#include "EquationPictures.h"

namespace {
QImage Blank(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::white);
    return image;
}
}  // namespace

QImage ConvectionEquations() { return Blank(117, 120); }
QImage SpiralEquations() { return Blank(116, 124); }
QImage RecurrenceEquations() { return Blank(78, 45); }
QImage QuadraticEquations() { return Blank(111, 50); }
