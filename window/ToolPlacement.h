#pragma once

#include <QRect>

namespace vortiquo {

// Where a tool window of frame size `tool` goes beside the program's window,
// whose frame is `program`, on a screen whose free area is `screen`: to its
// right where the screen has room, else to its left, below or above it,
// else wherever on the screen it hides the least of the program's window
// (to the right when that ties). Returns the tool's frame.
QRect besideWindow(const QRect& program, const QSize& tool, const QRect& screen);

}  // namespace vortiquo
