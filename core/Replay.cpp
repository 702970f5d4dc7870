#include "core/Replay.h"

#include <algorithm>
#include <type_traits>

#include "core/AdvanceOnce.h"

namespace vortiquo {

namespace {

template <typename Canvas>
class Replayer {
public:
    Replayer(const Model& model, const JournalStart& start, std::span<const JournalEntry> entries, Canvas& raster,
             const ReplayLimits& limits)
        : model_(model), entries_(entries), raster_(raster), limits_(limits)
    {
        outcome_.state = start.state;
        outcome_.run = start.run;
    }

    ReplayOutcome replay()
    {
        // An erase during a run starts the journal inside that run's event
        // processing: the rest of the pass comes first.
        if (run().running && finishPass())
            runLoop();
        while (next_ < entries_.size() && !stopped_) {
            const JournalEntry& entry = entries_[next_++];
            if (entry.stamp != RunCounter::Idle)
                return damaged();  // an entry of a run, but no run goes on
            apply(entry);
            if (run().running && !stopped_)
                runLoop();
        }
        return outcome_;
    }

private:
    RunCounter& run() { return outcome_.run; }
    SimulationState& state() { return outcome_.state; }

    ReplayOutcome damaged()
    {
        outcome_.end = ReplayOutcome::End::damaged;
        stopped_ = true;
        return outcome_;
    }

    void apply(const JournalEntry& entry)
    {
        switch (entry.kind) {
        case JournalEntry::Kind::field:
            applyFieldText(state(), entry.field, entry.text);
            return;
        case JournalEntry::Kind::scheme:
            state().colourScheme = entry.scheme;
            return;
        case JournalEntry::Kind::stop:
            state().stopRequested = true;
            return;
        case JournalEntry::Kind::halt:
            state().stopRequested = true;
            run().end();
            return;
        case JournalEntry::Kind::via:
            // Starts a run, or restarts the one going on; either way a fault
            // of an earlier run no longer ends the picture.
            run().via(model_, state());
            outcome_.end = ReplayOutcome::End::done;
            return;
        }
    }

    // The handlers that ran in this pass's event processing, then the end
    // of the pass. False when the run ended here.
    bool finishPass()
    {
        while (next_ < entries_.size() && entries_[next_].stamp != RunCounter::Idle &&
               entries_[next_].stamp == run().stamp()) {
            apply(entries_[next_++]);
            if (!run().running)
                return false;  // halted
        }
        if (next_ < entries_.size() && entries_[next_].stamp != RunCounter::Idle &&
            entries_[next_].stamp < run().stamp()) {
            damaged();  // a stamp this run has already passed
            return false;
        }
        if (!run().afterEvents(state())) {
            run().end();
            return false;
        }
        // With no entry left to stop it and no limit still ahead, only a
        // fault can end the run. Within a budget the replay goes on to meet
        // it; without one it could go on for ever, so the journal is damaged.
        const bool limitAhead = state().limitOn && state().stepLimit > run().stepCount;
        if (next_ == entries_.size() && !limitAhead && limits_.maxSteps == INT64_MAX) {
            damaged();
            return false;
        }
        return true;
    }

    // The run, in batches of steps compiled into one loop for the model.
    // Every pass of a batch but its last is quiet: no entry is applied there,
    // and neither the limit nor a stop ends the run. The last pass gets the
    // whole bookkeeping of a pass, so the replay acts between the same two
    // steps as the window did.
    void runLoop()
    {
        for (;;) {
            if (outcome_.steps == checkpoint_ && !checkpoint())
                return;
            const std::int64_t batch = batchLength();
            const std::int64_t drawn = advanceBatch(batch);
            const std::int64_t quiet = std::min(drawn, batch - 1);
            outcome_.steps += quiet;
            run().countQuietPasses(quiet);
            if (drawn < batch) {
                state().stopRequested = true;
                outcome_.end = ReplayOutcome::End::fault;
                outcome_.faultStep = run().stepCount + 1;
                run().end();
                return;
            }
            ++outcome_.steps;
            if (!finishPass())
                return;
        }
    }

    // A raster takes the model's loop compiled for it; any other canvas
    // takes the same steps one AdvanceOnce at a time.
    std::int64_t advanceBatch(std::int64_t batch)
    {
        if constexpr (std::is_same_v<Canvas, Raster>) {
            return model_.advanceBatch(state(), raster_, batch);
        } else {
            std::int64_t drawn = 0;
            while (drawn < batch && AdvanceOnce(model_, state(), raster_))
                ++drawn;
            return drawn;
        }
    }

    // How many steps may be taken before a pass has anything to do: the
    // pass that applies the next entry, reaches the step limit or comes to
    // the next checkpoint ends the batch. A pass that finds the journal
    // damaged, or a stop already asked for, is the first one.
    std::int64_t batchLength() const
    {
        const RunCounter& counter = outcome_.run;
        const SimulationState& s = outcome_.state;
        if (counter.restarted || s.stopRequested)
            return 1;
        // Nothing ahead: 0 steps right at the budget, where the next step
        // is known to fault.
        std::int64_t length = checkpoint_ - outcome_.steps;
        // The pass that ends at count k applies the entries stamped k.
        if (next_ < entries_.size() && entries_[next_].stamp != RunCounter::Idle)
            length = std::min(length, entries_[next_].stamp - counter.stepCount);
        const bool limitAhead = s.limitOn && s.stepLimit > counter.stepCount;
        if (limitAhead)
            length = std::min(length, s.stepLimit - counter.stepCount);
        // finishPass takes such a journal as damaged at the first pass.
        if (next_ == entries_.size() && !limitAhead && limits_.maxSteps == INT64_MAX)
            return 1;
        return std::max<std::int64_t>(length, 1);
    }

    bool checkpoint()
    {
        if (outcome_.steps >= limits_.maxSteps) {
            // The budget counts the steps drawn. A run that ended on a fault
            // tried one step more than it drew, so that step may still be
            // tried, as long as it faults.
            if (nextStepFaults())
                return true;
            damaged();
            return false;
        }
        if (limits_.progress && !limits_.progress(outcome_.steps)) {
            outcome_.end = ReplayOutcome::End::cancelled;
            stopped_ = true;
            return false;
        }
        checkpoint_ = outcome_.steps + std::min(limits_.progressEvery, limits_.maxSteps - outcome_.steps);
        return true;
    }

    // Tried on a copy of the state, with nothing drawn.
    bool nextStepFaults() const
    {
        struct NoCanvas {
            void setPoint(const PlotPoint&) {}
        } nowhere;
        SimulationState trial = outcome_.state;
        return !AdvanceOnce(model_, trial, nowhere);
    }

    const Model& model_;
    std::span<const JournalEntry> entries_;
    Canvas& raster_;
    const ReplayLimits& limits_;
    ReplayOutcome outcome_;
    std::size_t next_ = 0;
    std::int64_t checkpoint_ = 0;
    bool stopped_ = false;
};

}  // namespace

ReplayOutcome replayJournal(const Model& model, const JournalStart& start, std::span<const JournalEntry> entries,
                            Raster& raster, const ReplayLimits& limits)
{
    return Replayer<Raster>(model, start, entries, raster, limits).replay();
}

ReplayOutcome replayJournal(const Model& model, const JournalStart& start, std::span<const JournalEntry> entries,
                            PointCanvas& canvas, const ReplayLimits& limits)
{
    return Replayer<PointCanvas>(model, start, entries, canvas, limits).replay();
}

}  // namespace vortiquo
