// Reading a recipe from untrusted bytes. A saved picture may come from
// anywhere: every member is checked for its type and range, every size is
// bounded before anything is kept, and a recipe is returned only whole.
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <charconv>
#include <cmath>
#include <limits>

#include "picture/DensityPicture.h"
#include "picture/Recipe.h"
#include "picture/RecipeFormat.h"

namespace vortiquo {

namespace {

using namespace recipe_format;

// Checks one document, keeping the first problem found.
class Reader {
public:
    Reader(const Program& program) : program_(program), fields_(designTexts(*program.layout)) {}

    bool failed() const { return !problem_.isEmpty(); }
    const QString& problem() const { return problem_; }

    bool fail(const QString& what)
    {
        if (problem_.isEmpty())
            problem_ = what;
        return false;
    }

    QJsonObject object(const QJsonObject& parent, const char* key)
    {
        const QJsonValue value = parent.value(QLatin1String(key));
        if (!value.isObject())
            fail(QStringLiteral("manca «%1»").arg(QLatin1String(key)));
        return value.toObject();
    }

    bool boolean(const QJsonObject& parent, const char* key)
    {
        const QJsonValue value = parent.value(QLatin1String(key));
        if (!value.isBool())
            fail(QStringLiteral("«%1» non è vero o falso").arg(QLatin1String(key)));
        return value.toBool();
    }

    // A whole number in [low, high].
    std::int64_t whole(const QJsonObject& parent, const char* key, double low, double high)
    {
        const QJsonValue value = parent.value(QLatin1String(key));
        const double number = value.toDouble(std::nan(""));
        if (!value.isDouble() || !(number >= low && number <= high) || std::floor(number) != number) {
            fail(QStringLiteral("«%1» non è un numero intero ammesso").arg(QLatin1String(key)));
            return static_cast<std::int64_t>(low);
        }
        return static_cast<std::int64_t>(number);
    }

    // A number in [low, high].
    double number(const QJsonObject& parent, const char* key, double low, double high)
    {
        const double number = parent.value(QLatin1String(key)).toDouble(std::nan(""));
        if (!(number >= low && number <= high)) {
            fail(QStringLiteral("«%1» non è un numero ammesso").arg(QLatin1String(key)));
            return low;
        }
        return number;
    }

    // A finite double written as text, read back to the same bits.
    double exact(const QJsonObject& parent, const char* key)
    {
        const QByteArray text = parent.value(QLatin1String(key)).toString().toLatin1();
        double value = 0;
        const auto result = std::from_chars(text.constData(), text.constData() + text.size(), value);
        if (text.isEmpty() || result.ec != std::errc() || result.ptr != text.constData() + text.size() ||
            !std::isfinite(value))
            fail(QStringLiteral("«%1» non è un numero finito").arg(QLatin1String(key)));
        return value;
    }

    // A text of a field, counted against the bound on all texts.
    std::string text(const QJsonValue& value, const QString& what)
    {
        if (!value.isString()) {
            fail(QStringLiteral("il testo di %1 manca").arg(what));
            return {};
        }
        std::string text = value.toString().toStdString();
        textBytes_ += text.size();
        if (textBytes_ > Journal::MaxTextBytes)
            fail(QStringLiteral("i testi sono troppo lunghi"));
        return text;
    }

    // A field of the program's window, by its name.
    std::optional<Field> windowField(const QString& name)
    {
        const auto field = fieldNamed(name.toStdString());
        if (field && fields_[static_cast<std::size_t>(*field)])
            return field;
        fail(QStringLiteral("il campo «%1» non esiste in questa finestra").arg(name.left(40)));
        return std::nullopt;
    }

    // Every field of the program's window, and no other.
    FieldTexts texts(const QJsonObject& parent, const char* key)
    {
        const QJsonObject object = this->object(parent, key);
        FieldTexts texts;
        for (auto it = object.begin(); it != object.end(); ++it)
            if (const auto field = windowField(it.key()))
                texts[static_cast<std::size_t>(*field)] = text(it.value(), it.key());
        for (std::size_t index = 0; index < FieldCount; ++index)
            if (fields_[index].has_value() != texts[index].has_value())
                fail(QStringLiteral("manca il testo di un campo"));
        return texts;
    }

    SimulationState state(const QJsonObject& parent)
    {
        const QJsonObject object = this->object(parent, "state");
        const LoadFacts facts = loadFacts(program_);
        SimulationState state;
        for (const DoubleMember& entry : StateDoubles)
            state.*entry.member = exact(object, entry.name);
        state.colourScheme = static_cast<std::int16_t>(whole(object, "colourScheme", 1, 6));
        state.stopRequested = boolean(object, "stopRequested");
        state.limitOn = boolean(object, "limitOn");
        state.stepLimit = static_cast<std::int32_t>(whole(object, "stepLimit", std::numeric_limits<std::int32_t>::min(),
                                                          std::numeric_limits<std::int32_t>::max()));
        state.plotWidth = facts.plotWidth;
        state.plotHeight = facts.plotHeight;
        return state;
    }

    RunCounter run(const QJsonObject& parent)
    {
        const QJsonObject object = this->object(parent, "run");
        RunCounter run;
        run.running = boolean(object, "running");
        run.restarted = boolean(object, "restarted");
        run.stepCount = whole(object, "stepCount", 0, LargestWhole);
        if (run.restarted && !run.running)
            fail(QStringLiteral("una corsa riavviata non è in corso"));
        return run;
    }

