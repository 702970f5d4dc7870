#include "bench/Protocol.h"

#include <QJsonDocument>
#include <QJsonValue>
#include <cstdio>

namespace vortiquo {

namespace {

QJsonObject toJson(const Rate& rate)
{
    return {{"wall", rate.wall}, {"cpu", rate.cpu}};
}

QJsonObject toJson(const ToolLoadProbe::Shares& shares)
{
    return {{"alone", shares.alone}, {"beside", shares.beside}};
}

QJsonValue toJson(const std::optional<AllocationFigures>& allocations)
{
    if (!allocations)
        return QJsonValue::Null;  // no counter in this build
    return QJsonObject{{"perStep", allocations->perStep},
                       {"perFrame", allocations->perFrame},
                       {"otherThreads", allocations->otherThreads},
                       {"bareLoop", allocations->bareLoop}};
}

const char* xClickName(StopFigures::XClick xClick)
{
    switch (xClick) {
    case StopFigures::XClick::Failed:
        return "failed";
    case StopFigures::XClick::Measured:
        return "measured";
    case StopFigures::XClick::Unavailable:
        break;
    }
    return "unavailable";
}

// A figure that did not complete is left out.
QJsonObject toJson(const StopFigures& stop)
{
    QJsonObject object{{"xClick", QLatin1String(xClickName(stop.xClick))}};
    if (stop.postedMs) {
        object.insert(QLatin1String("postedMs"), *stop.postedMs);
        object.insert(QLatin1String("worstMs"), stop.worstMs);
    }
    if (stop.timerLateMs)
        object.insert(QLatin1String("timerLateMs"), *stop.timerLateMs);
    if (stop.xClick == StopFigures::XClick::Measured)
        object.insert(QLatin1String("xClickMs"), stop.xClickMs);
    return object;
}

// A figure that did not complete is left out.
QJsonObject toJson(const LatencyFigures& latency)
{
    QJsonObject object;
    const std::pair<const char*, const std::optional<double>*> members[] = {
        {"postedMedianMs", &latency.postedMedianMs},
        {"postedP99Ms", &latency.postedP99Ms},
        {"xMedianMs", &latency.xMedianMs},
        {"xP99Ms", &latency.xP99Ms},
    };
    for (const auto& [name, value] : members)
        if (*value)
            object.insert(QLatin1String(name), **value);
    return object;
}

// Reads named members of one object and remembers whether any was missing
// or of the wrong type.
class Reader {
public:
    explicit Reader(const QJsonObject& object, bool* complete) : object_(object), complete_(complete) {}

    bool has(const char* name) const { return object_.contains(QLatin1String(name)); }
    bool isNull(const char* name) const { return member(name).isNull(); }

    double number(const char* name) const
    {
        const QJsonValue value = member(name);
        require(value.isDouble());
        return value.toDouble();
    }
    qint64 integer(const char* name) const
    {
        const QJsonValue value = member(name);
        require(value.isDouble());
        return value.toInteger();
    }
    QString string(const char* name) const
    {
        const QJsonValue value = member(name);
        require(value.isString());
        return value.toString();
    }
    Reader object(const char* name) const
    {
        const QJsonValue value = member(name);
        require(value.isObject());
        return Reader(value.toObject(), complete_);
    }
    Rate rate(const char* name) const
    {
        const Reader members = object(name);
        return {members.number("wall"), members.number("cpu")};
    }
    ToolLoadProbe::Shares shares(const char* name) const
    {
        const Reader members = object(name);
        return {members.number("alone"), members.number("beside")};
    }
    std::optional<double> optionalNumber(const char* name) const
    {
        return has(name) ? std::optional(number(name)) : std::nullopt;
    }

private:
    QJsonValue member(const char* name) const { return object_.value(QLatin1String(name)); }
    void require(bool met) const { *complete_ = *complete_ && met; }

