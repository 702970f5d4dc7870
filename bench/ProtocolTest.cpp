#include <QJsonDocument>
#include <QTest>

#include "bench/Protocol.h"

using namespace vortiquo;

// The parent reads a child's report by name: a report that lacks a member
// or gives it the wrong type is a failed measurement, never a zero.
class ProtocolTest : public QObject {
    Q_OBJECT

private:
    static ProgramMeasurement measurement()
    {
        ProgramMeasurement measured;
        measured.program = QStringLiteral("BrisutaW7");
        measured.platform = QStringLiteral("xcb");
        measured.dispatcher = QStringLiteral("QEventDispatcherUNIX");
        measured.stepsPerSecond = {2155561.25, 2200000.5};
        measured.ceiling = {49e6, 50e6};
        measured.naiveWidget = {7900, 8000};
        measured.naivePoint = {9400, 9500};
        measured.allocations = AllocationFigures{0.0005, 18.25, 3, 2};
        measured.bareSteps = 60e6;
        measured.framesPerSecond = 62.5;
        measured.stop.postedMs = 0.26;
        measured.stop.timerLateMs = 0.01;
        measured.stop.xClick = StopFigures::XClick::Measured;
        measured.stop.xClickMs = 0.87;
        measured.stop.worstMs = 1.25;
        return measured;
    }

    // The object with the member at `path` replaced, or removed when
    // `value` is undefined.
    static QJsonObject changed(QJsonObject object, QStringList path, const QJsonValue& value)
    {
        const QString name = path.takeFirst();
        if (!path.isEmpty())
            object.insert(name, changed(object.value(name).toObject(), path, value));
        else if (value.isUndefined())
            object.remove(name);
        else
            object.insert(name, value);
        return object;
    }

private slots:
    void measurementReadsBackByName_data()
    {
        QTest::addColumn<QStringList>("path");
        QTest::addColumn<QJsonValue>("value");
        QTest::addColumn<bool>("readable");
        const QJsonValue removed(QJsonValue::Undefined);
        QTest::newRow("complete") << QStringList{"program"} << QJsonValue("BrisutaW7") << true;
        QTest::newRow("other kind") << QStringList{"kind"} << QJsonValue("startup") << false;
        QTest::newRow("no steps per second") << QStringList{"stepsPerSecond"} << removed << false;
        QTest::newRow("ceiling without cpu rate") << QStringList{"ceiling", "cpu"} << removed << false;
        QTest::newRow("rate as text") << QStringList{"naivePoint", "wall"} << QJsonValue("9400") << false;
        QTest::newRow("no allocations member") << QStringList{"allocations"} << removed << false;
        QTest::newRow("no allocation counter") << QStringList{"allocations"} << QJsonValue() << true;
        QTest::newRow("posted stop failed") << QStringList{"stop", "postedMs"} << removed << true;
        QTest::newRow("posted stop without its slowest") << QStringList{"stop", "worstMs"} << removed << false;
        QTest::newRow("x click unavailable") << QStringList{"stop", "xClick"} << QJsonValue("unavailable") << true;
        QTest::newRow("x click of no known outcome") << QStringList{"stop", "xClick"} << QJsonValue("maybe") << false;
        QTest::newRow("x click measured without time") << QStringList{"stop", "xClickMs"} << removed << false;
        QTest::newRow("no latency member") << QStringList{"latency"} << removed << false;
        QTest::newRow("latency lost its events") << QStringList{"latency", "postedMedianMs"} << removed << true;
    }

    void measurementReadsBackByName()
    {
        QFETCH(QStringList, path);
        QFETCH(QJsonValue, value);
        QFETCH(bool, readable);
        const QJsonObject sent = changed(toJson(measurement()), path, value);
        const auto line = QJsonDocument(sent).toJson(QJsonDocument::Compact);
        const auto report = reportOfKind("a warning\n" + line + "\n", u"measured");
        const auto read = report ? programMeasurementFrom(*report) : std::nullopt;
        QCOMPARE(read.has_value(), readable);
        if (!read)
            return;
        const ProgramMeasurement expected = measurement();
        QCOMPARE(read->stepsPerSecond.cpu, expected.stepsPerSecond.cpu);
        QCOMPARE(read->naivePoint.wall, expected.naivePoint.wall);
        QCOMPARE(read->framesPerSecond, expected.framesPerSecond);
        QCOMPARE(read->allocations.has_value(), !value.isNull());
        if (read->allocations)
            QCOMPARE(read->allocations->perFrame, expected.allocations->perFrame);
        QCOMPARE(read->stop.postedMs.has_value(), !path.endsWith(QStringLiteral("postedMs")));
    }

    // The parent subtracts its own clock from these: a nanosecond lost
    // would shift every start-up figure.
    void startupMomentsKeepEveryNanosecond()
    {
        const StartupProbe sent{Clock::time_point(Clock::duration(123456789012345678)),
                                Clock::time_point(Clock::duration(123456789012345679)), QStringLiteral("unix")};
        const auto line = QJsonDocument(toJson(sent)).toJson(QJsonDocument::Compact);
        const auto report = reportOfKind(line, u"startup");
        QVERIFY(report);
        const auto read = startupProbeFrom(*report);
        QVERIFY(read);
        QCOMPARE(read->firstPaint - read->applicationCreated, Clock::duration(1));
        QCOMPARE(read->firstPaint, sent.firstPaint);
    }

    void dispatcherWithoutCounterReadsAsNotCounted()
    {
        const DispatcherProbe sent{QStringLiteral("glib"), 670, 660, std::nullopt, {1.4e6, 1.5e6}};
        const auto read = dispatcherProbeFrom(toJson(sent));
        QVERIFY(read);
        QVERIFY(!read->allocationsPerCall);
        QCOMPARE(read->run.wall, 1.4e6);
        QVERIFY(!dispatcherProbeFrom(changed(toJson(sent), {"perCallNs", "wall"}, QJsonValue::Undefined)));
    }

    void toolLoadKeepsEachSideApart()
    {
        const ToolLoadProbe sent{{8.1e7, 8.2e7}, {7.7e7, 7.8e7}, 41, {0.951, 0.958}, {0.028, 0.023}, {0.0135, 0.0301}};
        const auto read = toolLoadProbeFrom(toJson(sent));
        QVERIFY(read);
        QCOMPARE(read->beside.cpu, sent.beside.cpu);
        QCOMPARE(read->computations, 41);
        QCOMPARE(read->ratio.cpu, sent.ratio.cpu);
        QCOMPARE(read->stolen.beside, sent.stolen.beside);
        QCOMPARE(read->events.alone, sent.events.alone);
        QVERIFY(!toolLoadProbeFrom(changed(toJson(sent), {"events", "beside"}, QJsonValue::Undefined)));
    }
};

QTEST_GUILESS_MAIN(ProtocolTest)
#include "ProtocolTest.moc"
