// "Esporta…" in a window: the print is the window's own picture at scale 1
// (and a density print carries its look, so it draws again the same); a
// cancelled export writes nothing, not even a hidden partial file.
#include <QDir>
#include <QProgressDialog>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>

#include "InteractionSupport.h"
#include "picture/DensityPicture.h"
#include "picture/PictureFile.h"
#include "window/DrawingArea.h"
#include "window/ExportJob.h"
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

QTEST_MAIN(ExportTest)
#include "ExportTest.moc"
