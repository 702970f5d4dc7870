// On dense screens Equazioni shows its picture drawn at the screen's own
// device pixel ratio, and draws it again when the window moves to a screen
// of another ratio: here two screens, of 2 and of 1.5 device pixels per
// logical pixel.
#include <QApplication>
#include <QFile>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>

#include "ProgramRows.h"
#include "window/EquationView.h"
#include "window/SimulationForm.h"

using namespace vortiquo;

class EquationHighDensityTest : public QObject {
    Q_OBJECT
private slots:
    void pictureFollowsTheScreensRatio_data() { addProgramRows(); }
    void pictureFollowsTheScreensRatio()
    {
        QFETCH(const Program*, program);
        SimulationForm form(*program);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        auto* view = form.findChild<EquationView*>(QStringLiteral("Equazioni"));
        for (QScreen* screen : QGuiApplication::screens()) {
            form.setScreen(screen);
            const double ratio = view->devicePixelRatioF();
            QCOMPARE(ratio, screen->devicePixelRatio());
            // Shown pixel for pixel, not scaled: as far as the view reaches,
            // it shows the picture drawn at this ratio.
            const QImage shown = view->grab().toImage().convertToFormat(QImage::Format_RGB32);
            const QImage drawn = program->layout->equationPicture(ratio);
            const QRect common = shown.rect() & drawn.rect();
            QCOMPARE(shown.copy(common), drawn.copy(common));
        }
    }
};

int main(int argc, char** argv)
{
    // Two offscreen screens side by side, the second at three quarters the
    // density of the first; the scale factor doubles both, to 2 and 1.5.
    QTemporaryDir directory;
    QFile screens(directory.filePath(QStringLiteral("screens.json")));
    if (!screens.open(QIODevice::WriteOnly))
        return 1;
    screens.write(R"({"screens": [
        {"name": "double", "x": 0, "y": 0, "width": 2400, "height": 2000, "dpr": 1},
        {"name": "one and a half", "x": 2400, "y": 0, "width": 2400, "height": 2000, "dpr": 0.75}]})");
    screens.close();
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + screens.fileName().toLocal8Bit());
    qputenv("QT_SCALE_FACTOR", "2");
    QApplication application(argc, argv);
    EquationHighDensityTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "EquationHighDensityTest.moc"
