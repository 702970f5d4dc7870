#include "picture/Recipe.h"
#include "picture/RecipeFormat.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <charconv>
#include <cmath>
#include <string>

namespace vortiquo {

namespace {

using namespace recipe_format;

// A double as the shortest text that reads back to the same bits, sign of
// zero included.
QString exactText(double value)
{
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return QString::fromLatin1(buffer, result.ptr - buffer);
}

QString fromStd(const std::string& text) { return QString::fromStdString(text); }
QString fieldKey(std::size_t index) { return QString::fromLatin1(FieldNames[index].data(), FieldNames[index].size()); }

QJsonObject textsToJson(const FieldTexts& texts)
{
    QJsonObject object;
    for (std::size_t index = 0; index < FieldCount; ++index)
        if (texts[index])
            object.insert(fieldKey(index), fromStd(*texts[index]));
    return object;
}

QJsonObject stateToJson(const SimulationState& state)
{
    QJsonObject object;
    for (const DoubleMember& entry : StateDoubles)
        object.insert(QLatin1String(entry.name), exactText(state.*entry.member));
    object.insert(QStringLiteral("colourScheme"), state.colourScheme);
    object.insert(QStringLiteral("stopRequested"), state.stopRequested);
    object.insert(QStringLiteral("limitOn"), state.limitOn);
    object.insert(QStringLiteral("stepLimit"), state.stepLimit);
    return object;
}

QJsonObject entryToJson(const JournalEntry& entry)
{
    QJsonObject object;
    if (entry.stamp != RunCounter::Idle)
        object.insert(QStringLiteral("at"), static_cast<double>(entry.stamp));
    object.insert(QStringLiteral("do"), QLatin1String(EntryKinds[static_cast<int>(entry.kind)]));
    switch (entry.kind) {
    case JournalEntry::Kind::field:
        object.insert(QStringLiteral("field"), fieldKey(static_cast<std::size_t>(entry.field)));
        object.insert(QStringLiteral("text"), fromStd(entry.text));
        break;
    case JournalEntry::Kind::via:
        object.insert(QStringLiteral("texts"), textsToJson(entry.texts));
        [[fallthrough]];
    case JournalEntry::Kind::scheme:
        object.insert(QStringLiteral("scheme"), entry.scheme);
        break;
    case JournalEntry::Kind::stop:
    case JournalEntry::Kind::halt:
        break;
    }
    return object;
}

// Written only for a picture other than the window's, so older recipes and
// plain pictures read the same.
QJsonObject lookToJson(const PictureLook& look)
{
    QJsonObject object;
    object.insert(QStringLiteral("mode"), QLatin1String(look.density ? "density" : "points"));
    if (look.density)
        object.insert(QStringLiteral("tone"), QLatin1String(ToneNames[static_cast<int>(look.tone)]));
    object.insert(QStringLiteral("supersample"), look.supersample);
    return object;
}

}  // namespace

QByteArray recipeToJson(const Recipe& recipe)
{
    QJsonObject run;
    run.insert(QStringLiteral("running"), recipe.start.run.running);
    run.insert(QStringLiteral("restarted"), recipe.start.run.restarted);
    run.insert(QStringLiteral("stepCount"), static_cast<double>(recipe.start.run.stepCount));
    QJsonObject start;
    start.insert(QStringLiteral("texts"), textsToJson(recipe.start.texts));
    start.insert(QStringLiteral("background"), recipe.start.backgroundOption);
    start.insert(QStringLiteral("state"), stateToJson(recipe.start.state));
    start.insert(QStringLiteral("run"), run);

    QJsonArray journal;
    for (const JournalEntry& entry : recipe.entries)
        journal.append(entryToJson(entry));

    QJsonObject picture;
    picture.insert(QStringLiteral("scale"), recipe.scale);
    picture.insert(QStringLiteral("background"), recipe.background.name(QColor::HexRgb));
    picture.insert(QStringLiteral("steps"), static_cast<double>(recipe.steps));
    if (!recipe.look.plain())
        picture.insert(QStringLiteral("look"), lookToJson(recipe.look));

    QJsonObject document;
    document.insert(QStringLiteral("format"), QLatin1String(FormatName));
    document.insert(QStringLiteral("version"), RecipeVersion);
    document.insert(QStringLiteral("program"), QLatin1String(recipe.program->name));
    // For people reading the recipe; it also makes Qt store the recipe as
    // UTF-8 text (an iTXt chunk), since the equations hold signs beyond Latin-1.
    if (const char* equations = recipe.program->layout->equations)
        document.insert(QStringLiteral("equations"), QString::fromUtf8(equations));
    document.insert(QStringLiteral("picture"), picture);
    document.insert(QStringLiteral("start"), start);
    document.insert(QStringLiteral("journal"), journal);
    return QJsonDocument(document).toJson(QJsonDocument::Indented);
}

}  // namespace vortiquo
