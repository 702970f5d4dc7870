// Videos and density prints as a user makes them, in child processes with no
// display: a frame is the render of the same steps (and angle), bit for bit;
// the encoder gets even sizes; a missing or failing encoder leaves no file;
// a density print renders again from its recipe.
#include <QDir>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include "InteractionSupport.h"
#include "cli/CommandReaders.h"
#include "cli/Render.h"
#include "cli/RunProgram.h"
#include "engine/FrameSink.h"
#include "picture/Recipe.h"
#include "engine/VideoExport.h"

using namespace vortiquo;

using namespace interaction;

namespace {

constexpr char ChildProgram[] = "VORTIQUO_VIDEO_CHILD";

struct Outcome {
    int status = -1;
    QString err;
};

// Runs a program with no display; `path`, if given, is the child's PATH.
Outcome run(const Program& program, const QStringList& arguments, const QString& path = {})
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* variable : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        environment.remove(variable);
    environment.insert(ChildProgram, program.name);
    if (!path.isNull())
        environment.insert("PATH", path);
    QProcess child;
    child.setProcessEnvironment(environment);
    child.start(QCoreApplication::applicationFilePath(), arguments);
    if (!child.waitForFinished(120000) || child.exitStatus() != QProcess::NormalExit)
        return {};
    return {child.exitCode(), QString::fromUtf8(child.readAllStandardError())};
}

// The size ffprobe finds in a video, "WxH".
QString videoSize(const QString& path)
{
    QProcess probe;
    probe.start("ffprobe", {"-v", "error", "-select_streams", "v:0", "-show_entries", "stream=width,height", "-of",
                            "csv=s=x:p=0", path});
    probe.waitForFinished(30000);
    return QString::fromUtf8(probe.readAllStandardOutput()).trimmed();
}

}  // namespace

class VideoTest : public QObject {
    Q_OBJECT
private slots:
    void frameIsTheRender_data();
    void frameIsTheRender();
    void encoder_data();
    void encoder();
    void densityRendersAgain_data();
    void densityRendersAgain();
    void usageErrors_data();
    void usageErrors();

private:
    QTemporaryDir folder_;
};

// Frames taken at 1, a middle and the last: each is --render of its steps,
// with the frame's angle when the view turns.
void VideoTest::frameIsTheRender_data()
{
    QTest::addColumn<const Program*>("program");
    QTest::addColumn<QStringList>("look");
    QTest::addColumn<bool>("turn");
    QTest::addColumn<QStringList>("edits");
    QTest::newRow("convection building up") << &Brisuta << QStringList{} << false << QStringList{};
    QTest::newRow("spiral turning, angle edited") << &Kelvane << QStringList{} << true
                                                  << QStringList{"--set", "numT=2", "--set", "denT=7"};
    QTest::newRow("quadratic density, equalized") << &Drumbel << QStringList{"--density", "--tone", "equalize"}
                                                  << false << QStringList{};
    QTest::newRow("convection turning, density supersampled")
        << &Brisuta << QStringList{"--density", "--supersample", "2"} << true << QStringList{"--option", "Option3"};
}

void VideoTest::frameIsTheRender()
{
    QFETCH(const Program*, program);
    QFETCH(QStringList, look);
    QFETCH(bool, turn);
    QFETCH(QStringList, edits);
    const qint64 steps = 30001, frames = 7;
    const QString frameFolder = folder_.filePath(QString("frames-%1").arg(QTest::currentDataTag()));
    QStringList video = QStringList{"--video", "unused.mp4", "--frames-dir", frameFolder, "--steps",
                                    QString::number(steps), "--frames", QString::number(frames)} + look + edits;
    if (turn)
        video << "--turn";
    QCOMPARE(run(*program, video).status, 0);
    QCOMPARE(QDir(frameFolder).entryList({"*.png"}).size(), int(frames));

    RenderRequest request;
    request.steps = steps;
    for (int at = 0; at + 1 < edits.size(); at += 2)
        if (edits[at] == "--set")
            QVERIFY(readEdit(edits[at + 1], *program, request.edits).isEmpty());
    const Recipe recipe = recipeForRequest(*program, request);
    for (qint64 frame : {qint64(1), qint64(4), frames}) {
        const qint64 upTo = frameSteps(frame, steps, frames);
        const QString rendered = folder_.filePath(QString("render-%1.png").arg(frame));
        QStringList arguments = QStringList{"--render", rendered, "--steps", QString::number(upTo)} + look + edits;
        if (turn)
            arguments << "--set" << QString("numT=%1").arg(QString::fromStdString(turnNumerator(recipe, frame, frames)))
                      << "--set" << "denT=1";
        QCOMPARE(run(*program, arguments).status, 0);
        const QImage fromVideo(QDir(frameFolder).filePath(FrameFolder::frameName(frame)));
        QVERIFY(!fromVideo.isNull());
        QCOMPARE(differentPixels(fromVideo, QImage(rendered)), 0);
    }
}

// Where the encoder is missing or fails, the status is 1, the message says
// what to do, and nothing is left in the folder under any name.
void VideoTest::encoder_data()
{
    QTest::addColumn<QString>("encoder");  // the ffmpeg on the PATH: none, a failing one, or the real one
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("said");
    QTest::newRow("missing") << "none" << 1 << "apt install ffmpeg";
    QTest::newRow("failing") << "failing" << 1 << "ffmpeg";
    QTest::newRow("odd size padded to even") << "real" << 0 << "";
}

