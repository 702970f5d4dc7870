#pragma once

#include <QImage>

// The pictures of each model's equations, drawn by our own code: black
// formula text on white, the lines grouped by a left brace. They set text,
// so an application object must exist when they are called.
QImage convectionEquations();
QImage spiralEquations();
QImage recurrenceEquations();
QImage quadraticEquations();