    JournalEntry entry(const QJsonValue& value)
    {
        JournalEntry entry;
        const QJsonObject object = value.toObject();
        if (!value.isObject())
            fail(QStringLiteral("una voce del giornale non è un oggetto"));
        if (object.contains(QLatin1String("at")))
            entry.stamp = whole(object, "at", 0, LargestWhole);
        const QString kind = object.value(QLatin1String("do")).toString();
        const auto known = std::find_if(std::begin(EntryKinds), std::end(EntryKinds),
                                        [&](const char* name) { return kind == QLatin1String(name); });
        if (known == std::end(EntryKinds)) {
            fail(QStringLiteral("una voce del giornale è di un tipo sconosciuto"));
            return entry;
        }
        entry.kind = static_cast<JournalEntry::Kind>(known - std::begin(EntryKinds));
        switch (entry.kind) {
        case JournalEntry::Kind::field: {
            const QString name = object.value(QLatin1String("field")).toString();
            if (const auto field = windowField(name))
                entry.field = *field;
            entry.text = text(object.value(QLatin1String("text")), name.left(40));
            break;
        }
        case JournalEntry::Kind::via:
            entry.texts = texts(object, "texts");
            [[fallthrough]];
        case JournalEntry::Kind::scheme:
            entry.scheme = static_cast<std::int16_t>(whole(object, "scheme", 1, 6));
            break;
        case JournalEntry::Kind::stop:
        case JournalEntry::Kind::halt:
            break;
        }
        return entry;
    }

    // How the picture was made, when it is not as the window draws it.
    PictureLook look(const QJsonObject& picture, double scale)
    {
        PictureLook look;
        if (!picture.contains(QLatin1String("look")))
            return look;
        const QJsonObject object = this->object(picture, "look");
        const QString mode = object.value(QLatin1String("mode")).toString();
        if (mode != QLatin1String("points") && mode != QLatin1String("density"))
            fail(QStringLiteral("il modo dell'immagine è sconosciuto"));
        look.density = mode == QLatin1String("density");
        if (look.density) {
            const QString tone = object.value(QLatin1String("tone")).toString();
            const auto known = std::find_if(std::begin(ToneNames), std::end(ToneNames),
                                            [&](const char* name) { return tone == QLatin1String(name); });
            if (known == std::end(ToneNames))
                fail(QStringLiteral("la tonalità della densità è sconosciuta"));
            else
                look.tone = static_cast<Tone>(known - std::begin(ToneNames));
        }
        look.supersample = static_cast<int>(whole(object, "supersample", 1, MostSupersample));
        if (!drawingFits(scale, look.supersample))
            fail(QStringLiteral("la scala per il sovracampionamento supera 16"));
        return look;
    }

private:
    const Program& program_;
    const FieldTexts fields_;  // the window's fields, by their design texts
    std::size_t textBytes_ = 0;
    QString problem_;
};

}  // namespace

QString damagedRecipe(const QString& why)
{
    return QStringLiteral("la ricetta dell'immagine è danneggiata (%1)").arg(why);
}

std::optional<Recipe> recipeFromJson(const QByteArray& json, const Program& program, QString& error)
{
    if (json.size() > MaxRecipeBytes) {
        error = damagedRecipe(QStringLiteral("è troppo grande"));
        return std::nullopt;
    }
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(json, &parseError);
    if (!document.isObject()) {
        error = damagedRecipe(QStringLiteral("non è un documento JSON valido"));
        return std::nullopt;
    }
    const QJsonObject root = document.object();
    if (root.value(QLatin1String("format")).toString() != QLatin1String(FormatName)) {
        error = damagedRecipe(QStringLiteral("non è una ricetta di Vortiquo"));
        return std::nullopt;
    }
    const QJsonValue version = root.value(QLatin1String("version"));
    if (!version.isDouble() || version.toDouble() != RecipeVersion) {
        error = QStringLiteral("la ricetta è di una versione sconosciuta (%1); questa versione del programma "
                               "legge solo la versione %2")
                    .arg(version.isDouble() ? QString::number(version.toDouble()) : QStringLiteral("?"))
                    .arg(RecipeVersion);
        return std::nullopt;
    }
    const QString maker = root.value(QLatin1String("program")).toString();
    if (maker != QLatin1String(program.name)) {
        error = QStringLiteral("l'immagine è stata fatta con %1, non con %2: apritela con %1")
                    .arg(maker.isEmpty() ? QStringLiteral("un altro programma") : maker.left(40),
                         QLatin1String(program.name));
        return std::nullopt;
    }

    Reader reader(program);
    Recipe recipe;
    recipe.program = &program;
    const QJsonObject picture = reader.object(root, "picture");
    recipe.scale = reader.number(picture, "scale", 1, MaxScale);
    recipe.steps = reader.whole(picture, "steps", 0, LargestWhole);
    recipe.look = reader.look(picture, recipe.scale);
    recipe.background = QColor(picture.value(QLatin1String("background")).toString().left(16));
    if (!recipe.background.isValid())
        reader.fail(QStringLiteral("il colore dello sfondo non è valido"));

    const QJsonObject start = reader.object(root, "start");
    recipe.start.texts = reader.texts(start, "texts");
    recipe.start.backgroundOption = static_cast<int>(reader.whole(start, "background", 7, 12));
    recipe.start.state = reader.state(start);
    recipe.start.run = reader.run(start);

    const QJsonValue journal = root.value(QLatin1String("journal"));
    const QJsonArray entries = journal.toArray();
    if (!journal.isArray() || static_cast<std::size_t>(entries.size()) > Journal::MaxEntries)
        reader.fail(QStringLiteral("il giornale manca o è troppo lungo"));
    for (qsizetype index = 0; index < entries.size() && !reader.failed(); ++index)
        recipe.entries.push_back(reader.entry(entries[index]));

    if (reader.failed()) {
        error = damagedRecipe(reader.problem());
        return std::nullopt;
    }
    return recipe;
}

}  // namespace vortiquo
