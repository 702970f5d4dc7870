// The headless renderer as a user runs it, in a child process with no
// display: the picture it writes is the window's, pixel for pixel, and
// every way it can end has its own exit status and message.
#include <QImage>
#include <QImageReader>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <csignal>
#include <sys/resource.h>

#include "ChildRuns.h"
#include "InteractionSupport.h"
#include "picture/Recipe.h"
#include "cli/RunProgram.h"

using namespace vortiquo;

using namespace interaction;

namespace {

struct Outcome {
    int status = -1;
    QString err;
};

// Renders with no display, as this test executable started again. A file
// size limit, if given, makes writing fail part way, as a full disk does.
Outcome render(const Program& program, const QStringList& arguments, rlim_t fileSizeLimit = RLIM_INFINITY)
{
    const child::Ended ended = child::run(program, QStringList{"--render"} + arguments, 60000, fileSizeLimit);
    return {ended.status, ended.err};
}

using child::contents;

}  // namespace

class RenderTest : public QObject {
    Q_OBJECT
private slots:
    void samePixelsAsTheWindow_data();
    void samePixelsAsTheWindow();
    void endings_data();
    void endings();
    void renderedPictureRendersAgain();
    void largestPictureRendersAgain();

private:
    QTemporaryDir folder_;
};

// The same run in a window and in a render: edits typed before "Via",
// options clicked, the step limit typed into termineT.
void RenderTest::samePixelsAsTheWindow_data()
{
    QTest::addColumn<const Program*>("program");
    QTest::addColumn<QStringList>("edits");
    QTest::addColumn<QList<int>>("options");
    QTest::addColumn<int>("steps");
    QTest::newRow("convection, opening values") << &Brisuta << QStringList{} << QList<int>{} << 200000;
    QTest::newRow("spiral, edits and a scheme") << &Kelvane << QStringList{"aT=0.1", "denT=3", "bT=1,5"}
                                                << QList<int>{2} << 150000;
    QTest::newRow("recurrence, background") << &Tessivo << QStringList{"bT=-1.6"} << QList<int>{11, 4} << 100000;
    QTest::newRow("quadratic, start point moved") << &Drumbel << QStringList{"x0T=0.3", "aT=1.3"}
                                                  << QList<int>{9} << 100000;
}

void RenderTest::samePixelsAsTheWindow()
{
    QFETCH(const Program*, program);
    QFETCH(QStringList, edits);
    QFETCH(QList<int>, options);
    QFETCH(int, steps);
    SimulationForm form(*program);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    applyEdits(form, edits);
    QStringList arguments{folder_.filePath("window.png"), "--steps", QString::number(steps)};
    for (const QString& edit : edits)
        arguments << "--set" << edit;
    for (int number : options) {
        click(option(form, number));
        arguments << "--option" << QStringLiteral("Option%1").arg(number);
    }
    applyEdits(form, {QStringLiteral("termineT=%1").arg(steps)});
    LiveRun(form, steps + 1).start();
    QCOMPARE(form.stepCount(), steps);

    const Outcome outcome = render(*program, arguments);
    QCOMPARE(outcome.status, 0);
    QCOMPARE(outcome.err, QString());
    const QImage rendered(folder_.filePath("window.png"));
    QCOMPARE(differentPixels(rendered.convertToFormat(QImage::Format_RGB32), form.grafico()->image()), 0);
}

