#pragma once

#include <QString>
#include <QStringList>
#include <optional>
#include <utility>
#include <vector>

#include "core/FieldRules.h"
#include "program/Program.h"

namespace vortiquo {

// Readers of the values that several command-line modes share. Each returns
// what is wrong with the text, in Italian, or an empty string; on success it
// writes its result.

// A whole number written in decimal digits alone, within 64 bits.
std::optional<qint64> wholeNumber(const QString& text);
// A whole number from `least` to `most` for the option --NAME.
QString readWhole(const QString& name, const QString& text, qint64 least, qint64 most, qint64& value);
// A decimal number (a leading minus allowed, a full stop as the decimal
// point, whatever the locale) that is finite.
QString readDecimal(const QString& name, const QString& text, double& value);
// FROM:TO, two decimals with FROM < TO; "-0.5:0.3" is one value.
QString readRange(const QString& name, const QString& text, double& from, double& to);
// WxH, two whole numbers from 1 to `most`.
QString readSize(const QString& name, const QString& text, int most, int& width, int& height);

// The first of the readers' answers that says something is wrong, or an
// empty string when none does.
QString firstError(const QStringList& answers);

// The fields --set may name: those of the window, less termineT, which
// --steps sets.
QStringList settableFields(const Program& program);
// --set FIELD=TEXT, appended to `edits`.
QString readEdit(const QString& text, const Program& program, std::vector<std::pair<Field, QString>>& edits);
// --option OptionK, K from 1 to 12, appended to `options`.
QString readOption(const QString& text, std::vector<int>& options);

}  // namespace vortiquo
