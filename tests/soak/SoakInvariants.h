#pragma once

#include <QStringList>
#include <cstdint>

class SimulationForm;

namespace soak {

struct CheckCounts {
    std::int64_t checks = 0;
    std::int64_t fullReplays = 0;      // checks that redrew the picture from the journal
    std::int64_t incompleteJournal = 0; // checks that found the journal over its bounds
    std::int64_t longestReplay = 0;    // the most steps one replay took
};

// What must hold in a shown window after every action, whatever the action
// was: a colour scheme from 1 to 6; "Esci" disabled exactly while the exit
// panel shows; nothing infinite or NaN in the state; the fields showing the
// texts the state was computed from; and a journal that redraws the very
// picture on screen, steps and state included, unless it says it is
// incomplete. Returns each invariant that does not hold, described.
QStringList brokenInvariants(const SimulationForm& form, CheckCounts& counts);

}  // namespace soak
