#pragma once

#include <cstdint>

#include "core/SimulationState.h"

// One coloured point for the drawing area: drawing coordinates in twips
// (whole numbers, origin top-left, y downwards) and a colour.
struct PlotPoint {
    double x = 0;
    double y = 0;
    std::uint8_t red = 0, green = 0, blue = 0;
};

// What a model family supplies: two pure procedures on the state. Each
// returns false on an arithmetic fault (a result that is not finite, or a
// coordinate without the form the drawing needs); the step then ends without
// drawing or committing anything.
struct Model {
    // Computes xNext, yNext (and zNext) from the current point.
    bool (*StepModel)(SimulationState& state);
    // Computes where and in which colour the next point is drawn.
    bool (*PlotStep)(SimulationState& state, PlotPoint& point);
    // 3 for the flows (x, y, z), 2 for the maps (x, y).
    int coordinates;
};

// Every run starts from 1 in each coordinate the model has.
inline void resetToStart(const Model& model, SimulationState& state)
{
    state.x = 1;
    state.y = 1;
    if (model.coordinates == 3)
        state.z = 1;
}

// The next point, drawn, becomes the current one.
inline void commitNext(const Model& model, SimulationState& state)
{
    state.x = state.xNext;
    state.y = state.yNext;
    if (model.coordinates == 3)
        state.z = state.zNext;
}
