// What a film leaves on disk, however it ends: a frame folder holds this
// film's frames and no other, or nothing new; a film that fails, is called
// off at the last moment or is interrupted by a signal leaves no hidden file
// or folder; a saved picture that claims more steps than a film can take is
// refused before anything is drawn; and the frames' steps stay exact for
// counts whose products pass 64 bits.
#include <QDir>
#include <QElapsedTimer>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <csignal>
#include <sys/resource.h>

#include "InteractionSupport.h"
#include "cli/Render.h"
#include "cli/RunProgram.h"
#include "engine/FrameSink.h"
#include "engine/VideoExport.h"
#include "picture/Recipe.h"

using namespace vortiquo;

namespace {

constexpr char ChildProgram[] = "VORTIQUO_FILM_CHILD";

struct Outcome {
    int status = -1;
    QString err;
};

// A child with no display; a file size limit, if given, makes writing fail
// part way, as a full disk does.
void prepare(QProcess& child, const Program& program, rlim_t fileSizeLimit = RLIM_INFINITY)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* variable : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        environment.remove(variable);
    environment.insert(ChildProgram, program.name);
    child.setProcessEnvironment(environment);
    child.setChildProcessModifier([fileSizeLimit] {
        const rlimit limit{fileSizeLimit, fileSizeLimit};
        setrlimit(RLIMIT_FSIZE, &limit);
        std::signal(SIGXFSZ, SIG_IGN);
    });
}

Outcome run(const Program& program, const QStringList& arguments, rlim_t fileSizeLimit = RLIM_INFINITY)
{
    QProcess child;
    prepare(child, program, fileSizeLimit);
    child.start(QCoreApplication::applicationFilePath(), arguments);
    if (!child.waitForFinished(120000) || child.exitStatus() != QProcess::NormalExit)
        return {};
    return {child.exitCode(), QString::fromUtf8(child.readAllStandardError())};
}

// Everything in a folder, hidden entries too.
QStringList entries(const QString& folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
}

bool hasHiddenEntry(const QString& folder)
{
    for (const QString& name : entries(folder))
        if (name.startsWith('.'))
            return true;
    return false;
}

bool ffmpegMissing()
{
    return QStandardPaths::findExecutable("ffmpeg").isEmpty();
}

}  // namespace

class FilmFilesTest : public QObject {
    Q_OBJECT
private slots:
    void frameFolder_data();
    void frameFolder();
    void interrupted_data();
    void interrupted();
    void calledOffAtTheLastMoment_data();
    void calledOffAtTheLastMoment();
    void savedPictureClaimingTooManySteps();
    void frameStepsExact_data();
    void frameStepsExact();
};

// A 3-frame film into a folder: what is there afterwards, and what is said.
void FilmFilesTest::frameFolder_data()
{
    QTest::addColumn<int>("earlierFrames");  // frames already in the folder; -1: no folder yet
    QTest::addColumn<int>("fileSizeLimit");  // bytes a file may take; 0: none
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("said");
    QTest::addColumn<int>("framesAfter");  // -1: no folder afterwards
    QTest::newRow("new folder") << -1 << 0 << 0 << "" << 3;
    QTest::newRow("empty folder") << 0 << 0 << 0 << "" << 3;
    QTest::newRow("earlier frames kept, film refused") << 6 << 0 << 1 << "non è vuota" << 6;
    QTest::newRow("disk fills part way: nothing, said in Italian")
        << -1 << 16 * 1024 << 1 << "il file supera la dimensione massima" << -1;
}

