#pragma once

#include <cstdint>

#include "core/AdvanceOnce.h"
#include "core/Raster.h"

namespace vortiquo {

// A model kind is a type with the model's two procedures as inline static
// functions and its number of coordinates as a constant:
//
//   struct SomeKind {
//       static constexpr int coordinates = 2;
//       static bool StepModel(SimulationState& state);
//       static bool PlotStep(SimulationState& state, PlotPoint& point);
//   };
//
// The loops of a run are compiled once per kind, so that inside them the
// step, the plot and the pixel write are one body: one indirect call reaches
// a whole batch of steps instead of two calls reaching every step.

// Up to `steps` steps onto a raster; the steps drawn. `Scheme` is the colour
// scheme of the state, or 0 for one that is read from it at every step.
template <typename Kind, std::int16_t Scheme>
std::int64_t advanceBatchIn(SimulationState& state, Raster& raster, std::int64_t steps)
{
    // Copies that nothing else can see stay in registers across the loop;
    // the state is written back whole, as the last step left it.
    SimulationState local = state;
    if constexpr (Scheme != 0)
        local.colourScheme = Scheme;  // the value it has, known to the compiler
    Raster canvas = raster;
    std::int64_t drawn = 0;
    while (drawn < steps && AdvanceOnce(Kind{}, local, canvas))
        ++drawn;
    state = local;
    return drawn;
}

// No step changes the colour scheme, so a batch runs in a loop compiled for
// the scheme it has: the choice of channels is made once, not at every step.
template <typename Kind>
std::int64_t advanceBatch(SimulationState& state, Raster& raster, std::int64_t steps)
{
    switch (state.colourScheme) {
    case 1: return advanceBatchIn<Kind, 1>(state, raster, steps);
    case 2: return advanceBatchIn<Kind, 2>(state, raster, steps);
    case 3: return advanceBatchIn<Kind, 3>(state, raster, steps);
    case 4: return advanceBatchIn<Kind, 4>(state, raster, steps);
    case 5: return advanceBatchIn<Kind, 5>(state, raster, steps);
    case 6: return advanceBatchIn<Kind, 6>(state, raster, steps);
    default: return advanceBatchIn<Kind, 0>(state, raster, steps);
    }
}

template <typename Kind>
bool advanceTracked(SimulationState& state, TrackedRaster& raster)
{
    return AdvanceOnce(Kind{}, state, raster);
}

// The window's steps as a batch, compiled like the one above: the step, the
// plot, the pixel and the test of the flag are one body, so that a run that
// processes events only when something is pending goes about as fast as a
// render.
template <typename Kind, std::int16_t Scheme>
TrackedBatch advanceUntilPendingIn(SimulationState& state, TrackedRaster& raster, std::int64_t steps,
                                   const std::atomic<bool>& pending, bool untilDrawn)
{
    SimulationState local = state;
    if constexpr (Scheme != 0)
        local.colourScheme = Scheme;
    TrackedRaster canvas = raster;
    TrackedBatch batch;
    while (batch.drawn < steps) {
        if (!AdvanceOnce(Kind{}, local, canvas)) {
            batch.faulted = true;
            break;
        }
        ++batch.drawn;
        if (pending.load(std::memory_order_relaxed) || (untilDrawn && !canvas.dirty.empty()))
            break;
    }
    state = local;
    raster = canvas;
    return batch;
}

template <typename Kind>
TrackedBatch advanceUntilPending(SimulationState& state, TrackedRaster& raster, std::int64_t steps,
                                 const std::atomic<bool>& pending, bool untilDrawn)
{
    switch (state.colourScheme) {
    case 1: return advanceUntilPendingIn<Kind, 1>(state, raster, steps, pending, untilDrawn);
    case 2: return advanceUntilPendingIn<Kind, 2>(state, raster, steps, pending, untilDrawn);
    case 3: return advanceUntilPendingIn<Kind, 3>(state, raster, steps, pending, untilDrawn);
    case 4: return advanceUntilPendingIn<Kind, 4>(state, raster, steps, pending, untilDrawn);
    case 5: return advanceUntilPendingIn<Kind, 5>(state, raster, steps, pending, untilDrawn);
    case 6: return advanceUntilPendingIn<Kind, 6>(state, raster, steps, pending, untilDrawn);
    default: return advanceUntilPendingIn<Kind, 0>(state, raster, steps, pending, untilDrawn);
    }
}

// The Model of a kind: its procedures, and the loops compiled from them.
template <typename Kind>
constexpr Model modelOfKind()
{
    return {Kind::StepModel, Kind::PlotStep, Kind::coordinates, advanceBatch<Kind>, advanceTracked<Kind>,
            advanceUntilPending<Kind>};
}

}  // namespace vortiquo
