#pragma once

#include <cstdint>

#include "core/AdvanceOnce.h"
#include "core/Raster.h"

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

// Up to `steps` steps onto a raster; the steps drawn.
template <typename Kind>
std::int64_t advanceBatch(SimulationState& state, Raster& raster, std::int64_t steps)
{
    // Copies that nothing else can see stay in registers across the loop;
    // the state is written back whole, as the last step left it.
    SimulationState local = state;
    Raster canvas = raster;
    std::int64_t drawn = 0;
    while (drawn < steps && AdvanceOnce(Kind{}, local, canvas))
        ++drawn;
    state = local;
    return drawn;
}

template <typename Kind>
bool advanceTracked(SimulationState& state, TrackedRaster& raster)
{
    return AdvanceOnce(Kind{}, state, raster);
}

// The Model of a kind: its procedures, and the loops compiled from them.
template <typename Kind>
constexpr Model modelOfKind()
{
    return {Kind::StepModel, Kind::PlotStep, Kind::coordinates, advanceBatch<Kind>, advanceTracked<Kind>};
}
