// The soak: thousands of random user actions on the four windows, many of
// them between two steps of a run, with the invariants checked after each.
//   VORTIQUO_SOAK_SEED     the seed (default: a fresh one, printed)
//   VORTIQUO_SOAK_ACTIONS  how many actions (default: a short run for CI)
//   VORTIQUO_SOAK_SECONDS  stop after this long instead, if sooner
// A failure names its seed and action, and repeats with them.
#include <QApplication>
#include <QClipboard>
#include <QTemporaryDir>
#include <QTest>
#include <climits>
#include <cstdio>
#include <random>

#include "InteractionSupport.h"
#include "Soak.h"
#include "apps/Programs.h"
#include "window/PictureActions.h"
#include "window/RunDispatcher.h"

using namespace vortiquo;

using namespace interaction;

namespace {

constexpr std::int64_t ShortRunActions = 400;

std::int64_t fromEnvironment(const char* name, std::int64_t fallback)
{
    bool ok = false;
    const qlonglong value = qEnvironmentVariable(name).toLongLong(&ok);
    return ok ? value : fallback;
}

std::uint64_t seedFromEnvironment()
{
    bool ok = false;
    const qulonglong value = qEnvironmentVariable("VORTIQUO_SOAK_SEED").toULongLong(&ok);
    if (ok)
        return value;
    std::random_device device;
    return (std::uint64_t{device()} << 32) | device();
}

}  // namespace

class SoakTest : public QObject {
    Q_OBJECT
private slots:
    void longPasteKeepsEveryCharacter_data();
    void longPasteKeepsEveryCharacter();
    void faultedPictureOpensAgain_data();
    void faultedPictureOpensAgain();
    void survivesRandomUse();
};

void SoakTest::longPasteKeepsEveryCharacter_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("field");
    QTest::addColumn<double>("reads");  // NaN where no one value is meant
    soak::Random random(1);
    const auto row = [&](const char* name, soak::PasteKind kind, const char* field, double reads) {
        const soak::Paste paste = soak::longPaste(random, kind);
        QTest::newRow(name) << paste.text << field << (kind == soak::PasteKind::blanksThenDigit ? paste.digit : reads);
    };
    row("blanks then a digit, read as the digit", soak::PasteKind::blanksThenDigit, "aT", 0);
    row("a hundred thousand digits, read as the largest double", soak::PasteKind::hugeNumber, "bT",
        std::numeric_limits<double>::max());
    row("a tiny number", soak::PasteKind::tinyNumber, "dtT", 0);
    row("a number before junk", soak::PasteKind::numberThenJunk, "numT", 2.5);
    row("unicode, pairs of surrogates whole", soak::PasteKind::unicode, "cT", std::nan(""));
}

// A field rejects no text, however long: Qt's line edit keeps 32,767
// characters unless told otherwise, and would read a number cut short.
void SoakTest::longPasteKeepsEveryCharacter()
{
    QFETCH(QString, text);
    QFETCH(QString, field);
    QFETCH(double, reads);
    QCOMPARE(text.size(), soak::PasteLength);
    SimulationForm form(programNamed("BrisutaW7"));
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QLineEdit* edit = textField(form, field);
    QGuiApplication::clipboard()->setText(text);
    QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(edit->text().size(), soak::PasteLength);
    QCOMPARE(edit->text(), text);
    if (std::isnan(reads))
        return;
    for (const DoubleMember& member : DoubleMembers)
        if (field == QLatin1String(member.name) + u'T')
            QCOMPARE(form.state().*member.member, reads);
}

// Found by the soak: a picture whose last run ended on an arithmetic fault
// was turned down as damaged when opened. Its replay stopped at the steps
// drawn instead of trying the step that faulted, and a run with no limit
// left was taken for one that never ends.
void SoakTest::faultedPictureOpensAgain_data()
{
    QTest::addColumn<const Program*>("program");
    QTest::addColumn<QStringList>("edits");
    QTest::newRow("convection flow, no limit, fault at step 21") << &Brisuta << QStringList{"dtT=0.05"};
    QTest::newRow("convection flow, limit ahead, fault at step 21")
        << &Brisuta << QStringList{"termineT=1000", "dtT=0.05"};
    QTest::newRow("spiral flow, fault at step 7") << &Kelvane << QStringList{"dtT=5"};
    QTest::newRow("spiral flow, fault at step 1, nothing drawn") << &Kelvane << QStringList{"dtT=1e200"};
    QTest::newRow("recurrence map, fault at step 4") << &Tessivo << QStringList{"aT=1.5"};
    QTest::newRow("quadratic map, fault at step 5") << &Drumbel << QStringList{"aT=3"};
}

void SoakTest::faultedPictureOpensAgain()
{
    QFETCH(const Program*, program);
    QFETCH(QStringList, edits);
    soak::ModalCloser closer;  // a file turned down says so in a modal message
    QTemporaryDir folder;
    const QString path = folder.filePath("guasto.png");
    SimulationForm form(*program);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    applyEdits(form, edits);
    click(button(form, "Via"));  // returns when the fault has ended the run
    QVERIFY(form.pictureActions()->saveTo(path));
    SimulationForm reopened(*program);
    reopened.show();
    QVERIFY(QTest::qWaitForWindowExposed(&reopened));
    QVERIFY2(reopened.pictureActions()->openFile(path), qPrintable(closer.takeMessages().join(u' ')));
    QCOMPARE(differentPixels(reopened.grafico()->image(), form.grafico()->image()), 0);
}

void SoakTest::survivesRandomUse()
{
    const std::uint64_t seed = seedFromEnvironment();
    const std::int64_t actions = fromEnvironment("VORTIQUO_SOAK_ACTIONS", ShortRunActions);
    const std::int64_t seconds = fromEnvironment("VORTIQUO_SOAK_SECONDS", 0);
    qInfo().noquote() << QStringLiteral("soak seed %1, up to %2 actions; repeat with VORTIQUO_SOAK_SEED=%1")
                             .arg(seed)
                             .arg(actions);
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    soak::Soak soak(seed, folder.path());
    const QString failure = soak.run(actions, seconds * 1000);
    qInfo().noquote() << soak.summary();
    if (!failure.isEmpty())
        std::fputs(qPrintable(failure + u'\n'), stderr);  // whole: QtTest cuts long messages short
    QVERIFY2(failure.isEmpty(), qPrintable(failure.section(u'\n', 0, 0)));
}

// QtTest's watchdog ends a test function after five minutes; a long soak is
// given its own time limit instead, with room for an action in hand, or half
// a second an action at most. The ctest run keeps to the watchdog.
void allowForLongSoak()
{
    if (qEnvironmentVariableIsSet("QTEST_FUNCTION_TIMEOUT"))
        return;
    const std::int64_t seconds = fromEnvironment("VORTIQUO_SOAK_SECONDS", 0);
    const std::int64_t actions = fromEnvironment("VORTIQUO_SOAK_ACTIONS", ShortRunActions);
    const std::int64_t limit = seconds > 0 ? seconds + 300 : std::max<std::int64_t>(300, actions / 2);
    qputenv("QTEST_FUNCTION_TIMEOUT", QByteArray::number(std::min<std::int64_t>(limit * 1000, INT_MAX)));
}

int main(int argc, char** argv)
{
    allowForLongSoak();
    prepareWindowEvents();  // the windows process their events as the programs' windows do
    QApplication application(argc, argv);
    SoakTest test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "SoakTest.moc"
