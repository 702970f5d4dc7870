// "Esporta…" in a window: the print is the window's own picture at scale 1
// (and a density print carries its look, so it draws again the same); a
// cancelled export writes nothing, not even a hidden partial file, also when
// it is called off at the last moment; and a window closed during an export
// does not wait for its worker.
#include <QDir>
#include <QElapsedTimer>
#include <QProgressDialog>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThreadPool>

#include "InteractionSupport.h"
#include "picture/DensityPicture.h"
#include "picture/PictureFile.h"
#include "window/DrawingArea.h"
#include "window/ExportJob.h"
#include "window/ExportTask.h"
#include "window/ToolHost.h"

using namespace vortiquo;

using namespace interaction;

Q_DECLARE_METATYPE(VideoSettings)

namespace {

VideoSettings settings(bool density, int supersample, std::int64_t frames = 10, bool turn = false)
{
    VideoSettings chosen;
    chosen.look.density = density;
    chosen.look.tone = Tone::equalize;
    chosen.look.supersample = supersample;
    chosen.frames = frames;
    chosen.turn = turn;
    return chosen;
}

// Waits for the window's exports to end.
bool exportsEnded(SimulationForm& form)
{
    return QTest::qWaitFor([&] { return form.findChildren<ExportJob*>().isEmpty(); }, 60000);
}

}  // namespace

class ExportTest : public QObject {
    Q_OBJECT
private slots:
    void printOfTheWindow_data();
    void printOfTheWindow();
    void cancelledWritesNothing_data();
    void cancelledWritesNothing();
    void calledOffAtTheLastMoment_data();
    void calledOffAtTheLastMoment();
    void closingDoesNotWait();

private:
    QTemporaryDir folder_;
};

void ExportTest::printOfTheWindow_data()
{
    QTest::addColumn<const Program*>("program");
    QTest::addColumn<VideoSettings>("chosen");
    QTest::newRow("points, as shown") << &Kelvane << settings(false, 1);
    QTest::newRow("density, supersampled") << &Tessivo << settings(true, 2);
}

void ExportTest::printOfTheWindow()
{
    QFETCH(const Program*, program);
    QFETCH(VideoSettings, chosen);
    SimulationForm form(*program);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    applyEdits(form, {"termineT=20000"});
    LiveRun(form).start();
    const QString path = folder_.filePath(QString("%1.png").arg(QTest::currentDataTag()));
    ExportJob::start(*form.toolHost(), *form.toolHost()->recipe(), false, chosen, path);
    QVERIFY(exportsEnded(form));
    const QImage exported = QImage(path).convertToFormat(QImage::Format_RGB32);
    QVERIFY(!exported.isNull());
    if (chosen.look.plain()) {
        QCOMPARE(differentPixels(exported, form.grafico()->image()), 0);
        return;
    }
    QString error;
    const std::optional<Recipe> recipe = readRecipeFile(path, *program, error);
    QVERIFY2(recipe, qPrintable(error));
    QCOMPARE(recipe->look, chosen.look);
    QCOMPARE(recipe->steps, 20000);
    const LookedPicture again = drawLooked(*recipe, 1, recipe->look, {}, true);
    QVERIFY(again.whole);
    QCOMPARE(differentPixels(exported, again.picture), 0);
}

void ExportTest::cancelledWritesNothing_data()
{
    QTest::addColumn<bool>("video");
    QTest::addColumn<VideoSettings>("chosen");
    QTest::newRow("picture") << false << settings(true, 4);
    QTest::newRow("turning video") << true << settings(false, 1, 2000, true);
}

