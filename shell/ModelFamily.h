#pragma once

#include "PlotPoint.h"
#include "SimulationState.h"

// What a model family supplies to the shell. Both procedures are pure
// arithmetic on the state; they return false on an arithmetic fault (a
// result that is not finite, or a coordinate without the form the drawing
// needs), in which case the step must end without drawing or committing.
struct Model {
    // Computes xNext, yNext (and zNext) from the current point.
    bool (*StepModel)(SimulationState& state);
    // Computes where and in which colour the next point is drawn.
    bool (*PlotStep)(SimulationState& state, PlotPoint& point);
    // 3 for the flows (x, y, z), 2 for the maps (x, y).
    int coordinates;
};
