#include "cli/CommandReaders.h"

#include <QLocale>
#include <QRegularExpression>
#include <cmath>

namespace vortiquo {

std::optional<qint64> wholeNumber(const QString& text)
{
    static const QRegularExpression digits("^[0-9]+$");
    bool fits = false;
    const qint64 value = text.toLongLong(&fits);
    if (!digits.match(text).hasMatch() || !fits)
        return std::nullopt;
    return value;
}

QString readWhole(const QString& name, const QString& text, qint64 least, qint64 most, qint64& value)
{
    const std::optional<qint64> number = wholeNumber(text);
    if (!number || *number < least || *number > most)
        return QString("--%1 vuole un numero intero da %2 a %3, non «%4»").arg(name).arg(least).arg(most).arg(text);
    value = *number;
    return {};
}

QString readDecimal(const QString& name, const QString& text, double& value)
{
    static const QRegularExpression decimal(R"(^-?([0-9]+\.?[0-9]*|\.[0-9]+)([eE][-+]?[0-9]+)?$)");
    bool read = false;
    const double number = QLocale::c().toDouble(text, &read);
    if (!decimal.match(text).hasMatch() || !read || !std::isfinite(number))
        return QString("--%1 vuole un numero decimale con il punto, come -0.5, non «%2»").arg(name, text);
    value = number;
    return {};
}

QString readRange(const QString& name, const QString& text, double& from, double& to)
{
    // The colon that splits the range is the one not inside an exponent or
    // a sign: there is exactly one.
    const QStringList ends = text.split(':');
    double first = 0, second = 0;
    if (ends.size() != 2 || !readDecimal(name, ends[0], first).isEmpty() ||
        !readDecimal(name, ends[1], second).isEmpty() || !(first < second))
        return QString("--%1 vuole DA:A, due numeri con DA minore di A, come -0.5:0.3, non «%2»").arg(name, text);
    from = first;
    to = second;
    return {};
}

QString readSize(const QString& name, const QString& text, int most, int& width, int& height)
{
    const QStringList sides = text.split('x');
    const std::optional<qint64> across = sides.size() == 2 ? wholeNumber(sides[0]) : std::nullopt;
    const std::optional<qint64> down = sides.size() == 2 ? wholeNumber(sides[1]) : std::nullopt;
    if (!across || !down || *across < 1 || *down < 1 || *across > most || *down > most)
        return QString("--%1 vuole LARGHEZZAxALTEZZA, due interi da 1 a %2, come 512x512, non «%3»")
            .arg(name)
            .arg(most)
            .arg(text);
    width = int(*across);
    height = int(*down);
    return {};
}

QString firstError(const QStringList& answers)
{
    for (const QString& answer : answers)
        if (!answer.isEmpty())
            return answer;
    return {};
}

QStringList settableFields(const Program& program)
{
    const FieldTexts texts = designTexts(*program.layout);
    QStringList names;
    for (std::size_t index = 0; index < FieldCount; ++index)
        if (texts[index] && static_cast<Field>(index) != Field::termine)
            names << QString::fromUtf8(FieldNames[index].data(), qsizetype(FieldNames[index].size()));
    return names;
}

QString readEdit(const QString& text, const Program& program, std::vector<std::pair<Field, QString>>& edits)
{
    const qsizetype equals = text.indexOf('=');
    if (equals < 0)
        return QString("--set vuole CAMPO=TESTO, non «%1»").arg(text);
    const QString name = text.left(equals);
    const QStringList fields = settableFields(program);
    if (name == "termineT")
        return "--set non scrive termineT: il numero di passi si dà con --steps N";
    if (!fields.contains(name))
        return QString("--set: campo sconosciuto «%1»; i campi sono %2").arg(name, fields.join(", "));
    edits.emplace_back(*fieldNamed(name.toStdString()), text.mid(equals + 1));
    return {};
}

QString readOption(const QString& text, std::vector<int>& options)
{
    const std::optional<qint64> number = text.startsWith("Option") ? wholeNumber(text.mid(6)) : std::nullopt;
    if (!number || *number < 1 || *number > 12)
        return QString("--option vuole un nome da Option1 a Option12, non «%1»").arg(text);
    options.push_back(int(*number));
    return {};
}

}  // namespace vortiquo
