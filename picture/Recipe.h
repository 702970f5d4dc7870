#pragma once

#include <QByteArray>
#include <QColor>
#include <QString>
#include <cstdint>
#include <optional>
#include <vector>

#include "picture/Density.h"
#include "core/Journal.h"
#include "program/Program.h"

namespace vortiquo {

// What a saved picture carries so that it can be drawn again bit for bit:
// the window's journal since the picture was last erased, and how the
// picture was made. Stored as a versioned JSON document.
struct Recipe {
    const Program* program = nullptr;
    JournalStart start;
    std::vector<JournalEntry> entries;  // closed by a halt when saved during a run
    std::int64_t steps = 0;             // the steps a replay takes
    QColor background;                  // the background as it was painted
    double scale = 1;                   // device pixels per logical pixel of the picture, 1 to MaxScale
    PictureLook look;                   // points or density; absent from older recipes, which are points
};

// The largest scale of a picture.
inline constexpr double MaxScale = 16;

// The key of the PNG text chunk that holds the recipe.
inline constexpr char RecipeKey[] = "Vortiquo recipe";
inline constexpr int RecipeVersion = 1;

QByteArray recipeToJson(const Recipe& recipe);

// Reads a recipe of `program` from untrusted bytes: every size and count is
// bounded, every value checked, and nothing is returned unless all of it is
// sound. On failure `error` says why, in Italian.
std::optional<Recipe> recipeFromJson(const QByteArray& json, const Program& program, QString& error);

// What to say of a recipe found damaged, and why, in Italian.
QString damagedRecipe(const QString& why);

}  // namespace vortiquo
