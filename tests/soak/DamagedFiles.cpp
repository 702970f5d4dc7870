#include "DamagedFiles.h"

#include <QBuffer>
#include <QImage>

#include "shell/Recipe.h"

namespace soak {

namespace {

QByteArray withRecipeText(const QByteArray& saved, const QString& recipe)
{
    QImage picture = QImage::fromData(saved, "png");
    picture.setText(QString::fromLatin1(RecipeKey), recipe);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    picture.save(&buffer, "png");
    return bytes;
}

// One edit of the recipe's text, as a hand edit or a bad transfer makes it.
QString editedRecipe(QString recipe, Random& random, QString& what)
{
    if (recipe.isEmpty())
        return recipe;
    const int at = random.below(int(recipe.size()));
    switch (random.below(6)) {
    case 0:
        what = QStringLiteral("recipe cut at %1").arg(at);
        return recipe.left(at);
    case 1:
        what = QStringLiteral("recipe character %1 deleted").arg(at);
        return recipe.remove(at, 1);
    case 2:
        what = QStringLiteral("recipe character %1 replaced").arg(at);
        recipe[at] = QChar(char16_t(random.between(0x20, 0x7e)));
        return recipe;
    case 3: {
        // A digit changed: a stamp, a count, a parameter or a bit of the state.
        for (int tries = 0; tries < 64; ++tries) {
            const int place = random.below(int(recipe.size()));
            if (recipe[place].isDigit()) {
                what = QStringLiteral("recipe digit %1 changed").arg(place);
                recipe[place] = QChar(char16_t(u'0' + random.below(10)));
                return recipe;
            }
        }
        what = QStringLiteral("recipe unchanged (no digit found)");
        return recipe;
    }
    case 4:
        what = QStringLiteral("recipe number at %1 made huge").arg(at);
        return recipe.insert(at, QStringLiteral("9e999"));
    default:
        what = QStringLiteral("recipe text at %1 doubled").arg(at);
        return recipe.insert(at, recipe.mid(at, random.between(1, 200)));
    }
}

}  // namespace

Damage damagedCopy(const QByteArray& saved, Random& random)
{
    Damage damage{saved, {}};
    switch (random.below(6)) {
    case 0: {
        const int length = random.below(int(saved.size()));
        damage.bytes.truncate(length);
        damage.what = QStringLiteral("cut to %1 of %2 bytes").arg(length).arg(saved.size());
        break;
    }
    case 1: {
        const int count = random.between(1, 8);
        for (int i = 0; i < count && !damage.bytes.isEmpty(); ++i)
            damage.bytes[random.below(int(damage.bytes.size()))] = char(random.below(256));
        damage.what = QStringLiteral("%1 bytes changed").arg(count);
        break;
    }
    case 2:
    case 3: {
        const QString recipe = QImage::fromData(saved, "png").text(QString::fromLatin1(RecipeKey));
        damage.bytes = withRecipeText(saved, editedRecipe(recipe, random, damage.what));
        break;
    }
    case 4:
        damage.bytes.clear();
        damage.what = QStringLiteral("emptied");
        break;
    default:
        damage.bytes = QByteArray(random.between(1, 4096), '\0');
        for (char& byte : damage.bytes)
            byte = char(random.below(256));
        if (random.percent(50))
            damage.bytes.replace(0, 8, QByteArray("\x89PNG\r\n\x1a\n", 8));  // noise behind a true signature
        damage.what = QStringLiteral("noise of %1 bytes").arg(damage.bytes.size());
        break;
    }
    return damage;
}

}  // namespace soak