void VideoTest::encoder()
{
    QFETCH(QString, encoder);
    QFETCH(int, status);
    QFETCH(QString, said);
    QTemporaryDir tools, out;
    QString path = tools.path();
    if (encoder == "failing") {
        QFile fake(tools.filePath("ffmpeg"));
        QVERIFY(fake.open(QIODevice::WriteOnly));
        fake.write("#!/bin/sh\necho 'codifica rifiutata' >&2\nexit 1\n");
        fake.close();
        fake.setPermissions(fake.permissions() | QFileDevice::ExeOwner);
    } else if (encoder == "real") {
        if (QStandardPaths::findExecutable("ffmpeg").isEmpty() || QStandardPaths::findExecutable("ffprobe").isEmpty())
            QSKIP("ffmpeg is not installed");
        path = qEnvironmentVariable("PATH");
    }
    // The flows' area is 439×433 device pixels at scale 1: odd both ways.
    const QString video = out.filePath("film.mp4");
    const Outcome outcome = run(Brisuta, {"--video", video, "--steps", "20000", "--frames", "10"}, path);
    QCOMPARE(outcome.status, status);
    QVERIFY2(outcome.err.contains(said), qPrintable(outcome.err));
    if (status != 0) {
        QCOMPARE(QDir(out.path()).entryList(QDir::Files | QDir::Hidden), QStringList());
        return;
    }
    QCOMPARE(videoSize(video), QString("440x434"));
    QCOMPARE(QDir(out.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"film.mp4"});
}

// A density print carries its look: rendered again from it, the same pixels
// and the same recipe; filmed from it, the same look.
void VideoTest::densityRendersAgain_data()
{
    QTest::addColumn<const Program*>("program");
    QTest::addColumn<QStringList>("look");
    QTest::newRow("log") << &Tessivo << QStringList{"--density"};
    QTest::newRow("equalize, supersampled, scale 2")
        << &Drumbel << QStringList{"--density", "--tone", "equalize", "--supersample", "3", "--scale", "2"};
}

void VideoTest::densityRendersAgain()
{
    QFETCH(const Program*, program);
    QFETCH(QStringList, look);
    const QString first = folder_.filePath(QString("%1-first.png").arg(QTest::currentDataTag()));
    const QString again = folder_.filePath(QString("%1-again.png").arg(QTest::currentDataTag()));
    QCOMPARE(run(*program, QStringList{"--render", first, "--steps", "50000"} + look).status, 0);
    const int scaleAt = int(look.indexOf("--scale"));
    QStringList scale = scaleAt < 0 ? QStringList{} : look.mid(scaleAt, 2);
    QCOMPARE(run(*program, QStringList{"--render", again, "--from", first} + scale).status, 0);
    QCOMPARE(differentPixels(QImage(first), QImage(again)), 0);
    QCOMPARE(QImage(first).text(RecipeKey), QImage(again).text(RecipeKey));
    QVERIFY(QImage(first).text(RecipeKey).contains("density"));
    // A film of the saved print takes its look: its last frame is the print.
    const QString frames = folder_.filePath(QString("%1-frames").arg(QTest::currentDataTag()));
    QCOMPARE(run(*program, QStringList{"--video", "x.mp4", "--from", first, "--frames", "3", "--frames-dir", frames} +
                               scale)
                 .status,
             0);
    QCOMPARE(differentPixels(QImage(QDir(frames).filePath(FrameFolder::frameName(3))), QImage(first)), 0);
}

// Each wrong line is refused with status 2 before anything is drawn; a
// negative number is read as the option's value, and refused for its range.
void VideoTest::usageErrors_data()
{
    QTest::addColumn<const Program*>("program");
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("said");
    QTest::newRow("turning a map") << &Tessivo << QStringList{"--video", "x.mp4", "--steps", "100", "--turn"}
                                   << "--turn";
    QTest::newRow("negative frames") << &Brisuta << QStringList{"--video", "x.mp4", "--steps", "100", "--frames", "-5"}
                                     << "«-5»";
    QTest::newRow("more frames than steps") << &Brisuta
                                            << QStringList{"--video", "x.mp4", "--steps", "10", "--frames", "20"}
                                            << "--frames 20";
    QTest::newRow("negative supersample") << &Drumbel
                                          << QStringList{"--render", "x.png", "--steps", "9", "--supersample", "-2"}
                                          << "«-2»";
    QTest::newRow("too large a drawing")
        << &Drumbel << QStringList{"--render", "x.png", "--steps", "9", "--scale", "8", "--supersample", "4"}
        << "--supersample";
    QTest::newRow("tone without density") << &Kelvane
                                          << QStringList{"--render", "x.png", "--steps", "9", "--tone", "log"}
                                          << "--density";
    QTest::newRow("unknown tone") << &Kelvane
                                  << QStringList{"--render", "x.png", "--steps", "9", "--density", "--tone", "lin"}
                                  << "equalize";
    QTest::newRow("turn with render") << &Kelvane << QStringList{"--render", "x.png", "--steps", "9", "--turn"}
                                      << "--video";
}

void VideoTest::usageErrors()
{
    QFETCH(const Program*, program);
    QFETCH(QStringList, arguments);
    QFETCH(QString, said);
    QDir::setCurrent(folder_.path());
    const Outcome outcome = run(*program, arguments);
    QCOMPARE(outcome.status, 2);
    QVERIFY2(outcome.err.contains(said), qPrintable(outcome.err));
    QCOMPARE(QDir(folder_.path()).entryList({"x.*"}, QDir::Files | QDir::Hidden), QStringList());
}

int main(int argc, char** argv)
{
    if (const QByteArray child = qgetenv(ChildProgram); !child.isEmpty())
        return runProgram(argc, argv, programNamed(child.toStdString()));
    QApplication application(argc, argv);
    VideoTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "VideoTest.moc"
