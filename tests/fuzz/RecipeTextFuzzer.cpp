// Any bytes as the recipe text of a saved picture, read by every program:
// the JSON checks are reached on every input, not only when a mutation of a
// whole PNG file happens to leave its compressed picture readable. The same
// bytes as a sweep's recipe: one that is accepted is written out and must
// read back to the same document.
#include <cstdlib>

#include "apps/Programs.h"
#include "picture/SweepRecipe.h"
#include "tests/fuzz/RecipeChecks.h"

using namespace vortiquo;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray json(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    for (const Program& program : allPrograms()) {
        QString error;
        const std::optional<Recipe> recipe = recipeFromJson(json, program, error);
        recipe_checks::checkReading(recipe, error, program);
        const std::optional<SweepRecipe> sweep = sweepRecipeFromJson(json, program, error);
        if (!sweep)
            continue;
        const QByteArray written = sweepRecipeToJson(*sweep);
        const std::optional<SweepRecipe> again = sweepRecipeFromJson(written, program, error);
        if (!again || sweepRecipeToJson(*again) != written)
            std::abort();
    }
    return 0;
}
