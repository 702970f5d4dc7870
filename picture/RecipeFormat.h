#pragma once

// The shape of a recipe document, shared by its writer and its reader.

#include "core/SimulationState.h"

namespace vortiquo {

namespace recipe_format {

inline constexpr char FormatName[] = "Vortiquo recipe";
// Whole numbers in the document are JSON numbers, exact up to 2^53.
inline constexpr double LargestWhole = 9007199254740992.0;
// Qt writes every long text compressed, and libpng drops a compressed text
// that grows past 8,000,000 bytes when read: a bigger recipe would be saved
// but never read back. This bound, with room for the chunk's own words,
// holds for writing and reading alike.
inline constexpr long long MaxRecipeBytes = 7'900'000;

// The members of the state that a replay reads before writing them; the
// others (the next point, the derivative, the screen coordinates) are
// written first, and the drawing area's size comes from the program.
struct DoubleMember {
    const char* name;
    double SimulationState::*member;
};
inline constexpr DoubleMember StateDoubles[] = {
    {"x", &SimulationState::x},         {"y", &SimulationState::y},         {"z", &SimulationState::z},
    {"a", &SimulationState::a},         {"b", &SimulationState::b},         {"c", &SimulationState::c},
    {"dt", &SimulationState::dt},       {"num", &SimulationState::num},     {"den", &SimulationState::den},
    {"alpha", &SimulationState::alpha}, {"cosAlpha", &SimulationState::cosAlpha},
    {"sinAlpha", &SimulationState::sinAlpha},
};

// The names of JournalEntry::Kind, in its order.
inline constexpr const char* EntryKinds[] = {"field", "scheme", "via", "stop", "halt"};

// The names of Tone, in its order.
inline constexpr const char* ToneNames[] = {"log", "equalize"};

}  // namespace recipe_format

}  // namespace vortiquo
