#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/FieldRules.h"
#include "core/RunCounter.h"
#include "core/SimulationState.h"

namespace vortiquo {

// The window as its picture was last erased (by the load, "Cancella" or a
// background change): everything a replay needs to go on from there.
struct JournalStart {
    SimulationState state;
    RunCounter run;          // a run may be going on when the picture is erased
    FieldTexts texts;        // the fields' texts
    int backgroundOption = 8;  // the selected background, Option7 to Option12
};

// One handler call that changed what the picture becomes. Its stamp is
// RunCounter::stamp() when it ran: Idle, or the steps the current run had
// taken, so a replay applies it between the same two steps.
struct JournalEntry {
    // halt: the run was cut off there, with no further step, because the
    // picture was taken (saved in the middle of a run, or opened from a
    // file saved so); later entries find no run going.
    enum class Kind : std::uint8_t { field, scheme, via, stop, halt };
    std::int64_t stamp = RunCounter::Idle;
    Kind kind = Kind::field;
    Field field = Field::a;          // field: which one
    std::string text;                // field: its new text
    std::int16_t scheme = 1;         // scheme: the new scheme; via: the scheme at that moment
    FieldTexts texts;                // via: every field's text at that moment
};

// Everything that happened to a window's picture since it was last erased,
// handler call by handler call; nothing per step. Keystrokes into one field
// between the same two steps merge into one entry where that loses nothing.
// The journal keeps to fixed bounds; beyond them it stops recording and says
// it is incomplete, since a replay of it could no longer redraw the picture.
class Journal {
public:
    // The most entries a saved journal holds, and a reader accepts.
    static constexpr std::size_t MaxEntries = 50'000;
    // The most the journal records itself. A picture saved during a run
    // closes the journal with a halt (entriesUntil), so one place is kept
    // for it: everything the journal calls complete reads back. (Letting the
    // reader take one more entry when the last is a halt would work too, but
    // would give files two bounds where one will do.)
    static constexpr std::size_t MaxRecorded = MaxEntries - 1;
    static constexpr std::size_t MaxTextBytes = 4'000'000;

    void restart(JournalStart start);

    // `overrides` tells whether the new text writes every member that an
    // edit of the field can write (fieldEditOverrides), so that an earlier
    // edit of the same field at the same stamp may be forgotten.
    void recordField(std::int64_t stamp, Field field, std::string_view text, bool overrides);
    void recordScheme(std::int64_t stamp, std::int16_t scheme);
    void recordVia(std::int64_t stamp, const FieldTexts& texts, std::int16_t scheme);
    void recordStop(std::int64_t stamp);
    // Takes over the entries of a journal read from a file.
    void restart(JournalStart start, std::vector<JournalEntry> entries);

    const JournalStart& start() const { return start_; }
    const std::vector<JournalEntry>& entries() const { return entries_; }
    // The entries as they stand now, closed by a halt when a run goes on,
    // so that a replay draws exactly the picture of this moment.
    std::vector<JournalEntry> entriesUntil(const RunCounter& run) const;
    bool complete() const { return complete_; }

private:
    bool makeRoom(std::size_t textBytes);

    JournalStart start_;
    std::vector<JournalEntry> entries_;
    std::size_t textBytes_ = 0;
    bool complete_ = true;
};

// The fields' texts after the entries, starting from `texts`.
FieldTexts textsAfter(FieldTexts texts, const std::vector<JournalEntry>& entries);

// The bytes of text a FieldTexts holds.
std::size_t textBytes(const FieldTexts& texts);

}  // namespace vortiquo
