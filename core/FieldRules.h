#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/SimulationState.h"

namespace vortiquo {

// The parameter fields of a window and what each does to the state when its
// text changes. The window's change handlers, the replay of a journal and the
// headless renderer all apply edits through these rules.

enum class Field : std::uint8_t { a, b, c, x0, y0, z0, dt, termine, num, den };
inline constexpr std::size_t FieldCount = 10;

// Object names of the fields, in the order of Field.
inline constexpr std::array<std::string_view, FieldCount> FieldNames = {
    "aT", "bT", "cT", "x0T", "y0T", "z0T", "dtT", "termineT", "numT", "denT",
};

inline constexpr std::string_view fieldName(Field field) { return FieldNames[static_cast<std::size_t>(field)]; }
std::optional<Field> fieldNamed(std::string_view name);

// The text of each field a window has; a field the window lacks has none.
using FieldTexts = std::array<std::optional<std::string>, FieldCount>;

// The field's text parsed and written into the state: a plain value, the
// step limit, or a side of the view angle with the angle recomputed.
void applyFieldText(SimulationState& state, Field field, std::string_view text);

// Whether the edit just applied (`after` is the state it left) wrote every
// member that an edit of the field can write. If so, an earlier edit of the
// same field between the same two steps left no trace and may be forgotten.
// It did not when the step limit was turned off (the last limit is kept) or
// when the view angle had no value (the last angle is kept).
bool fieldEditOverrides(const SimulationState& after, Field field, std::string_view text);

// The state an analysis of the window starts from: the parameters and Δt of
// `state`, and the point that the fields x0, y0 (and z0) show. During a run
// the state's own point is the run's current one, so the point is read from
// the fields' texts.
SimulationState fieldStart(const SimulationState& state, const FieldTexts& texts);

// What a window does to its state at load, apart from its controls.
struct LoadFacts {
    float plotWidth = 0, plotHeight = 0;  // Grafico's size in twips
    std::int16_t colourScheme = 1;
    // A c that the load computes and writes back into cT as text, or none
    // when c is read from cT.
    std::optional<double> cWrittenAtLoad;
};

// The state after load, from the design texts. The text that the load writes
// into cT, if any, goes into `texts`, and c is read back from it as the
// field's change handler reads it.
SimulationState loadedState(FieldTexts& texts, const LoadFacts& facts);

// A value written with 15 significant digits and a full stop, whatever the
// locale, as the load writes c.
std::string fifteenDigits(double value);

// The step limit a number gives: the nearest whole number, ties to even,
// held in 32 bits (values beyond the range saturate to it).
std::int32_t roundToStepLimit(double value);

}  // namespace vortiquo