void FilmFilesTest::frameFolder()
{
    QFETCH(int, earlierFrames);
    QFETCH(int, fileSizeLimit);
    QFETCH(int, status);
    QFETCH(QString, said);
    QFETCH(int, framesAfter);
    QTemporaryDir parent;
    const QString folder = parent.filePath("fotogrammi");
    if (earlierFrames >= 0)
        QVERIFY(QDir().mkdir(folder));
    for (int frame = 1; frame <= earlierFrames; ++frame) {
        QFile earlier(QDir(folder).filePath(FrameFolder::frameName(frame)));
        QVERIFY(earlier.open(QIODevice::WriteOnly) && earlier.write("prima") == 5);
    }
    // The frames grow as the attractor fills in: the first fits the limit, a later one does not.
    const Outcome outcome = run(Brisuta,
                                {"--video", "x.mp4", "--frames-dir", folder, "--steps", "400000", "--frames", "3"},
                                fileSizeLimit > 0 ? rlim_t(fileSizeLimit) : RLIM_INFINITY);
    QCOMPARE(outcome.status, status);
    QVERIFY2(outcome.err.contains(said), qPrintable(outcome.err));
    QCOMPARE(entries(parent.path()), framesAfter < 0 ? QStringList() : QStringList{"fotogrammi"});
    if (framesAfter >= 0)
        QCOMPARE(entries(folder).size(), framesAfter);
    if (earlierFrames > 0) {
        QFile kept(QDir(folder).filePath(FrameFolder::frameName(1)));
        QVERIFY(kept.open(QIODevice::ReadOnly) && kept.readAll() == "prima");
    }
}

// A signal in the middle of a film: the status a shell expects, no file.
void FilmFilesTest::interrupted_data()
{
    QTest::addColumn<int>("signal");
    QTest::addColumn<bool>("frames");
    QTest::newRow("Ctrl+C during a video") << int(SIGINT) << false;
    QTest::newRow("kill during a video") << int(SIGTERM) << false;
    QTest::newRow("kill while frames are written") << int(SIGTERM) << true;
}

void FilmFilesTest::interrupted()
{
    QFETCH(int, signal);
    QFETCH(bool, frames);
    if (!frames && ffmpegMissing())
        QSKIP("ffmpeg is not installed");
    QTemporaryDir out;
    QStringList arguments = {"--video", out.filePath("film.mp4"), "--steps", "50000000", "--frames", "600",
                             "--scale", "2"};
    if (frames)
        arguments << "--frames-dir" << out.filePath("fotogrammi");
    QProcess child;
    prepare(child, Brisuta);
    child.start(QCoreApplication::applicationFilePath(), arguments);
    QVERIFY(child.waitForStarted());
    // Once the hidden film or folder is there, the film is under way.
    QElapsedTimer waited;
    waited.start();
    while (!hasHiddenEntry(out.path()) && waited.elapsed() < 60000 && child.state() == QProcess::Running)
        QTest::qWait(20);
    QVERIFY(hasHiddenEntry(out.path()));
    QTest::qWait(300);
    ::kill(pid_t(child.processId()), signal);
    QVERIFY(child.waitForFinished(30000));
    QCOMPARE(child.exitStatus(), QProcess::NormalExit);
    QCOMPARE(child.exitCode(), 128 + signal);
    QCOMPARE(entries(out.path()), QStringList());
}

// The film is called off when its share first reaches 1: after its last
// frame, while the encoder finishes, or just before the name is taken.
void FilmFilesTest::calledOffAtTheLastMoment_data()
{
    QTest::addColumn<bool>("video");
    QTest::addColumn<bool>("turn");
    QTest::addColumn<double>("callOffAt");  // the share at which it is called off
    QTest::newRow("video, at once") << true << false << 0.0;
    QTest::newRow("video, while ffmpeg finishes") << true << false << 1.0;
    QTest::newRow("turning video, after its last frame") << true << true << 1.0;
    QTest::newRow("frames, just before the folder's rename") << false << false << 1.0;
}

