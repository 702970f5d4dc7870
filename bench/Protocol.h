#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QStringView>
#include <optional>

#include "bench/Figures.h"

namespace vortiquo {

// What a child process tells the parent: one line of JSON on its standard
// output, an object whose "kind" says what it reports and whose members are
// named. The parent reads members by name; a member that is missing or of
// the wrong type makes the whole report unreadable, and the measurement
// failed.

QJsonObject toJson(const ProgramMeasurement& measured);
QJsonObject toJson(const StartupProbe& probe);
QJsonObject toJson(const DispatcherProbe& probe);
QJsonObject toJson(const ToolLoadProbe& probe);

std::optional<ProgramMeasurement> programMeasurementFrom(const QJsonObject& object);
std::optional<StartupProbe> startupProbeFrom(const QJsonObject& object);
std::optional<DispatcherProbe> dispatcherProbeFrom(const QJsonObject& object);
std::optional<ToolLoadProbe> toolLoadProbeFrom(const QJsonObject& object);

// Writes the object as one line to the standard output and flushes it.
void writeReportLine(const QJsonObject& object);
// The first line of a child's output that is an object of the given kind.
std::optional<QJsonObject> reportOfKind(const QByteArray& output, QStringView kind);

}  // namespace vortiquo
