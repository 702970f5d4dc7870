#pragma once

#include <cstdint>
#include <functional>
#include <span>

#include "core/Journal.h"
#include "core/Model.h"
#include "core/Raster.h"

namespace vortiquo {

// Redraws a picture from its journal: the start, then every entry applied
// between the same two steps as it was live, with the same step function,
// the same field rules and the same run counting as the window. The picture
// is therefore the same bit for bit.
struct ReplayOutcome {
    enum class End {
        done,       // every entry applied, no run left going
        fault,      // as done, and the last run ended on an arithmetic fault
        damaged,    // the entries do not fit together (a stamp never reached, a
                    // running entry while idle, more steps than allowed)
        cancelled,  // the progress callback asked to stop
    };
    End end = End::done;
    SimulationState state;      // the state where the replay ended
    RunCounter run;
    std::int64_t steps = 0;     // steps taken in all
    std::int64_t faultStep = 0; // for a fault: the step of its run that failed
};

struct ReplayLimits {
    // The replay fails as damaged rather than take more steps than this.
    // A run left with no entry to stop it and no limit ahead can only end on
    // a fault: a replay goes on to it within a budget, and without one
    // takes the journal as damaged.
    std::int64_t maxSteps = INT64_MAX;
    // Called every `progressEvery` steps with the steps taken so far; false
    // cancels the replay.
    std::function<bool(std::int64_t)> progress;
    std::int64_t progressEvery = 1 << 22;
};

ReplayOutcome replayJournal(const Model& model, const JournalStart& start, std::span<const JournalEntry> entries,
                            Raster& raster, const ReplayLimits& limits = {});

// Any other canvas, reached by one call a point: the same points in the same
// order as a Raster gets them (density pictures, the frames of a video).
class PointCanvas {
public:
    virtual ~PointCanvas() = default;
    virtual void setPoint(const PlotPoint& point) = 0;
};

ReplayOutcome replayJournal(const Model& model, const JournalStart& start, std::span<const JournalEntry> entries,
                            PointCanvas& canvas, const ReplayLimits& limits = {});

}  // namespace vortiquo
