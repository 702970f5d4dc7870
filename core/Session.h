#pragma once

#include <cstdint>
#include <string>

#include "core/FieldRules.h"
#include "core/Journal.h"
#include "core/Model.h"
#include "core/RunCounter.h"
#include "core/SimulationState.h"

namespace vortiquo {

// What the handlers of one window do to its state, its run and its journal,
// apart from the controls themselves. The window calls it from every
// handler; the headless renderer drives one with the command line's edits,
// so both make their pictures by the same rules.
class Session {
public:
    Session() = default;
    // The window just loaded: its state, its fields' texts, its background option.
    Session(const Model& model, const SimulationState& loaded, const FieldTexts& texts, int backgroundOption);
    // A picture opened from a file: the journal that drew it, and where its
    // replay ended (`steps` steps in all, no run going).
    Session(const Model& model, const JournalStart& start, std::vector<JournalEntry> entries,
            const SimulationState& ended, std::int64_t steps);

    SimulationState& state() { return state_; }
    const SimulationState& state() const { return state_; }
    RunCounter& run() { return run_; }
    const RunCounter& run() const { return run_; }
    const Journal& journal() const { return journal_; }
    const FieldTexts& texts() const { return texts_; }
    int backgroundOption() const { return backgroundOption_; }
    // Steps drawn since the picture was last erased: what a replay takes.
    std::int64_t stepsDrawn() const { return stepsDrawn_; }
    // The run loop counts each step it draws.
    void countStep() { ++stepsDrawn_; }
    void countSteps(std::int64_t steps) { stepsDrawn_ += steps; }

    // A field's text changed (typed, pasted, or set by the program).
    void editField(Field field, const std::string& text);
    // Option1 to Option6.
    void chooseScheme(std::int16_t scheme);
    // Option7 to Option12: the background changes and the picture is erased.
    void chooseBackground(int option);
    // "Cancella": the picture is erased.
    void clearPicture();
    // "Via": true when the caller must now run the loop, false when the run
    // going on restarts in place.
    bool via();
    // "Stop".
    void stop();
    // Everything the picture of this moment needs for a replay.
    JournalStart journalStart() const { return journal_.start(); }
    std::vector<JournalEntry> journalUntilNow() const { return journal_.entriesUntil(run_); }

private:
    void restartJournal();

    const Model* model_ = nullptr;
    SimulationState state_;
    RunCounter run_;
    FieldTexts texts_;
    int backgroundOption_ = 8;
    std::int64_t stepsDrawn_ = 0;
    Journal journal_;
};

}  // namespace vortiquo
