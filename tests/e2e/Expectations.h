#pragma once

#include <QImage>
#include <QRect>
#include <cstdint>

#include "program/Program.h"

using namespace vortiquo;

// What a program's window must show, worked out apart from the window: where
// each control lies, from the layout table alone, and the picture the step
// function draws.

// A control's rectangle in the window's client area, in pixels: the sum of
// its own and its containers' places, each converted from twips as laid out.
QRect controlPlace(const WindowLayout& layout, const char* name);

// The window's client size in pixels.
QSize clientSize(const WindowLayout& layout);

// The drawing area after a run of `steps` steps from the window as it opens:
// the program's own step function on the state its load makes, each point at
// its pixel over the background that the selected option gives under the
// default palette.
QImage stepFunctionPicture(const Program& program, std::int32_t steps);
