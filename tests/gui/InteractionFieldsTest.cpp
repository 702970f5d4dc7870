// The parameter fields typed into key by key, while idle and during a run:
// plain fields, the step limit and the view angle.
#include <QTest>
#include <limits>

#include "InteractionSupport.h"
#include "window/RunDispatcher.h"

using namespace vortiquo;

using namespace interaction;

namespace {

constexpr double Largest = std::numeric_limits<double>::max();
constexpr std::int32_t MostSteps = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t FewestSteps = std::numeric_limits<std::int32_t>::min();

double SimulationState::*memberOfField(const QString& field)
{
    static const std::map<QString, double SimulationState::*> members = {
        {"aT", &SimulationState::a},  {"bT", &SimulationState::b},   {"cT", &SimulationState::c},
        {"x0T", &SimulationState::x}, {"y0T", &SimulationState::y},  {"z0T", &SimulationState::z},
        {"dtT", &SimulationState::dt},
    };
    return members.at(field);
}

// Records, after every change of any field's text, which field changed, its
// text and the state the change left behind.
struct Keystroke {
    QString field;
    QString text;
    SimulationState state;
};

class KeystrokeLog {
public:
    explicit KeystrokeLog(const SimulationForm& form)
    {
        for (QLineEdit* field : form.findChildren<QLineEdit*>())
            QObject::connect(field, &QLineEdit::textChanged, field, [this, field, &form](const QString& text) {
                entries.push_back({field->objectName(), text, form.state()});
            });
    }
    std::vector<Keystroke> entries;
};

QMap<QString, QString> shownFieldTexts(const SimulationForm& form)
{
    QMap<QString, QString> texts;
    for (const QLineEdit* field : form.findChildren<QLineEdit*>())
        texts.insert(field->objectName(), field->text());
    return texts;
}

}  // namespace

class InteractionFieldsTest : public QObject {
    Q_OBJECT
public:
    // The windows process their events as the programs' windows do.
    static void initMain() { prepareWindowEvents(); }

private slots:
    void plainFieldFollowsEveryKeystroke_data();
    void plainFieldFollowsEveryKeystroke();
    void typingIntoADuringRunPassesThroughZero();
    void startFieldMovesThePoint_data();
    void startFieldMovesThePoint();
    void stepLimitRule_data();
    void stepLimitRule();
    void stepLimitEndsRun_data();
    void stepLimitEndsRun();
    void angleRule_data();
    void angleRule();
};

void InteractionFieldsTest::plainFieldFollowsEveryKeystroke_data()
{
    QTest::addColumn<const Program*>("program");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QList<double>>("values");  // after each key, from an emptied field

    QTest::newRow("a through -0.") << &Brisuta << "aT" << "-0.5" << QList<double>{0, 0, 0, -0.5};
    QTest::newRow("b stops at comma") << &Brisuta << "bT" << "1,5" << QList<double>{1, 1, 1};
    QTest::newRow("c keeps its sign") << &Brisuta << "cT" << "-8/3" << QList<double>{0, -8, -8, -8};
    QTest::newRow("dt exponent") << &Brisuta << "dtT" << "1e-3" << QList<double>{1, 1, 1, 0.001};
    QTest::newRow("dt negative") << &Kelvane << "dtT" << "-.25" << QList<double>{0, 0, -0.2, -0.25};
    QTest::newRow("x blank inside") << &Brisuta << "x0T" << "2 8" << QList<double>{2, 2, 28};
    QTest::newRow("y trailing text") << &Kelvane << "y0T" << "12ab" << QList<double>{1, 12, 12, 12};
    QTest::newRow("z beyond range") << &Kelvane << "z0T" << "1e999"
                                    << QList<double>{1, 1, 1e9, 1e99, Largest};
    QTest::newRow("map a hexadecimal") << &Tessivo << "aT" << "&H1F" << QList<double>{0, 0, 1, 31};
    QTest::newRow("map b second stop") << &Drumbel << "bT" << "1.2.3" << QList<double>{1, 1, 1.2, 1.2, 1.2};
    QTest::newRow("map x below range") << &Tessivo << "x0T" << "-1e999"
                                       << QList<double>{0, -1, -1, -1e9, -1e99, -Largest};
    QTest::newRow("map y underflow") << &Drumbel << "y0T" << "1e-999"
                                     << QList<double>{1, 1, 1, 1e-9, 1e-99, 0};
}

