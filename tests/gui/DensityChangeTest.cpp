// A picture keeps the density it was drawn at until it is erased, and one
// opened during a run is shown when the run is over: a window that moves
// meanwhile to a screen of another density saves what it shows, and shows
// what it opened drawn for the screen it is on. Two offscreen screens, of
// one and two device pixels per logical pixel, stand in for two monitors.
#include <QApplication>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>

#include "DialogSupport.h"
#include "InteractionSupport.h"
#include "picture/PictureFile.h"
#include "window/PictureActions.h"

using namespace vortiquo;

using namespace interaction;

class DensityChangeTest : public QObject {
    Q_OBJECT
private slots:
    void pictureFollowsTheScreen_data();
    void pictureFollowsTheScreen();

private:
    QTemporaryDir folder_;
};

void DensityChangeTest::pictureFollowsTheScreen_data()
{
    QTest::addColumn<double>("from");  // the density of the first screen
    QTest::newRow("to a denser screen and back") << 1.0;
    QTest::newRow("to a plainer screen and back") << 2.0;
}

void DensityChangeTest::pictureFollowsTheScreen()
{
    QFETCH(double, from);
    QScreen *first = nullptr, *second = nullptr;
    for (QScreen* screen : QGuiApplication::screens())
        (screen->devicePixelRatio() == from ? first : second) = screen;
    QVERIFY(first && second);
    const QString path = folder_.filePath(QStringLiteral("%1.png").arg(from));
    SimulationForm form(Drumbel);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    form.setScreen(first);
    QTRY_COMPARE(form.grafico()->devicePixelRatioF(), first->devicePixelRatio());
    click(button(form, "Cancella"));
    applyEdits(form, {"termineT=3000", "x0T=0.1"});
    LiveRun(form).start();

    // Saved on the other screen, the picture is the one drawn on the first.
    form.setScreen(second);
    QTRY_COMPARE(form.grafico()->devicePixelRatioF(), second->devicePixelRatio());
    const QImage shown = form.grafico()->image();
    QVERIFY(form.pictureActions()->saveTo(path));
    QCOMPARE(differentPixels(QImage(path).convertToFormat(QImage::Format_RGB32), shown), 0);

    // Opened during a run, shown after a move back to the first screen.
    applyEdits(form, {"termineT=0", "x0T=0.2"});
    LiveRun(form)
        .at(100, [&](std::int64_t) {
            const auto message = acceptMessage();
            QVERIFY2(form.pictureActions()->openFile(path), qPrintable(*message));
            form.setScreen(first);
        })
        .start();
    const double ratio = form.grafico()->devicePixelRatioF();
    QCOMPARE(ratio, first->devicePixelRatio());
    QString error;
    const std::optional<Recipe> recipe = readRecipeFile(path, Drumbel, error);
    QVERIFY2(recipe, qPrintable(error));
    const QImage expected = composed(redrawSaved(*recipe, ratio, {}).redrawn.points, form.grafico()->background());
    QCOMPARE(differentPixels(form.grafico()->image(), expected), 0);
    QCOMPARE(textField(form, "x0T")->text(), "0.1");
}

int main(int argc, char** argv)
{
    QTemporaryDir folder;
    QFile screens(folder.filePath(QStringLiteral("screens.json")));
    if (!screens.open(QIODevice::WriteOnly) ||
        screens.write(R"({"screens": [{"name": "uno", "x": 0, "y": 0, "width": 1280, "height": 1024, "dpr": 1},
                                      {"name": "due", "x": 1280, "y": 0, "width": 2560, "height": 2048, "dpr": 2}]})") < 0)
        return 1;
    screens.close();
    qputenv("QT_QPA_PLATFORM", QFile::encodeName(QStringLiteral("offscreen:configfile=") + screens.fileName()));
    QApplication application(argc, argv);
    DensityChangeTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "DensityChangeTest.moc"
