#pragma once

#include "program/LayoutTable.h"

namespace vortiquo {

// The window layout of each program.
extern const WindowLayout ConvectionLayout;
extern const WindowLayout SpiralLayout;
extern const WindowLayout RecurrenceLayout;
extern const WindowLayout QuadraticLayout;

}  // namespace vortiquo