    QJsonObject object_;
    bool* complete_;
};

std::optional<AllocationFigures> allocationsFrom(const Reader& reader)
{
    if (reader.has("allocations") && reader.isNull("allocations"))
        return std::nullopt;
    const Reader members = reader.object("allocations");
    return AllocationFigures{members.number("perStep"), members.number("perFrame"),
                             members.number("otherThreads"), members.number("bareLoop")};
}

StopFigures stopFrom(const Reader& reader, bool& complete)
{
    const Reader members = reader.object("stop");
    StopFigures stop;
    stop.postedMs = members.optionalNumber("postedMs");
    stop.timerLateMs = members.optionalNumber("timerLateMs");
    if (stop.postedMs)
        stop.worstMs = members.number("worstMs");
    const QString xClick = members.string("xClick");
    if (xClick == QLatin1String("measured")) {
        stop.xClick = StopFigures::XClick::Measured;
        stop.xClickMs = members.number("xClickMs");
    } else if (xClick == QLatin1String("failed")) {
        stop.xClick = StopFigures::XClick::Failed;
    } else if (xClick != QLatin1String("unavailable")) {
        complete = false;
    }
    return stop;
}

bool isKind(const QJsonObject& object, const char* kind)
{
    return object.value(QLatin1String("kind")).toString() == QLatin1String(kind);
}

}  // namespace

QJsonObject toJson(const ProgramMeasurement& measured)
{
    return {{"kind", "measured"},
            {"program", measured.program},
            {"platform", measured.platform},
            {"dispatcher", measured.dispatcher},
            {"stepsPerSecond", toJson(measured.stepsPerSecond)},
            {"ceiling", toJson(measured.ceiling)},
            {"naiveWidget", toJson(measured.naiveWidget)},
            {"naivePoint", toJson(measured.naivePoint)},
            {"headless", toJson(measured.headless)},
            {"headlessRatio", measured.headlessRatio},
            {"headlessRatioCpu", measured.headlessRatioCpu},
            {"allocations", toJson(measured.allocations)},
            {"bareSteps", measured.bareSteps},
            {"framesPerSecond", measured.framesPerSecond},
            {"stop", toJson(measured.stop)},
            {"latency", toJson(measured.latency)}};
}

QJsonObject toJson(const StartupProbe& probe)
{
    return {{"kind", "startup"},
            {"applicationCreatedNs", qint64(probe.applicationCreated.time_since_epoch().count())},
            {"firstPaintNs", qint64(probe.firstPaint.time_since_epoch().count())},
            {"dispatcher", probe.dispatcher}};
}

QJsonObject toJson(const DispatcherProbe& probe)
{
    return {{"kind", "dispatcher"},
            {"dispatcher", probe.dispatcher},
            {"perCallNs", QJsonObject{{"wall", probe.wallNs}, {"cpu", probe.cpuNs}}},
            {"allocationsPerCall", probe.allocationsPerCall ? QJsonValue(*probe.allocationsPerCall)
                                                            : QJsonValue(QJsonValue::Null)},
            {"stepsPerSecond", toJson(probe.run)}};
}

QJsonObject toJson(const ToolLoadProbe& probe)
{
    return {{"kind", "toolLoad"},
            {"alone", toJson(probe.alone)},
            {"beside", toJson(probe.beside)},
            {"computations", probe.computations},
            {"ratio", toJson(probe.ratio)},
            {"stolen", toJson(probe.stolen)},
            {"events", toJson(probe.events)}};
}

std::optional<ProgramMeasurement> programMeasurementFrom(const QJsonObject& object)
{
    bool complete = isKind(object, "measured");
    const Reader reader(object, &complete);
    ProgramMeasurement measured;
    measured.program = reader.string("program");
    measured.platform = reader.string("platform");
    measured.dispatcher = reader.string("dispatcher");
    measured.stepsPerSecond = reader.rate("stepsPerSecond");
    measured.ceiling = reader.rate("ceiling");
    measured.naiveWidget = reader.rate("naiveWidget");
    measured.naivePoint = reader.rate("naivePoint");
    measured.headless = reader.rate("headless");
    measured.headlessRatio = reader.number("headlessRatio");
    measured.headlessRatioCpu = reader.number("headlessRatioCpu");
    measured.allocations = allocationsFrom(reader);
    measured.bareSteps = reader.number("bareSteps");
    measured.framesPerSecond = reader.number("framesPerSecond");
    measured.stop = stopFrom(reader, complete);
    const Reader latency = reader.object("latency");
    measured.latency = {latency.optionalNumber("postedMedianMs"), latency.optionalNumber("postedP99Ms"),
                        latency.optionalNumber("xMedianMs"), latency.optionalNumber("xP99Ms")};
    return complete ? std::optional(measured) : std::nullopt;
}

std::optional<StartupProbe> startupProbeFrom(const QJsonObject& object)
{
    bool complete = isKind(object, "startup");
    const Reader reader(object, &complete);
    StartupProbe probe;
    probe.applicationCreated = Clock::time_point(Clock::duration(reader.integer("applicationCreatedNs")));
    probe.firstPaint = Clock::time_point(Clock::duration(reader.integer("firstPaintNs")));
    probe.dispatcher = reader.string("dispatcher");
    return complete ? std::optional(probe) : std::nullopt;
}

std::optional<DispatcherProbe> dispatcherProbeFrom(const QJsonObject& object)
{
    bool complete = isKind(object, "dispatcher");
    const Reader reader(object, &complete);
    DispatcherProbe probe;
    probe.dispatcher = reader.string("dispatcher");
    const Reader perCall = reader.object("perCallNs");
    probe.wallNs = perCall.number("wall");
    probe.cpuNs = perCall.number("cpu");
    if (!(reader.has("allocationsPerCall") && reader.isNull("allocationsPerCall")))
        probe.allocationsPerCall = reader.number("allocationsPerCall");
    probe.run = reader.rate("stepsPerSecond");
    return complete ? std::optional(probe) : std::nullopt;
}

std::optional<ToolLoadProbe> toolLoadProbeFrom(const QJsonObject& object)
{
    bool complete = isKind(object, "toolLoad");
    const Reader reader(object, &complete);
    ToolLoadProbe probe;
    probe.alone = reader.rate("alone");
    probe.beside = reader.rate("beside");
    probe.computations = static_cast<int>(reader.integer("computations"));
    probe.ratio = reader.rate("ratio");
    probe.stolen = reader.shares("stolen");
    probe.events = reader.shares("events");
    return complete ? std::optional(probe) : std::nullopt;
}

void writeReportLine(const QJsonObject& object)
{
    const QByteArray line = QJsonDocument(object).toJson(QJsonDocument::Compact);
    std::fwrite(line.constData(), 1, static_cast<std::size_t>(line.size()), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

std::optional<QJsonObject> reportOfKind(const QByteArray& output, QStringView kind)
{
    for (const QByteArray& line : output.split('\n')) {
        const QJsonDocument document = QJsonDocument::fromJson(line);
        if (document.isObject() && document.object().value(QLatin1String("kind")).toString() == kind)
            return document.object();
    }
    return std::nullopt;
}

}  // namespace vortiquo