// Each key writes the parsed text into the one member of its field, and into
// nothing else; no other field's text changes. A number beyond the range of a
// double gives the largest finite one.
void InteractionFieldsTest::plainFieldFollowsEveryKeystroke()
{
    QFETCH(const Program*, program);
    QFETCH(QString, field);
    QFETCH(QString, typed);
    QFETCH(QList<double>, values);
    SimulationForm form(*program);
    form.show();
    QLineEdit* edit = textField(form, field);
    QVERIFY(edit);
    const auto member = memberOfField(field);

    typeOver(edit, QString());
    QCOMPARE(form.state().*member, 0.0);
    const SimulationState before = form.state();
    KeystrokeLog log(form);
    QTest::keyClicks(edit, typed);

    QCOMPARE(log.entries.size(), static_cast<std::size_t>(values.size()));
    for (qsizetype i = 0; i < values.size(); ++i) {
        const Keystroke& key = log.entries[static_cast<std::size_t>(i)];
        QCOMPARE(key.field, field);
        QCOMPARE(key.text, typed.left(i + 1));
        QVERIFY2(key.state.*member == values[i],
                 qPrintable(key.text + " gave " + exact(key.state.*member) + ", not " + exact(values[i])));
        QCOMPARE(nonFiniteMembers(key.state), QStringList());
        SimulationState expected = before;
        expected.*member = key.state.*member;
        QCOMPARE(differingMembers(key.state, expected), QStringList());
    }
}

// While a = 0 the convection flow holds x still, so the steps taken between
// the keys of "-0.5" show which a they used.
void InteractionFieldsTest::typingIntoADuringRunPassesThroughZero()
{
    SimulationForm form(Brisuta);
    form.show();
    QLineEdit* aT = textField(form, "aT");
    struct Seen {
        std::int64_t step;
        double a, x;
    };
    std::vector<Seen> seen;
    auto look = [&](std::int64_t step) { seen.push_back({step, form.state().a, form.state().x}); };

    LiveRun run(form);
    run.at(20, [&](std::int64_t step) { look(step); typeOver(aT, "-"); look(step); })
        .at(40, [&](std::int64_t step) { look(step); QTest::keyClicks(aT, "0"); })
        .at(60, [&](std::int64_t step) { look(step); QTest::keyClicks(aT, "."); })
        .at(80, [&](std::int64_t step) { look(step); QTest::keyClicks(aT, "5"); look(step); })
        .at(100, look)
        .stopAt(100);
    run.start();

    QVERIFY(!run.safetyStopped());
    QCOMPARE(aT->text(), QStringLiteral("-0.5"));
    // Seen: before "-", after "-", after "-0", after "-0.", after "-0.5", later.
    QCOMPARE(seen.size(), std::size_t{7});
    QCOMPARE(seen[0].a, 10.0);
    for (std::size_t i = 1; i <= 4; ++i)
        QVERIFY2(seen[i].a == 0.0, qPrintable(QString("a = %1 at step %2").arg(exact(seen[i].a)).arg(seen[i].step)));
    // Steps were taken under each of "-", "-0" and "-0.", and none moved x.
    for (std::size_t i = 2; i <= 4; ++i) {
        QCOMPARE_GT(seen[i].step, seen[i - 1].step);
        QVERIFY(seen[i].x == seen[1].x);
    }
    QCOMPARE(seen[5].a, -0.5);
    QCOMPARE_GT(seen[6].step, seen[5].step);
    QVERIFY(seen[6].x != seen[5].x);
    QCOMPARE(form.stepCount(), seen[6].step + 1);
}

void InteractionFieldsTest::startFieldMovesThePoint_data()
{
    QTest::addColumn<const Program*>("program");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("duringRun");

    QTest::newRow("flow x, running") << &Brisuta << "x0T" << "5" << true;
    QTest::newRow("flow z, running") << &Kelvane << "z0T" << "2.5" << true;
    QTest::newRow("map y, running") << &Tessivo << "y0T" << "0.5" << true;
    QTest::newRow("map x, running") << &Drumbel << "x0T" << "-0.25" << true;
    QTest::newRow("flow z, idle") << &Kelvane << "z0T" << "7" << false;
    QTest::newRow("map x, idle") << &Drumbel << "x0T" << "0.5" << false;
}

