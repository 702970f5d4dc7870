#pragma once

// What any reading of a recipe from untrusted bytes must give: nothing but an
// error said in Italian, or a whole recipe that keeps every bound, reads back
// as itself once written, and replays within a step budget to a sound end.

#include <QString>
#include <algorithm>
#include <cmath>
#include <optional>

#include "core/Journal.h"
#include "picture/Recipe.h"
#include "picture/Redraw.h"
#include "tests/fuzz/FuzzCheck.h"

using namespace vortiquo;

namespace recipe_checks {

// Enough steps to reach the entries of most journals the fuzzer makes,
// few enough that a recipe claiming a huge run costs a few milliseconds.
inline constexpr std::int64_t ReplayBudget = 20'000;

inline bool isItalianReason(const QString& error)
{
    // Every reason is a sentence of ours; Qt's and the JSON parser's English
    // texts begin with a capital, ours never do.
    return !error.isEmpty() && !error.front().isUpper();
}

inline void checkBounds(const Recipe& recipe, const Program& program)
{
    require(recipe.program == &program, "the recipe is the program's own");
    require(recipe.scale >= 1 && recipe.scale <= 16, "the scale is 1 to 16");
    require(recipe.steps >= 0, "the steps are not negative");
    require(recipe.look.supersample >= 1 && recipe.scale * recipe.look.supersample <= 16,
            "the drawing is at most 16 times the window's");
    require(recipe.entries.size() <= Journal::MaxEntries, "the journal keeps its bound");
    require(recipe.start.backgroundOption >= 7 && recipe.start.backgroundOption <= 12, "the background is Option7 to 12");
    require(recipe.start.state.colourScheme >= 1 && recipe.start.state.colourScheme <= 6, "the scheme is 1 to 6");
    require(recipe.background.isValid(), "the background colour is valid");
    const FieldTexts fields = designTexts(*program.layout);
    std::size_t textBytes = 0;
    for (std::size_t index = 0; index < FieldCount; ++index) {
        require(recipe.start.texts[index].has_value() == fields[index].has_value(), "the start has the window's texts");
        textBytes += recipe.start.texts[index].value_or("").size();
    }
    for (const JournalEntry& entry : recipe.entries) {
        textBytes += entry.text.size();
        if (entry.kind == JournalEntry::Kind::field)
            require(fields[static_cast<std::size_t>(entry.field)].has_value(), "an edit names a field of the window");
    }
    require(textBytes <= Journal::MaxTextBytes, "the texts keep their bound");
}

// Written and read again, a recipe is the same document.
inline void checkRoundTrip(const Recipe& recipe, const Program& program)
{
    const QByteArray written = recipeToJson(recipe);
    QString error;
    const std::optional<Recipe> again = recipeFromJson(written, program, error);
    require(again.has_value(), "a recipe the program wrote reads back");
    require(recipeToJson(*again) == written, "a recipe reads back as written");
}

inline void checkReplay(const Recipe& recipe, const Program& program)
{
    ReplayLimits limits;
    limits.maxSteps = std::min(recipe.steps, ReplayBudget);
    const Redrawn redrawn = redraw(program, recipe.start, recipe.entries, 1.0, limits);
    const ReplayOutcome& outcome = redrawn.outcome;
    require(outcome.steps >= 0 && outcome.steps <= limits.maxSteps, "a replay keeps to its budget");
    require(outcome.end != ReplayOutcome::End::cancelled, "a replay with no progress callback is never cancelled");
    require(redrawn.points.size() == drawingAreaSize(program), "the replay draws on the drawing area's size");
}

// One reading: an error, or a recipe that passes every check.
inline void checkReading(const std::optional<Recipe>& recipe, const QString& error, const Program& program)
{
    if (!recipe) {
        require(isItalianReason(error), "a failed reading says why, in Italian");
        return;
    }
    checkBounds(*recipe, program);
    checkRoundTrip(*recipe, program);
    checkReplay(*recipe, program);
}

}  // namespace recipe_checks