void RenderTest::endings_data()
{
    QTest::addColumn<QString>("output");     // relative to the test's folder
    QTest::addColumn<QStringList>("rest");   // the arguments after the output
    QTest::addColumn<qulonglong>("fileSizeLimit");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("message");    // a pattern of standard error
    QTest::addColumn<bool>("earlierFileKept");
    const qulonglong none = RLIM_INFINITY;
    QTest::newRow("written") << "ok.png" << QStringList{"--steps", "1000"} << none << 0 << "^$" << false;
    QTest::newRow("folder missing") << "missing/x.png" << QStringList{"--steps", "10"} << none << 1
                                    << "«.*missing/x\\.png».*la cartella non esiste" << false;
    QTest::newRow("path is a folder") << "." << QStringList{"--steps", "10"} << none << 1 << "«.*/\\.».*indica una cartella"
                                      << false;
    QTest::newRow("disk fills while writing") << "kept.png" << QStringList{"--steps", "100000", "--scale", "4"}
                                              << qulonglong(20000) << 1 << "«.*kept\\.png».*dimensione massima"
                                              << true;
    QTest::newRow("arithmetic fault") << "fault.png" << QStringList{"--steps", "1000", "--set", "dtT=1e300"} << none
                                      << 3 << "^Overflow numerico al passo 1: .*«.*fault\\.png»" << false;
    QTest::newRow("recipe missing") << "r.png" << QStringList{"--from", "/dev/null"} << none << 1
                                    << "«/dev/null».*non è un'immagine PNG" << false;
}

void RenderTest::endings()
{
    QFETCH(QString, output);
    QFETCH(QStringList, rest);
    QFETCH(qulonglong, fileSizeLimit);
    QFETCH(int, status);
    QFETCH(QString, message);
    QFETCH(bool, earlierFileKept);
    const QString path = folder_.filePath(output);
    const QByteArray earlier = "an earlier picture";
    if (earlierFileKept) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(earlier) == earlier.size());
    }
    const Outcome outcome = render(Brisuta, QStringList{path} + rest, fileSizeLimit);
    QCOMPARE(outcome.status, status);
    QVERIFY2(QRegularExpression(message).match(outcome.err).hasMatch(), qPrintable(outcome.err));
    if (earlierFileKept)
        QCOMPARE(contents(path), earlier);
    if (status == 0 || status == 3) {
        const QImage written(path);
        QCOMPARE(written.size(), QSize(439, 433));
        for (const char* key : {"Software", "Description", RecipeKey})
            QVERIFY2(!written.text(QLatin1String(key)).isEmpty(), key);
    }
    QCOMPARE(QDir(folder_.path()).entryList({"*.png.*"}, QDir::Files | QDir::Hidden), QStringList());
}

// A rendered picture carries its recipe: rendered again from it, at scale 1
// it is the same picture, and at scale 2 every point lands on the device
// pixels of a screen of twice the density.
void RenderTest::renderedPictureRendersAgain()
{
    const QString first = folder_.filePath("first.png"), again = folder_.filePath("again.png"),
                  twice = folder_.filePath("twice.png");
    QCOMPARE(render(Tessivo, {first, "--steps", "20000", "--option", "Option5"}).status, 0);
    QCOMPARE(render(Tessivo, {again, "--from", first}).status, 0);
    QCOMPARE(render(Tessivo, {twice, "--from", first, "--scale", "2"}).status, 0);
    const QImage one(first), two(again), doubled(twice);
    QCOMPARE(differentPixels(one, two), 0);
    QCOMPARE(doubled.size(), one.size() * 2);
    QCOMPARE(QImage(first).text(RecipeKey), QImage(again).text(RecipeKey));
}

// The largest picture any window saves, the recurrence map's at scale 16,
// opens again: the reader's bound on decoding leaves room for it.
void RenderTest::largestPictureRendersAgain()
{
    const QString large = folder_.filePath("large.png"), again = folder_.filePath("large-again.png"),
                  direct = folder_.filePath("direct.png");
    QCOMPARE(render(Tessivo, {large, "--steps", "500", "--scale", "16"}).status, 0);
    QCOMPARE(QImageReader(large).size(), QSize(8304, 7824));
    const Outcome reopened = render(Tessivo, {again, "--from", large});
    QVERIFY2(reopened.status == 0, qPrintable(reopened.err));
    QCOMPARE(render(Tessivo, {direct, "--steps", "500"}).status, 0);
    QCOMPARE(differentPixels(QImage(again), QImage(direct)), 0);
}

int main(int argc, char** argv)
{
    return child::main<RenderTest, QApplication>(argc, argv);
}

#include "RenderTest.moc"
