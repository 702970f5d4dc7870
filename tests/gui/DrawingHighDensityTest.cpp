// On a screen of two device pixels per logical pixel the attractor is drawn
// at device resolution, so it stays crisp.
#include <QApplication>
#include <QLineEdit>
#include <QTest>

#include "InteractionSupport.h"

using namespace vortiquo;

using namespace interaction;

class DrawingHighDensityTest : public QObject {
    Q_OBJECT
private slots:
    void pointsLandOnDevicePixels()
    {
        SimulationForm form(Brisuta);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QCOMPARE(form.grafico()->devicePixelRatioF(), 2.0);
        // The drawing area's size in twips does not change with the density.
        QCOMPARE(form.state().plotWidth, 6585.0f);
        QCOMPARE(form.grafico()->image().size(), QSize(878, 866));

        textField(form, "dtT")->setText("0");
        textField(form, "termineT")->setText("3");
        LiveRun(form).start();
        // The still point at (3352, 5196) twips is device pixel (446, 692).
        const QImage& image = form.grafico()->image();
        const QRgb background = form.grafico()->background().rgb();
        int drawn = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                drawn += image.pixel(x, y) != background;
        QCOMPARE(drawn, 1);
        QCOMPARE(QColor(image.pixel(446, 692)), QColor(0, 12, 136));
    }
};

int main(int argc, char** argv)
{
    qputenv("QT_SCALE_FACTOR", "2");
    QApplication application(argc, argv);
    DrawingHighDensityTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "DrawingHighDensityTest.moc"