// An edit during a run moves the trajectory on from the typed value; made
// while idle it is overwritten by the start of the next run. The field keeps
// showing what was typed either way.
void InteractionFieldsTest::startFieldMovesThePoint()
{
    QFETCH(const Program*, program);
    QFETCH(QString, field);
    QFETCH(QString, typed);
    QFETCH(bool, duringRun);
    SimulationForm form(*program);
    form.show();
    const auto member = memberOfField(field);
    const double value = typed.toDouble();

    SimulationState expected;
    if (duringRun) {
        std::int64_t actedAt = -1;
        SimulationState afterEdit;
        LiveRun run(form);
        run.at(50, [&](std::int64_t step) {
               actedAt = step;
               typeOver(textField(form, field), typed);
               afterEdit = form.state();
           })
            .stopAt(120);
        run.start();
        QVERIFY(!run.safetyStopped());
        QVERIFY(afterEdit.*member == value);
        expected = afterEdit;
        replay(*program, expected, stepsAfter(actedAt, form.stepCount()));
    } else {
        typeOver(textField(form, field), typed);
        QVERIFY(form.state().*member == value);
        typeOver(textField(form, "termineT"), "30");
        LiveRun run(form);
        run.start();
        QCOMPARE(form.stepCount(), std::int64_t{30});
        expected = atStart(*program, form.state());
        replay(*program, expected, 30);
    }
    QVERIFY2(form.state().x == expected.x && form.state().y == expected.y && form.state().z == expected.z,
             qPrintable(QString("ended at (%1, %2, %3), expected (%4, %5, %6)")
                            .arg(exact(form.state().x), exact(form.state().y), exact(form.state().z),
                                 exact(expected.x), exact(expected.y), exact(expected.z))));
    QCOMPARE(textField(form, field)->text(), typed);
}

void InteractionFieldsTest::stepLimitRule_data()
{
    QTest::addColumn<const Program*>("program");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("limitOn");
    QTest::addColumn<int>("stepLimit");

    // Each row starts from an earlier limit of 7.
    QTest::newRow("2.5 to even") << &Brisuta << "2.5" << true << 2;
    QTest::newRow("3.5 to even") << &Kelvane << "3.5" << true << 4;
    QTest::newRow("-2.5 to even") << &Tessivo << "-2.5" << true << -2;
    QTest::newRow("2.6 nearest") << &Drumbel << "2.6" << true << 3;
    QTest::newRow("0.4 on at 0") << &Brisuta << "0.4" << true << 0;
    QTest::newRow("-0.5 on at 0") << &Brisuta << "-0.5" << true << 0;
    QTest::newRow("-3 negative") << &Tessivo << "-3" << true << -3;
    QTest::newRow("1e12 saturates") << &Brisuta << "1e12" << true << MostSteps;
    QTest::newRow("-1e12 saturates") << &Drumbel << "-1e12" << true << FewestSteps;
    QTest::newRow("largest count") << &Brisuta << "2147483647" << true << MostSteps;
    QTest::newRow("half past largest") << &Brisuta << "2147483647.5" << true << MostSteps;
    QTest::newRow("smallest count") << &Kelvane << "-2147483648" << true << FewestSteps;
    QTest::newRow("half below smallest") << &Kelvane << "-2147483648.5" << true << FewestSteps;
    QTest::newRow("beyond double") << &Tessivo << "1e999" << true << MostSteps;
    QTest::newRow("0 keeps last") << &Brisuta << "0" << false << 7;
    QTest::newRow("-0 keeps last") << &Brisuta << "-0" << false << 7;
    QTest::newRow("0.0e5 keeps last") << &Brisuta << "0.0e5" << false << 7;
    QTest::newRow("text keeps last") << &Drumbel << "abc" << false << 7;
    QTest::newRow("empty keeps last") << &Kelvane << "" << false << 7;
}