void FilmFilesTest::calledOffAtTheLastMoment()
{
    QFETCH(bool, video);
    QFETCH(bool, turn);
    QFETCH(double, callOffAt);
    if (video && ffmpegMissing())
        QSKIP("ffmpeg is not installed");
    RenderRequest request;
    request.steps = 20000;
    const Recipe recipe = recipeForRequest(Brisuta, request);
    VideoSettings settings;
    settings.frames = 5;
    settings.turn = turn;
    QTemporaryDir out;
    bool asked = false;
    VideoOutcome outcome;
    {
        // What the sinks hold goes with them, as at the end of a command.
        VideoEncoder encoder(out.filePath("film.mp4"), settings.fps, recipe.background);
        FrameFolder folder(out.filePath("fotogrammi"));
        FrameSink& sink = video ? static_cast<FrameSink&>(encoder) : folder;
        outcome = makeVideo(recipe, *request.steps, settings, sink, [&](double share) {
            asked = asked || share >= callOffAt;
            return !asked;
        });
    }
    QVERIFY(asked);
    QCOMPARE(int(outcome.end), int(VideoOutcome::End::cancelled));
    QCOMPARE(entries(out.path()), QStringList());
}

// A saved picture is untrusted: one that claims 2^53 steps makes a film
// whose frames times steps pass the bound, refused with status 2.
void FilmFilesTest::savedPictureClaimingTooManySteps()
{
    QTemporaryDir out;
    const QString saved = out.filePath("salvata.png"), claiming = out.filePath("pretende.png");
    QCOMPARE(run(Drumbel, {"--render", saved, "--steps", "1000"}).status, 0);
    QImage picture(saved);
    QString recipe = picture.text(RecipeKey);
    QVERIFY(recipe.contains("\"steps\": 1000"));
    picture.setText(RecipeKey, recipe.replace("\"steps\": 1000", "\"steps\": 9007199254740992"));
    QVERIFY(picture.save(claiming));
    const Outcome outcome =
        run(Drumbel, {"--video", out.filePath("film.mp4"), "--from", claiming, "--frames", "3", "--frames-dir",
                      out.filePath("fotogrammi")});
    QCOMPARE(outcome.status, 2);
    QVERIFY2(outcome.err.contains(QString::number(qint64(MostFilmFrameSteps))), qPrintable(outcome.err));
    QCOMPARE(entries(out.path()), (QStringList{"pretende.png", "salvata.png"}));
}

void FilmFilesTest::frameStepsExact_data()
{
    QTest::addColumn<qint64>("frame");
    QTest::addColumn<qint64>("steps");
    QTest::addColumn<qint64>("frames");
    QTest::addColumn<qint64>("expected");
    QTest::newRow("a half goes up") << qint64(1) << qint64(3) << qint64(2) << qint64(2);
    QTest::newRow("less than a half goes down") << qint64(1) << qint64(1) << qint64(3) << qint64(0);
    QTest::newRow("2^53 steps, first of 3") << qint64(1) << (qint64(1) << 53) << qint64(3)
                                            << qint64(3002399751580331);
    QTest::newRow("2^62 steps, last of the most frames")
        << qint64(MostFilmFrames) << (qint64(1) << 62) << qint64(MostFilmFrames) << (qint64(1) << 62);
    QTest::newRow("the largest product, middle frame, a half up")
        << qint64(MostFilmFrames / 2) << qint64(MostFilmFrameSteps / MostFilmFrames) << qint64(MostFilmFrames)
        << qint64(1073741824);
}

void FilmFilesTest::frameStepsExact()
{
    QFETCH(qint64, frame);
    QFETCH(qint64, steps);
    QFETCH(qint64, frames);
    QFETCH(qint64, expected);
    QCOMPARE(qint64(frameSteps(frame, steps, frames)), expected);
}

int main(int argc, char** argv)
{
    if (const QByteArray child = qgetenv(ChildProgram); !child.isEmpty())
        return runProgram(argc, argv, programNamed(child.toStdString()));
    QApplication application(argc, argv);
    FilmFilesTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "FilmFilesTest.moc"
