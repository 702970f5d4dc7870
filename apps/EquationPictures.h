#pragma once

#include <QImage>

// The pictures of each model's equations, drawn by our own code.
QImage ConvectionEquations();
QImage SpiralEquations();
QImage RecurrenceEquations();
QImage QuadraticEquations();
