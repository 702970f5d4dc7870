#include "picture/SweepRecipe.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cmath>

namespace vortiquo {

namespace {

constexpr char FormatName[] = "Vortiquo sweep";
constexpr qsizetype MaxJsonBytes = 1024 * 1024;

QJsonArray pair(double first, double second)
{
    return QJsonArray{first, second};
}

const char* kindName(SweepRecipe::Kind kind)
{
    return kind == SweepRecipe::Kind::Plane ? "plane" : "orbits";
}

// Checks one document, keeping the first problem found.
class Reader {
public:
    explicit Reader(QString& error) : error_(error) {}

    bool fail(const QString& what)
    {
        if (error_.isEmpty())
            error_ = QStringLiteral("la ricetta dell'immagine è danneggiata (%1)").arg(what);
        return false;
    }
    bool failed() const { return !error_.isEmpty(); }

    // FROM, TO: two finite numbers with FROM < TO.
    bool range(const QJsonObject& object, const char* key, double& from, double& to)
    {
        const QJsonArray ends = object.value(QLatin1String(key)).toArray();
        from = ends.size() == 2 ? ends[0].toDouble(NAN) : NAN;
        to = ends.size() == 2 ? ends[1].toDouble(NAN) : NAN;
        if (!(std::isfinite(from) && std::isfinite(to) && from < to && std::isfinite(to - from)))
            return fail(QStringLiteral("«%1» non è un intervallo").arg(QLatin1String(key)));
        return true;
    }

    std::int64_t whole(const QJsonValue& value, const QString& what, double low, double high)
    {
        const double number = value.toDouble(NAN);
        if (!value.isDouble() || !(number >= low && number <= high) || std::floor(number) != number) {
            fail(QStringLiteral("«%1» non è un numero intero ammesso").arg(what));
            return static_cast<std::int64_t>(low);
        }
        return static_cast<std::int64_t>(number);
    }

    void edits(const QJsonArray& list, const Program& program, SweepRecipe& recipe)
    {
        if (list.size() > MaxSweepEdits) {
            fail(QStringLiteral("troppi campi"));
            return;
        }
        const FieldTexts fields = designTexts(*program.layout);
        for (const QJsonValue& item : list) {
            const QJsonArray edit = item.toArray();
            const QString name = edit.size() == 2 ? edit[0].toString() : QString();
            const QString text = edit.size() == 2 ? edit[1].toString() : QString();
            const std::optional<Field> field = fieldNamed(name.toStdString());
            if (!field || !fields[static_cast<std::size_t>(*field)] || *field == Field::termine ||
                !edit[1].isString() || text.size() > MaxSweepEditLength) {
                fail(QStringLiteral("un campo non è ammesso"));
                return;
            }
            recipe.edits.emplace_back(*field, text);
        }
    }

private:
    QString& error_;
};

}  // namespace

SweepRecipe SweepRecipe::whole() const
{
    SweepRecipe copy = *this;
    copy.tile = copy.tiles = 0;
    return copy;
}

bool SweepRecipe::sameWholeAs(const SweepRecipe& other) const
{
    return sweepRecipeToJson(whole()) == sweepRecipeToJson(other.whole());
}

Band bandOf(int tile, int tiles, int extent)
{
    const auto edge = [&](int index) {
        return static_cast<int>(static_cast<std::int64_t>(index) * extent / tiles);
    };
    return {edge(tile - 1), edge(tile)};
}

int bandExtent(const SweepRecipe& recipe)
{
    return recipe.kind == SweepRecipe::Kind::Plane ? recipe.height : recipe.width;
}

Band recipeBand(const SweepRecipe& recipe)
{
    return recipe.isTile() ? bandOf(recipe.tile, recipe.tiles, bandExtent(recipe)) : Band{0, bandExtent(recipe)};
}

QByteArray sweepRecipeToJson(const SweepRecipe& recipe)
{
    QJsonObject document{{"format", FormatName},
                         {"version", SweepRecipeVersion},
                         {"program", QLatin1String(recipe.program->name)},
                         {"kind", kindName(recipe.kind)},
                         {"size", QJsonArray{recipe.width, recipe.height}},
                         {"transient", static_cast<double>(recipe.transient)},
                         {"iterations", static_cast<double>(recipe.iterations)}};
    if (recipe.kind == SweepRecipe::Kind::Plane) {
        document.insert("a", pair(recipe.a0, recipe.a1));
        document.insert("b", pair(recipe.b0, recipe.b1));
    } else {
        document.insert("vary", QString(QLatin1Char(recipe.vary)));
        document.insert("range", pair(recipe.p0, recipe.p1));
        document.insert("x", pair(recipe.xLow, recipe.xHigh));
    }
    QJsonArray edits;
    for (const auto& [field, text] : recipe.edits) {
        const std::string_view name = fieldName(field);
        edits.append(QJsonArray{QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size())), text});
    }
    document.insert("set", edits);
    if (recipe.isTile())
        document.insert("tile", QJsonArray{recipe.tile, recipe.tiles});
    return QJsonDocument(document).toJson(QJsonDocument::Compact);
}

