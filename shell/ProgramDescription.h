#pragma once

#include <cstdint>

#include "LayoutTable.h"
#include "ModelFamily.h"

// Everything that makes one program of the suite differ from the others.
struct ProgramDescription {
    const WindowLayout* layout;
    const Model* model;
    std::int16_t initialColourScheme;
    // The convection flow sets c to -8/3 at load and writes it back into cT.
    bool writesCAtLoad;
    // The map programs show a cross-hair over the drawing area.
    bool crossHairOverPlot;
};