void InteractionFieldsTest::stepLimitRule()
{
    QFETCH(const Program*, program);
    QFETCH(QString, typed);
    QFETCH(bool, limitOn);
    QFETCH(int, stepLimit);
    SimulationForm form(*program);
    form.show();
    QLineEdit* termineT = textField(form, "termineT");
    QVERIFY(!form.state().limitOn);

    typeOver(termineT, "7");
    QVERIFY(form.state().limitOn);
    QCOMPARE(form.state().stepLimit, 7);
    typeOver(termineT, typed);
    QCOMPARE(form.state().limitOn, limitOn);
    QCOMPARE(form.state().stepLimit, stepLimit);
    QCOMPARE(termineT->text(), typed);
}

void InteractionFieldsTest::stepLimitEndsRun_data()
{
    QTest::addColumn<const Program*>("program");
    QTest::addColumn<QString>("typed");      // before "Via"
    QTest::addColumn<QStringList>("edits");  // "step=text" typed over the field, "step=+keys" typed on
    QTest::addColumn<int>("steps");          // 0: the limit is never met, "Stop" ends the run

    QTest::newRow("1") << &Brisuta << "1" << QStringList{} << 1;
    QTest::newRow("2.5") << &Brisuta << "2.5" << QStringList{} << 2;
    QTest::newRow("3.5") << &Kelvane << "3.5" << QStringList{} << 4;
    QTest::newRow("map 2.5") << &Tessivo << "2.5" << QStringList{} << 2;
    QTest::newRow("map 3.5") << &Drumbel << "3.5" << QStringList{} << 4;
    QTest::newRow("0.4") << &Brisuta << "0.4" << QStringList{} << 0;
    QTest::newRow("-3") << &Kelvane << "-3" << QStringList{} << 0;
    QTest::newRow("design 0") << &Tessivo << "0" << QStringList{} << 0;
    QTest::newRow("lowered below count") << &Brisuta << "200" << QStringList{"150=100"} << 0;
    QTest::newRow("lowered to count") << &Tessivo << "200" << QStringList{"150=150"} << 0;
    QTest::newRow("raised") << &Brisuta << "200" << QStringList{"150=250"} << 250;
    QTest::newRow("raised to next") << &Drumbel << "200" << QStringList{"150=151"} << 151;
    QTest::newRow("turned off") << &Kelvane << "200" << QStringList{"150=0"} << 0;
    QTest::newRow("emptied") << &Brisuta << "200" << QStringList{"150="} << 0;
    // 1 and 10 lie below the count when typed and are never met; 100 is.
    QTest::newRow("emptied, 100 key by key")
        << &Kelvane << "50" << QStringList{"20=", "20=+1", "30=+0", "40=+0"} << 100;
}

// A limit of N ends a run after exactly N steps, by equality with the count,
// from the pass in which it is typed; a limit never met leaves the run to
// "Stop". No other field's text changes during the run.
void InteractionFieldsTest::stepLimitEndsRun()
{
    QFETCH(const Program*, program);
    QFETCH(QString, typed);
    QFETCH(QStringList, edits);
    QFETCH(int, steps);
    SimulationForm form(*program);
    form.show();
    QLineEdit* termineT = textField(form, "termineT");
    typeOver(termineT, typed);
    QMap<QString, QString> texts = shownFieldTexts(form);

    std::int64_t stoppedAt = -1;
    QStringList late;
    LiveRun run(form);
    for (const QString& edit : edits) {
        const std::int64_t at = edit.section('=', 0, 0).toLongLong();
        const QString text = edit.section('=', 1);
        run.at(at, [&, at, text, edit](std::int64_t step) {
            if (step != at)
                late << QString("%1 at %2").arg(edit).arg(step);
            if (text.startsWith('+'))
                QTest::keyClicks(termineT, text.mid(1));
            else
                typeOver(termineT, text);
        });
    }
    run.at(400, [&](std::int64_t step) {
        stoppedAt = step;
        click(button(form, "Stop"));
    });
    run.start();

    QVERIFY(!run.safetyStopped());
    QCOMPARE(late, QStringList());  // each edit came between the steps the row names
    QVERIFY(form.state().stopRequested);
    const std::int64_t taken = steps > 0 ? steps : stoppedAt + 1;
    QCOMPARE(form.stepCount(), taken);
    SimulationState expected = atStart(*program, form.state());
    replay(*program, expected, taken);
    QVERIFY2(form.state().x == expected.x && form.state().y == expected.y,
             "the run did not take as many steps as it counted");
    texts["termineT"] = termineT->text();
    QCOMPARE(shownFieldTexts(form), texts);
}

