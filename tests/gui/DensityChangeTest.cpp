// A picture opened during a run is shown when the run is over. Should the
// window move meanwhile to a screen of another density, the picture is
// shown drawn for the screen the window is on. Two offscreen screens, of one
// and two device pixels per logical pixel, stand in for two monitors.
#include <QApplication>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>

#include "DialogSupport.h"
#include "InteractionSupport.h"
#include "picture/PictureFile.h"
#include "window/PictureActions.h"

using namespace interaction;

namespace {

QScreen* screenNamed(const QString& name)
{
    for (QScreen* screen : QGuiApplication::screens())
        if (screen->name() == name)
            return screen;
    return nullptr;
}

}  // namespace

class DensityChangeTest : public QObject {
    Q_OBJECT
private slots:
    void openedDuringRunShownForTheNewScreen_data() { screenMoves(); }
    void openedDuringRunShownForTheNewScreen();
    void savedAfterMovingOpensAgain_data() { screenMoves(); }
    void savedAfterMovingOpensAgain();

private:
    static void screenMoves();
    // Shows the window on one of the two screens.
    static bool showOn(SimulationForm& form, const QString& screen);

    QTemporaryDir folder_;
};

void DensityChangeTest::screenMoves()
{
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("to");
    QTest::newRow("to a denser screen") << "uno" << "due";
    QTest::newRow("to a plainer screen") << "due" << "uno";
}

bool DensityChangeTest::showOn(SimulationForm& form, const QString& name)
{
    QScreen* screen = screenNamed(name);
    form.show();
    if (!screen || !QTest::qWaitForWindowExposed(&form))
        return false;
    form.setScreen(screen);
    return QTest::qWaitFor([&] { return form.grafico()->devicePixelRatioF() == screen->devicePixelRatio(); });
}

void DensityChangeTest::openedDuringRunShownForTheNewScreen()
{
    QFETCH(QString, from);
    QFETCH(QString, to);
    const QString path = folder_.filePath(from + "-aperta.png");
    {
        SimulationForm drawn(Drumbel);
        QVERIFY(showOn(drawn, "uno"));
        applyEdits(drawn, {"termineT=3000", "x0T=0.1"});
        LiveRun(drawn).start();
        QVERIFY(drawn.pictureActions()->saveTo(path));
    }

    SimulationForm form(Drumbel);
    QVERIFY(showOn(form, from));
    applyEdits(form, {"termineT=0"});
    LiveRun(form)
        .at(100, [&](std::int64_t) {
            QVERIFY(form.pictureActions()->openFile(path));
            form.setScreen(screenNamed(to));
        })
        .start();
    QVERIFY(!form.isRunning());
    const double ratio = form.grafico()->devicePixelRatioF();
    QCOMPARE(ratio, screenNamed(to)->devicePixelRatio());

    QString error;
    const std::optional<Recipe> recipe = readRecipeFile(path, Drumbel, error);
    QVERIFY2(recipe, qPrintable(error));
    const QImage expected = composed(redrawSaved(*recipe, ratio, {}).redrawn.points, form.grafico()->background());
    QCOMPARE(differentPixels(form.grafico()->image(), expected), 0);
    QCOMPARE(textField(form, "x0T")->text(), "0.1");
}

// A picture keeps the density it was drawn at until it is erased, even on
// another screen; saved there, it says so, and opens again.
void DensityChangeTest::savedAfterMovingOpensAgain()
{
    QFETCH(QString, from);
    QFETCH(QString, to);
    const QString path = folder_.filePath(from + "-spostata.png");
    SimulationForm form(Drumbel);
    QVERIFY(showOn(form, from));
    click(button(form, "Cancella"));
    applyEdits(form, {"termineT=3000"});
    LiveRun(form).start();
    form.setScreen(screenNamed(to));
    QTRY_COMPARE(form.grafico()->devicePixelRatioF(), screenNamed(to)->devicePixelRatio());
    const QImage shown = form.grafico()->image();
    QVERIFY(form.pictureActions()->saveTo(path));
    QCOMPARE(differentPixels(QImage(path).convertToFormat(QImage::Format_RGB32), shown), 0);

    SimulationForm reopened(Drumbel);
    QVERIFY(showOn(reopened, from));
    const auto message = acceptMessage();
    QVERIFY2(reopened.pictureActions()->openFile(path), qPrintable(*message));
    QCOMPARE(differentPixels(reopened.grafico()->image(), shown), 0);
}

int main(int argc, char** argv)
{
    QTemporaryDir folder;
    const QString screens = folder.filePath(QStringLiteral("screens.json"));
    QFile file(screens);
    if (!file.open(QIODevice::WriteOnly) ||
        file.write(R"({"screens": [{"name": "uno", "x": 0, "y": 0, "width": 1280, "height": 1024, "dpr": 1},
                                   {"name": "due", "x": 1280, "y": 0, "width": 2560, "height": 2048, "dpr": 2}]})") < 0)
        return 1;
    file.close();
    qputenv("QT_QPA_PLATFORM", QFile::encodeName(QStringLiteral("offscreen:configfile=") + screens));
    QApplication application(argc, argv);
    DensityChangeTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "DensityChangeTest.moc"
