#pragma once

#include <atomic>
#include <cstdint>

#include "core/SimulationState.h"

namespace vortiquo {

// One coloured point for the drawing area: drawing coordinates in twips
// (whole numbers, origin top-left, y downwards) and a colour.
struct PlotPoint {
    double x = 0;
    double y = 0;
    std::uint8_t red = 0, green = 0, blue = 0;
};

struct Raster;
struct TrackedRaster;

// How a batch of the window's steps ended: the steps drawn, and whether the
// step after them faulted.
struct TrackedBatch {
    std::int64_t drawn = 0;
    bool faulted = false;
};

// What a model family supplies: two pure procedures on the state. Each
// returns false on an arithmetic fault (a result that is not finite, or a
// coordinate without the form the drawing needs); the step then ends without
// drawing or committing anything.
//
// A family writes them as inline functions of a model kind (core/ModelKind.h),
// and the loops below are compiled from that kind, so that the step, the plot
// and the pixel become one body with no call inside it.
struct Model {
    // Computes xNext, yNext (and zNext) from the current point.
    bool (*StepModel)(SimulationState& state);
    // Computes where and in which colour the next point is drawn.
    bool (*PlotStep)(SimulationState& state, PlotPoint& point);
    // 3 for the flows (x, y, z), 2 for the maps (x, y).
    int coordinates;
    // Up to `steps` steps of a run onto a raster, one AdvanceOnce after the
    // other, ending at the first fault. Returns the steps drawn: fewer than
    // asked means the next one faulted, and the state is as that fault left it.
    std::int64_t (*advanceBatch)(SimulationState& state, Raster& raster, std::int64_t steps);
    // One AdvanceOnce onto the window's picture, which also widens the
    // rectangle of pixels to repaint.
    bool (*advanceTracked)(SimulationState& state, TrackedRaster& raster);
    // Up to `steps` of those, ending after the first step at which `pending`
    // holds (it is read after every step) or, with `untilDrawn`, after the
    // first that leaves a rectangle to repaint; or at a fault.
    TrackedBatch (*advanceUntilPending)(SimulationState& state, TrackedRaster& raster, std::int64_t steps,
                                        const std::atomic<bool>& pending, bool untilDrawn);
};

// Every run starts from 1 in each coordinate the model has. A model here is
// a Model or a model kind.
template <typename Kind>
inline void resetToStart(const Kind& model, SimulationState& state)
{
    state.x = 1;
    state.y = 1;
    if (model.coordinates == 3)
        state.z = 1;
}

// The next point, drawn, becomes the current one.
template <typename Kind>
inline void commitNext(const Kind& model, SimulationState& state)
{
    state.x = state.xNext;
    state.y = state.yNext;
    if (model.coordinates == 3)
        state.z = state.zNext;
}

}  // namespace vortiquo
