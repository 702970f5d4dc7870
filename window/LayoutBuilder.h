#pragma once

#include "program/LayoutTable.h"

class QWidget;

namespace vortiquo {

// Creates every control of the layout as a child of the window, with its
// object name, text, place, size, font, selection and colours, gives each
// its accessible name and description, sets the window's caption and client
// size, chains the tab order and lets Escape answer "No" on the exit panel
// (by clicking NoUscire). Connects no handler: the design texts are in
// place before any handler exists.
void buildLayout(QWidget& window, const WindowLayout& layout);

}  // namespace vortiquo
