#include "picture/SweepRecipe.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>
#include <cmath>
#include <limits>
#include <string>
#include <string_view>

namespace vortiquo {

namespace {

constexpr char FormatName[] = "Vortiquo sweep";
constexpr qsizetype MaxJsonBytes = 1024 * 1024;

QJsonArray pair(double first, double second)
{
    return QJsonArray{first, second};
}

constexpr const char* KindNames[] = {"plane", "orbits", "maxima", "section"};

const char* kindName(SweepRecipe::Kind kind)
{
    return KindNames[static_cast<std::size_t>(kind)];
}

QString letter(char name)
{
    return QString(QLatin1Char(name));
}

// The coordinates other than `of`, in the order x, y, z: the section's axes.
std::pair<char, char> otherCoordinates(char of)
{
    return of == 'x' ? std::pair{'y', 'z'} : of == 'y' ? std::pair{'x', 'z'} : std::pair{'x', 'y'};
}

// The key of the durations' second number: a map counts iterations, a flow
// a duration in units of time.
const char* durationKey(const Program& program)
{
    return timedProgram(program) ? "duration" : "iterations";
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

    // One of `allowed`'s letters under `key`.
    char letterOf(const QJsonObject& object, const char* key, const char* allowed)
    {
        const QString text = object.value(QLatin1String(key)).toString();
        if (text.size() != 1 || std::string_view(allowed).find(text.at(0).toLatin1()) == std::string_view::npos ||
            text.at(0).unicode() > 127) {
            fail(QStringLiteral("«%1» non è ammesso").arg(QLatin1String(key)));
            return allowed[0];
        }
        return text.at(0).toLatin1();
    }

    // A finite number in [low, high] (above low when `aboveLow`).
    double number(const QJsonValue& value, const char* what, double low, double high, bool aboveLow = false)
    {
        const double number = value.toDouble(NAN);
        if (!value.isDouble() || !(number >= low && number <= high) || (aboveLow && number == low)) {
            fail(QStringLiteral("«%1» non è un numero ammesso").arg(QLatin1String(what)));
            return low;
        }
        return number;
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

// The parts that differ from kind to kind, in both directions.
void writeKind(const SweepRecipe& recipe, int version, QJsonObject& document)
{
    switch (recipe.kind) {
    case SweepRecipe::Kind::Plane:
        if (version > 1) {
            document.insert("across", letter(recipe.acrossParameter));
            document.insert("up", letter(recipe.upParameter));
        }
        document.insert(letter(recipe.acrossParameter), pair(recipe.across0, recipe.across1));
        document.insert(letter(recipe.upParameter), pair(recipe.up0, recipe.up1));
        return;
    case SweepRecipe::Kind::Orbits:
        if (version > 1)
            document.insert("of", letter(recipe.of));
        document.insert("vary", letter(recipe.vary));
        document.insert("range", pair(recipe.across0, recipe.across1));
        document.insert(letter(recipe.of), pair(recipe.up0, recipe.up1));
        return;
    case SweepRecipe::Kind::Maxima:
        document.insert("of", letter(recipe.of));
        if (!recipe.fitted)
            document.insert("values", pair(recipe.across0, recipe.across1));
        return;
    case SweepRecipe::Kind::Section:
        document.insert("at", letter(recipe.of));
        document.insert("level", recipe.level);
        document.insert("direction", recipe.upward ? "up" : "down");
        if (!recipe.fitted) {
            const auto [first, second] = otherCoordinates(recipe.of);
            document.insert(letter(first), pair(recipe.across0, recipe.across1));
            document.insert(letter(second), pair(recipe.up0, recipe.up1));
        }
        return;
    }
}

void readKind(Reader& reader, const QJsonObject& document, int version, const char* parameters,
              const char* coordinates, SweepRecipe& recipe)
{
    switch (recipe.kind) {
    case SweepRecipe::Kind::Plane: {
        recipe.acrossParameter = version > 1 ? reader.letterOf(document, "across", parameters) : 'a';
        recipe.upParameter = version > 1 ? reader.letterOf(document, "up", parameters) : 'b';
        if (recipe.acrossParameter == recipe.upParameter)
            reader.fail(QStringLiteral("«across» e «up» sono lo stesso parametro"));
        const std::string across(1, recipe.acrossParameter), up(1, recipe.upParameter);
        reader.range(document, across.c_str(), recipe.across0, recipe.across1);
        reader.range(document, up.c_str(), recipe.up0, recipe.up1);
        return;
    }
    case SweepRecipe::Kind::Orbits: {
        recipe.vary = reader.letterOf(document, "vary", parameters);
        recipe.of = version > 1 ? reader.letterOf(document, "of", coordinates) : 'x';
        const std::string of(1, recipe.of);
        reader.range(document, "range", recipe.across0, recipe.across1);
        reader.range(document, of.c_str(), recipe.up0, recipe.up1);
        return;
    }
    case SweepRecipe::Kind::Maxima:
        recipe.of = reader.letterOf(document, "of", coordinates);
        recipe.fitted = !document.contains("values");
        if (!recipe.fitted) {
            reader.range(document, "values", recipe.across0, recipe.across1);
            recipe.up0 = recipe.across0, recipe.up1 = recipe.across1;
        }
        return;
    case SweepRecipe::Kind::Section: {
        recipe.of = reader.letterOf(document, "at", coordinates);
        recipe.level = reader.number(document.value("level"), "level", -std::numeric_limits<double>::max(),
                                     std::numeric_limits<double>::max());
        const QString direction = document.value("direction").toString();
        if (direction != "up" && direction != "down")
            reader.fail(QStringLiteral("«direction» non è up né down"));
        recipe.upward = direction != "down";
        const auto [first, second] = otherCoordinates(recipe.of);
        const std::string firstKey(1, first), secondKey(1, second);
        recipe.fitted = !document.contains(QLatin1String(firstKey.c_str())) &&
                        !document.contains(QLatin1String(secondKey.c_str()));
        if (!recipe.fitted) {
            reader.range(document, firstKey.c_str(), recipe.across0, recipe.across1);
            reader.range(document, secondKey.c_str(), recipe.up0, recipe.up1);
        }
        return;
    }
    }
}

}  // namespace

bool timedProgram(const Program& program)
{
    return program.model->coordinates == 3;  // the flows: three coordinates, integrated in time
}

int sweepRecipeVersion(const SweepRecipe& recipe)
{
    const bool mapPlane = recipe.kind == SweepRecipe::Kind::Plane && recipe.acrossParameter == 'a' &&
                          recipe.upParameter == 'b';
    const bool mapDiagram = recipe.kind == SweepRecipe::Kind::Orbits && recipe.of == 'x';
    return !timedProgram(*recipe.program) && (mapPlane || mapDiagram) ? 1 : 2;
}

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
    return recipe.kind == SweepRecipe::Kind::Orbits ? recipe.width : recipe.height;
}

Band recipeBand(const SweepRecipe& recipe)
{
    return recipe.isTile() ? bandOf(recipe.tile, recipe.tiles, bandExtent(recipe)) : Band{0, bandExtent(recipe)};
}

QByteArray sweepRecipeToJson(const SweepRecipe& recipe)
{
    const int version = sweepRecipeVersion(recipe);
    QJsonObject document{{"format", FormatName},
                         {"version", version},
                         {"program", QLatin1String(recipe.program->name)},
                         {"kind", kindName(recipe.kind)},
                         {"size", QJsonArray{recipe.width, recipe.height}},
                         {"transient", recipe.transient},
                         {durationKey(*recipe.program), recipe.duration}};
    writeKind(recipe, version, document);
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
    const int version = document.value("version").toInt(-1);
    if (version < 1 || version > SweepRecipeVersion) {
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
    const bool timed = timedProgram(program);
    const QString kind = document.value("kind").toString();
    const auto known = std::find(std::begin(KindNames), std::end(KindNames), kind);
    // Version 1 knew the plane and the diagram; a map is its own section.
    const auto kinds = version == 1 || !timed ? 2 : 4;
    if (known - std::begin(KindNames) >= kinds) {
        reader.fail(QStringLiteral("tipo sconosciuto"));
        return std::nullopt;
    }
    recipe.kind = static_cast<SweepRecipe::Kind>(known - std::begin(KindNames));
    const QJsonArray size = document.value("size").toArray();
    recipe.width = static_cast<int>(reader.whole(size.at(0), "size", 1, MaxSweepSide));
    recipe.height = static_cast<int>(reader.whole(size.at(1), "size", 1, MaxSweepSide));
    if (size.size() != 2)
        reader.fail(QStringLiteral("«size» non è una dimensione"));
    if (timed) {
        recipe.transient = reader.number(document.value("transient"), "transient", 0, MaxSweepTime);
        recipe.duration = reader.number(document.value("duration"), "duration", 0, MaxSweepTime, true);
    } else {
        recipe.transient = static_cast<double>(reader.whole(document.value("transient"), "transient", 0, MaxSweepSteps));
        recipe.duration =
            static_cast<double>(reader.whole(document.value("iterations"), "iterations", 1, MaxSweepSteps));
    }
    readKind(reader, document, version, timed ? "abc" : "ab", timed ? "xyz" : "xy", recipe);
    reader.edits(document.value("set").toArray(), program, recipe);
    if (document.contains("tile")) {
        const QJsonArray tile = document.value("tile").toArray();
        recipe.tiles = static_cast<int>(reader.whole(tile.at(1), "tile", 1, MaxSweepSide));
        recipe.tile = static_cast<int>(reader.whole(tile.at(0), "tile", 1, recipe.tiles));
        if (tile.size() != 2 || recipe.tiles > bandExtent(recipe) || recipe.oneOrbit())
            reader.fail(QStringLiteral("«tile» non è un posto ammesso"));
    }
    if (reader.failed())
        return std::nullopt;
    return recipe;
}

}  // namespace vortiquo
