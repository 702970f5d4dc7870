#pragma once

#include "core/Model.h"

namespace vortiquo {

// One step of a run: the model's step, its plot, the point set on the
// canvas, and the next point made current. The window, the benchmark, the
// tests, the replay of a journal and the headless renderer all advance by
// this one function. The model is a Model (its procedures reached through
// pointers) or a model kind (core/ModelKind.h, its procedures inline); a
// canvas is anything with setPoint(const PlotPoint&).
// Returns false on an arithmetic fault: then nothing is drawn or committed.
template <typename Kind, typename Canvas>
inline bool AdvanceOnce(const Kind& model, SimulationState& state, Canvas& canvas)
{
    PlotPoint point;
    if (!model.StepModel(state) || !model.PlotStep(state, point))
        return false;
    canvas.setPoint(point);
    commitNext(model, state);
    return true;
}

}  // namespace vortiquo
