#pragma once

#include <QImage>

namespace vortiquo {

// The pictures of each model's equations, drawn by our own code: black
// formula text on white, the lines grouped by a left brace. Each is drawn at
// the given device pixel ratio and tagged with it; its logical size is the
// same at every ratio. They set text, so an application object must exist
// when they are called.
QImage convectionEquations(double devicePixelRatio = 1.0);
QImage spiralEquations(double devicePixelRatio = 1.0);
QImage recurrenceEquations(double devicePixelRatio = 1.0);
QImage quadraticEquations(double devicePixelRatio = 1.0);

}  // namespace vortiquo
