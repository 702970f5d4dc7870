#pragma once

#include <cstdint>

#include "core/Model.h"

namespace vortiquo {

// The run loop's own bookkeeping: whether a run goes on, how many steps it
// has counted, and whether "Via" restarted it during the pass in hand. The
// window and the replay of a journal both count with it, so that a handler
// replayed at its stamp acts between the same two steps as it did live.
//
// A pass is: AdvanceOnce, then event processing (where every handler runs),
// then afterEvents(). "Via" pressed during a run restarts it in place rather
// than nesting a second loop.
struct RunCounter {
    // stamp() of a handler that acts while no run goes on.
    static constexpr std::int64_t Idle = -1;

    bool running = false;
    bool restarted = false;
    std::int64_t stepCount = 0;

    // "Via": clears the stop request, puts the point back to its start and
    // counts from 0. Returns true when the caller must now run the loop, false
    // when a run already goes on and simply restarts.
    bool via(const Model& model, SimulationState& state)
    {
        state.stopRequested = false;
        stepCount = 0;
        resetToStart(model, state);
        if (running) {
            restarted = true;
            return false;
        }
        running = true;
        return true;
    }

    // The end of a pass: counts the step and tests the limit and the stop
    // request. Returns false when the run ends here. After a restart the step
    // just taken belonged to the old run, so nothing is counted.
    bool afterEvents(SimulationState& state)
    {
        if (restarted) {
            restarted = false;
            return true;
        }
        ++stepCount;
        if (state.limitOn && stepCount == state.stepLimit)
            state.stopRequested = true;
        return !state.stopRequested;
    }

    // How many passes may come, the next one included, before a pass must do
    // more than count its step: the pass that reaches the limit, or the one
    // right after a restart, which counts nothing. A limit already passed is
    // never reached, so none lies ahead.
    std::int64_t passesAhead(const SimulationState& state) const
    {
        if (restarted)
            return 1;
        if (state.limitOn && state.stepLimit > stepCount)
            return state.stepLimit - stepCount;
        return INT64_MAX;
    }

    // Passes in which no handler ran and neither the limit nor a stop ended
    // the run: a replay that knows nothing can happen for a while counts
    // them at once.
    void countQuietPasses(std::int64_t passes) { stepCount += passes; }

    void end()
    {
        running = false;
        restarted = false;
    }

    // Where a handler acting now stands: the number of steps the current run
    // has taken (0 right after a restart), or Idle.
    std::int64_t stamp() const
    {
        if (!running)
            return Idle;
        return restarted ? 0 : stepCount + 1;
    }
};

}  // namespace vortiquo
