#pragma once

#include "shell/LayoutTable.h"

class QWidget;

// Creates every control of the layout as a child of the window, with its
// object name, text, place, size, font, selection and colours, sets the
// window's caption and client size, and chains the tab order. Connects no
// handler: the design texts are in place before any handler exists.
void buildLayout(QWidget& window, const WindowLayout& layout);
