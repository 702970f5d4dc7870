// The picture as shown, composed from the points alone: the background
// fills every pixel no point reached, and points handed over whole are
// composed in their own pixels, so that a large render is held only once.
#include <QImage>
#include <QTest>

#include "picture/Redraw.h"

using namespace vortiquo;

class ComposedTest : public QObject {
    Q_OBJECT
private slots:
    void backgroundBehindThePoints_data();
    void backgroundBehindThePoints();
};

void ComposedTest::backgroundBehindThePoints_data()
{
    QTest::addColumn<bool>("handedOver");
    QTest::addColumn<double>("ratio");
    QTest::newRow("handed over: composed in place") << true << 1.0;
    QTest::newRow("handed over at density 2") << true << 2.0;
    QTest::newRow("still held: the points stay as they were") << false << 1.0;
}

void ComposedTest::backgroundBehindThePoints()
{
    QFETCH(bool, handedOver);
    QFETCH(double, ratio);
    QImage points(9, 7, QImage::Format_ARGB32_Premultiplied);
    points.fill(Qt::transparent);
    points.setDevicePixelRatio(ratio);
    const QRgb drawn = qRgb(200, 10, 30), background = qRgb(12, 34, 56);
    points.setPixel(0, 0, drawn);
    points.setPixel(8, 6, drawn);
    const QImage before = points.copy();  // a copy of its own, which shares nothing
    const uchar* pixels = points.constBits();

    const QImage picture = handedOver ? composed(std::move(points), QColor(background))
                                      : composed(points, QColor(background));
    QCOMPARE(picture.format(), QImage::Format_RGB32);
    QCOMPARE(picture.devicePixelRatio(), ratio);
    QCOMPARE(picture.constBits() == pixels, handedOver);
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x) {
            const bool isPoint = (x == 0 && y == 0) || (x == 8 && y == 6);
            QCOMPARE(picture.pixel(x, y), isPoint ? drawn : background);
        }
    if (!handedOver)
        QCOMPARE(points, before);
}

QTEST_MAIN(ComposedTest)
#include "ComposedTest.moc"
