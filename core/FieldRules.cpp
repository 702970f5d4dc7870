#include "core/FieldRules.h"

#include <charconv>
#include <cmath>
#include <limits>

#include "core/ParseNumber.h"

namespace vortiquo {

namespace {

// alpha from num and den, with its cosine and sine.
void setAngle(SimulationState& state, double alpha)
{
    state.alpha = alpha;
    state.cosAlpha = std::cos(alpha);
    state.sinAlpha = std::sin(alpha);
}

// An edit of num or den divides first, then multiplies. While den is 0 (say
// the field was emptied on the way to a new number), or the quotient has no
// finite value, the view keeps its last angle.
void applyAngle(SimulationState& state)
{
    const double alpha = (state.num / state.den) * AngleConstant;
    if (state.den == 0.0 || !std::isfinite(alpha))
        return;
    setAngle(state, alpha);
}

void applyStepLimit(SimulationState& state, double value)
{
    if (value == 0.0) {
        state.limitOn = false;  // the last limit is kept for later
        return;
    }
    state.limitOn = true;
    state.stepLimit = roundToStepLimit(value);
}

}  // namespace

std::optional<Field> fieldNamed(std::string_view name)
{
    for (std::size_t index = 0; index < FieldCount; ++index)
        if (FieldNames[index] == name)
            return static_cast<Field>(index);
    return std::nullopt;
}

void applyFieldText(SimulationState& state, Field field, std::string_view text)
{
    const double value = ParseNumber(text);
    switch (field) {
    case Field::a: state.a = value; return;
    case Field::b: state.b = value; return;
    case Field::c: state.c = value; return;
    case Field::x0: state.x = value; return;
    case Field::y0: state.y = value; return;
    case Field::z0: state.z = value; return;
    case Field::dt: state.dt = value; return;
    case Field::termine: applyStepLimit(state, value); return;
    case Field::num:
        state.num = value;
        applyAngle(state);
        return;
    case Field::den:
        state.den = value;
        applyAngle(state);
        return;
    }
}

bool fieldEditOverrides(const SimulationState& after, Field field, std::string_view text)
{
    switch (field) {
    case Field::termine:
        return ParseNumber(text) != 0.0;
    case Field::num:
    case Field::den:
        return after.den != 0.0 && std::isfinite((after.num / after.den) * AngleConstant);
    default:
        return true;
    }
}

SimulationState loadedState(FieldTexts& texts, const LoadFacts& facts)
{
    const auto read = [&texts](Field field) {
        const auto& text = texts[static_cast<std::size_t>(field)];
        return text ? ParseNumber(*text) : 0.0;
    };
    SimulationState state;
    state.x = read(Field::x0);
    state.y = read(Field::y0);
    state.z = read(Field::z0);
    state.a = read(Field::a);
    state.b = read(Field::b);
    state.c = read(Field::c);
    if (facts.cWrittenAtLoad) {
        state.c = *facts.cWrittenAtLoad;
        if (auto& cText = texts[static_cast<std::size_t>(Field::c)]) {
            cText = fifteenDigits(state.c);
            state.c = read(Field::c);  // as cT's change handler reads the rewritten text
        }
    }
    state.dt = read(Field::dt);
    state.plotHeight = facts.plotHeight;
    state.plotWidth = facts.plotWidth;
    state.colourScheme = facts.colourScheme;
    if (texts[static_cast<std::size_t>(Field::num)] && texts[static_cast<std::size_t>(Field::den)]) {
        state.num = read(Field::num);
        state.den = read(Field::den);
        setAngle(state, (AngleConstant * state.num) / state.den);  // the load multiplies first
    }
    state.limitOn = false;
    return state;
}

std::string fifteenDigits(double value)
{
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 15);
    return std::string(buffer, result.ptr);
}

std::int32_t roundToStepLimit(double value)
{
    const double rounded = std::nearbyint(value);
    if (rounded <= std::numeric_limits<std::int32_t>::min())
        return std::numeric_limits<std::int32_t>::min();
    if (rounded >= std::numeric_limits<std::int32_t>::max())
        return std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(rounded);
}

SimulationState fieldStart(const SimulationState& state, const FieldTexts& texts)
{
    SimulationState start = state;
    for (const Field field : {Field::x0, Field::y0, Field::z0})
        if (const auto& text = texts[static_cast<std::size_t>(field)])
            applyFieldText(start, field, *text);
    return start;
}

}  // namespace vortiquo
