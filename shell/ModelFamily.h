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

// Every run starts from 1 in each coordinate the model has.
inline void ResetToStart(const Model& model, SimulationState& state)
{
    state.x = 1;
    state.y = 1;
    if (model.coordinates == 3)
        state.z = 1;
}

// The next point, drawn, becomes the current one.
inline void CommitNext(const Model& model, SimulationState& state)
{
    state.x = state.xNext;
    state.y = state.yNext;
    if (model.coordinates == 3)
        state.z = state.zNext;
}