std::optional<SweepRecipe> sweepRecipeFromJson(const QByteArray& json, const Program& program, QString& error)
{
    error.clear();
    Reader reader(error);
    if (json.size() > MaxJsonBytes) {
        reader.fail(QStringLiteral("è troppo grande"));
        return std::nullopt;
    }
    QJsonParseError parsed;
    const QJsonObject document = QJsonDocument::fromJson(json, &parsed).object();
    if (parsed.error != QJsonParseError::NoError || document.value("format").toString() != FormatName) {
        reader.fail(QStringLiteral("non è una ricetta di esplorazione"));
        return std::nullopt;
    }
    if (document.value("version").toInt(-1) != SweepRecipeVersion) {
        error = QStringLiteral("la ricetta è di una versione di Vortiquo che questa non conosce; usate la versione "
                               "che l'ha scritta");
        return std::nullopt;
    }
    if (document.value("program").toString() != QLatin1String(program.name)) {
        error = QStringLiteral("l'immagine è di %1, non di %2; apritela con %1")
                    .arg(document.value("program").toString().left(64), QLatin1String(program.name));
        return std::nullopt;
    }
    SweepRecipe recipe;
    recipe.program = &program;
    const QString kind = document.value("kind").toString();
    if (kind != "plane" && kind != "orbits") {
        reader.fail(QStringLiteral("tipo sconosciuto"));
        return std::nullopt;
    }
    recipe.kind = kind == "plane" ? SweepRecipe::Kind::Plane : SweepRecipe::Kind::Orbits;
    const QJsonArray size = document.value("size").toArray();
    recipe.width = static_cast<int>(reader.whole(size.at(0), "size", 1, MaxSweepSide));
    recipe.height = static_cast<int>(reader.whole(size.at(1), "size", 1, MaxSweepSide));
    if (size.size() != 2)
        reader.fail(QStringLiteral("«size» non è una dimensione"));
    else if (qint64{recipe.width} * recipe.height > MaxSweepPixels)
        reader.fail(QStringLiteral("«size» supera %1 punti in tutto").arg(MaxSweepPixels));
    recipe.transient = reader.whole(document.value("transient"), "transient", 0, MaxSweepSteps);
    recipe.iterations = reader.whole(document.value("iterations"), "iterations", 1, MaxSweepSteps);
    if (recipe.kind == SweepRecipe::Kind::Plane) {
        reader.range(document, "a", recipe.a0, recipe.a1);
        reader.range(document, "b", recipe.b0, recipe.b1);
    } else {
        const QString vary = document.value("vary").toString();
        if (vary != "a" && vary != "b")
            reader.fail(QStringLiteral("«vary» non è a né b"));
        recipe.vary = vary == "b" ? 'b' : 'a';
        reader.range(document, "range", recipe.p0, recipe.p1);
        reader.range(document, "x", recipe.xLow, recipe.xHigh);
    }
    reader.edits(document.value("set").toArray(), program, recipe);
    if (document.contains("tile")) {
        const QJsonArray tile = document.value("tile").toArray();
        recipe.tiles = static_cast<int>(reader.whole(tile.at(1), "tile", 1, MaxSweepSide));
        recipe.tile = static_cast<int>(reader.whole(tile.at(0), "tile", 1, recipe.tiles));
        if (tile.size() != 2 || recipe.tiles > bandExtent(recipe))
            reader.fail(QStringLiteral("«tile» non è un posto ammesso"));
    }
    if (reader.failed())
        return std::nullopt;
    return recipe;
}

}  // namespace vortiquo