void InteractionFieldsTest::angleRule_data()
{
    QTest::addColumn<const Program*>("program");
    QTest::addColumn<QStringList>("edits");
    QTest::addColumn<double>("num");
    QTest::addColumn<double>("den");
    QTest::addColumn<double>("alpha");

    // The load multiplies first, the handlers divide first: 1/6 differs in
    // the last bit.
    QTest::newRow("load 1/6") << &Brisuta << QStringList{} << 1.0 << 6.0 << 0.5235987755982984;
    QTest::newRow("den retyped 6") << &Brisuta << QStringList{"denT=6"} << 1.0 << 6.0 << 0.5235987755982983;
    QTest::newRow("num retyped 1") << &Kelvane << QStringList{"numT=1"} << 1.0 << 6.0 << 0.5235987755982983;
    QTest::newRow("num emptied") << &Brisuta << QStringList{"numT="} << 0.0 << 6.0 << 0.0;
    QTest::newRow("1/2") << &Kelvane << QStringList{"denT=2"} << 1.0 << 2.0 << 0x1.921fb54442d11p+0;
    QTest::newRow("-3/4") << &Brisuta << QStringList{"numT=-3", "denT=4"} << -3.0 << 4.0
                          << (-3.0 / 4.0) * 3.14159265358979;
    // With den at 0 the angle, its cosine and its sine stay as they were.
    QTest::newRow("den emptied") << &Brisuta << QStringList{"denT=2", "denT="} << 1.0 << 0.0
                                 << 0x1.921fb54442d11p+0;
    QTest::newRow("den typed 0") << &Kelvane << QStringList{"denT=2", "denT=0"} << 1.0 << 0.0
                                 << 0x1.921fb54442d11p+0;
    QTest::newRow("num edited, den 0") << &Brisuta << QStringList{"denT=2", "denT=", "numT=3"} << 3.0 << 0.0
                                       << 0x1.921fb54442d11p+0;
    QTest::newRow("both 0") << &Kelvane << QStringList{"denT=", "numT="} << 0.0 << 0.0 << 0.5235987755982984;
    QTest::newRow("den back") << &Brisuta << QStringList{"denT=", "numT=3", "denT=4"} << 3.0 << 4.0
                              << (3.0 / 4.0) * 3.14159265358979;
    // A quotient beyond the range of a double keeps the last angle too.
    QTest::newRow("num beyond range") << &Kelvane << QStringList{"denT=1e-300", "numT=1e999"} << Largest << 1e-300
                                      << (1.0 / 1e-300) * 3.14159265358979;
    QTest::newRow("both beyond range") << &Brisuta << QStringList{"numT=-1e999", "denT=1e999"} << -Largest
                                       << Largest << -3.14159265358979;
}

void InteractionFieldsTest::angleRule()
{
    QFETCH(const Program*, program);
    QFETCH(QStringList, edits);
    QFETCH(double, num);
    QFETCH(double, den);
    QFETCH(double, alpha);
    SimulationForm form(*program);
    form.show();
    KeystrokeLog log(form);

    applyEdits(form, edits);
    for (const Keystroke& key : log.entries)
        QVERIFY2(nonFiniteMembers(key.state).isEmpty(), qPrintable(key.field + " \"" + key.text + "\""));
    const SimulationState& state = form.state();
    QCOMPARE(state.num, num);
    QCOMPARE(state.den, den);
    QVERIFY2(state.alpha == alpha, qPrintable("alpha " + exact(state.alpha) + ", expected " + exact(alpha)));
    QVERIFY(state.cosAlpha == std::cos(alpha));
    QVERIFY(state.sinAlpha == std::sin(alpha));
}

QTEST_MAIN(InteractionFieldsTest)
#include "InteractionFieldsTest.moc"