void ExportTest::cancelledWritesNothing()
{
    QFETCH(bool, video);
    QFETCH(VideoSettings, chosen);
    if (video && QStandardPaths::findExecutable("ffmpeg").isEmpty())
        QSKIP("ffmpeg is not installed");
    SimulationForm form(Brisuta);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    applyEdits(form, {"termineT=300000"});
    LiveRun(form, 400'000).start();
    QTemporaryDir out;
    ExportJob::start(*form.toolHost(), *form.toolHost()->recipe(), video, chosen, out.filePath(video ? "film.mp4" : "stampa.png"));
    auto* progress = form.findChild<QProgressDialog*>("esportazione");
    QVERIFY(progress);
    auto* cancel = progress->findChild<QPushButton*>();
    QVERIFY(cancel);
    click(cancel);
    QVERIFY(exportsEnded(form));
    QCOMPARE(QDir(out.path()).entryList(QDir::Files | QDir::Hidden), QStringList());
}

// The export is called off the first time its share reaches `callOffAt`:
// for a picture once it is encoded, just before it takes its name; for a
// video while ffmpeg finishes. Past 1, it is never called off.
void ExportTest::calledOffAtTheLastMoment_data()
{
    QTest::addColumn<bool>("video");
    QTest::addColumn<VideoSettings>("chosen");
    QTest::addColumn<double>("callOffAt");
    QTest::newRow("picture, not called off: written") << false << settings(true, 2) << 2.0;
    QTest::newRow("picture, once encoded") << false << settings(true, 2) << 1.0;
    QTest::newRow("video, while ffmpeg finishes") << true << settings(false, 1, 20) << 1.0;
    QTest::newRow("turning video, after its last frame") << true << settings(false, 1, 20, true) << 1.0;
}

void ExportTest::calledOffAtTheLastMoment()
{
    QFETCH(bool, video);
    QFETCH(VideoSettings, chosen);
    QFETCH(double, callOffAt);
    if (video && QStandardPaths::findExecutable("ffmpeg").isEmpty())
        QSKIP("ffmpeg is not installed");
    SimulationForm form(Brisuta);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    applyEdits(form, {"termineT=20000"});
    LiveRun(form).start();
    QTemporaryDir out;
    const QString path = out.filePath(video ? "film.mp4" : "stampa.png");
    const ExportTask task(form.program(), form.pictureRecipe(), video, chosen, path);
    bool calledOff = false;
    const ExportResult result = runExport(task, [&](double share) {
        calledOff = calledOff || share >= callOffAt;
        return !calledOff;
    });
    const QStringList left = QDir(out.path()).entryList(QDir::Files | QDir::Hidden);
    if (callOffAt > 1) {
        QCOMPARE(int(result.end), int(ExportResult::End::written));
        QCOMPARE(left, QStringList{"stampa.png"});
        return;
    }
    QVERIFY(calledOff);
    QCOMPARE(int(result.end), int(ExportResult::End::cancelled));
    QCOMPARE(left, QStringList());
}

// The window goes while its export draws: it is gone at once, the worker
// ends on its own afterwards, and nothing is written.
void ExportTest::closingDoesNotWait()
{
    auto* form = new SimulationForm(Brisuta);
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form));
    applyEdits(*form, {"termineT=300000"});
    LiveRun(*form, 400'000).start();
    QTemporaryDir out;
    VideoSettings large = settings(true, 4);
    large.scale = 4;
    ExportJob::start(*form->toolHost(), *form->toolHost()->recipe(), false, large, out.filePath("stampa.png"));
    // The last report of the replay: the toning and the encoding, which take
    // no cancel, are still to come.
    auto* progress = form->findChild<QProgressDialog*>("esportazione");
    QVERIFY(progress);
    QVERIFY(QTest::qWaitFor([&] { return progress->value() >= 800; }, 60000));
    delete form;
    // Had the window waited, its worker would be over by now: it goes on
    // for the toning and the encoding, a good part of a second.
    QElapsedTimer afterWindow;
    afterWindow.start();
    QVERIFY(QThreadPool::globalInstance()->waitForDone(60000));
    QVERIFY2(afterWindow.elapsed() >= 20, "the window waited for its export");
    QCOMPARE(QDir(out.path()).entryList(QDir::Files | QDir::Hidden), QStringList());
}

QTEST_MAIN(ExportTest)
#include "ExportTest.moc"
