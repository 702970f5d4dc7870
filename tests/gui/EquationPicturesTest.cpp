#include "apps/EquationPictures.h"

#include <QImage>
#include <QTest>

using namespace vortiquo;

// The equation pictures are checked by their ink: right size, clean white
// edges, grey-scale text and a brace down the left side, and nothing below
// the rows that the picture's control shows; at 1x and on dense screens.

namespace {

constexpr int kDark = 128;  // grey level below which a pixel counts as ink
constexpr int kBraceColumns = 8;

bool IsDark(const QImage& image, int x, int y) { return qGray(image.pixel(x, y)) < kDark; }

bool rowHasInk(const QImage& image, int y, int fromX, int toX)
{
    for (int x = fromX; x < toX; ++x)
        if (IsDark(image, x, y))
            return true;
    return false;
}

bool columnHasInk(const QImage& image, int x, int fromY, int toY)
{
    for (int y = fromY; y < toY; ++y)
        if (IsDark(image, x, y))
            return true;
    return false;
}

// Pixels on the soft edge of a stroke, neither solid ink nor paper.
int edgePixels(const QImage& image)
{
    int edge = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            edge += qGray(image.pixel(x, y)) >= 40 && qGray(image.pixel(x, y)) < 215 ? 1 : 0;
    return edge;
}

struct Picture {
    const char* name;
    QImage (*draw)(double devicePixelRatio);
    QSize size;     // logical pixels
    int shownRows;  // how much of the picture its control shows; the rest must be blank
};

const Picture Pictures[] = {
    {"convection flow", convectionEquations, {117, 120}, 120},
    {"spiral flow", spiralEquations, {116, 124}, 124},
    {"recurrence map", recurrenceEquations, {78, 45}, 41},
    {"quadratic map", quadraticEquations, {111, 50}, 50},
};

}  // namespace

class EquationPicturesTest : public QObject {
    Q_OBJECT

private slots:
    void sizeIsExact_data() { AddPictures(); }
    void sizeIsExact();
    void inkIsBlackOnWhiteAndClearOfTheEdges_data() { AddPictures(); }
    void inkIsBlackOnWhiteAndClearOfTheEdges();
    void braceSpansTheLines_data() { AddPictures(); }
    void braceSpansTheLines();
    void rowsBelowTheShownPartAreBlank_data() { AddPictures(); }
    void rowsBelowTheShownPartAreBlank();
    void denseScreensGetSharpEdges_data() { AddPictures({1.5, 2.0}); }
    void denseScreensGetSharpEdges();

private:
    static void AddPictures(std::initializer_list<double> ratios = {1.0, 1.5, 2.0});
};

// Sizes and rows in device pixels, at each device pixel ratio.
void EquationPicturesTest::AddPictures(std::initializer_list<double> ratios)
{
    QTest::addColumn<QImage>("image");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<int>("shownRows");
    QTest::addColumn<double>("ratio");
    QTest::addColumn<QImage>("atOne");

    for (const double ratio : ratios)
        for (const Picture& picture : Pictures)
            QTest::addRow("%s at %g", picture.name, ratio)
                << picture.draw(ratio) << picture.size * ratio << static_cast<int>(picture.shownRows * ratio)
                << ratio << picture.draw(1.0);
}

void EquationPicturesTest::sizeIsExact()
{
    QFETCH(QImage, image);
    QFETCH(QSize, size);
    QFETCH(double, ratio);
    QCOMPARE(image.size(), size);
    QCOMPARE(image.devicePixelRatio(), ratio);
}

void EquationPicturesTest::inkIsBlackOnWhiteAndClearOfTheEdges()
{
    QFETCH(QImage, image);
    QFETCH(int, shownRows);
    const int w = image.width();
    const int h = image.height();

    for (const QPoint corner : {QPoint(0, 0), QPoint(w - 1, 0), QPoint(0, h - 1),
                                QPoint(w - 1, h - 1)})
        QCOMPARE(image.pixel(corner), qRgb(255, 255, 255));

    int dark = 0;
    int black = 0;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const QRgb pixel = image.pixel(x, y);
            if (qRed(pixel) != qGreen(pixel) || qGreen(pixel) != qBlue(pixel))
                QFAIL(qPrintable(QStringLiteral("coloured pixel at %1,%2").arg(x).arg(y)));
            dark += qGray(pixel) < kDark ? 1 : 0;
            black += qGray(pixel) < 40 ? 1 : 0;
        }
    }
    // Text, not just the brace, covers a fair share of the picture, with
    // solid black strokes.
    QVERIFY2(dark * 25 > w * h, qPrintable(QString::number(dark)));
    QVERIFY(black * 40 > w * h);

    // Nothing is cut off: the outermost columns and rows carry no ink. The
    // text is not set needlessly small either: it nearly fills the width.
    QVERIFY(!columnHasInk(image, 0, 0, h));
    QVERIFY(!columnHasInk(image, w - 1, 0, h));
    QVERIFY(!rowHasInk(image, 0, 0, w));
    QVERIFY(!rowHasInk(image, shownRows - 1, 0, w));
    int right = w - 1;
    while (right > 0 && !columnHasInk(image, right, 0, h))
        --right;
    QVERIFY2(right * 100 >= w * 85, qPrintable(QString::number(right)));
}

void EquationPicturesTest::braceSpansTheLines()
{
    QFETCH(QImage, image);
    QFETCH(int, shownRows);
    QFETCH(double, ratio);
    const int braceColumns = qRound(kBraceColumns * ratio);

    // The brace is a single tall stroke in the leftmost columns, apart from
    // the text: it covers most rows of the shown part without a break, and
    // the column just right of it is blank.
    int first = -1;
    int last = -1;
    for (int y = 0; y < shownRows; ++y) {
        if (rowHasInk(image, y, 0, braceColumns)) {
            if (first < 0)
                first = y;
            last = y;
        }
    }
    QVERIFY(first >= 0);
    QVERIFY2(last - first + 1 >= shownRows * 3 / 4,
             qPrintable(QStringLiteral("brace rows %1..%2").arg(first).arg(last)));
    for (int y = first; y <= last; ++y)
        QVERIFY2(rowHasInk(image, y, 0, braceColumns), qPrintable(QString::number(y)));
    QVERIFY(!columnHasInk(image, braceColumns + 1, 0, image.height()));
}

void EquationPicturesTest::rowsBelowTheShownPartAreBlank()
{
    QFETCH(QImage, image);
    QFETCH(int, shownRows);
    for (int y = shownRows; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            QCOMPARE(image.pixel(x, y), qRgb(255, 255, 255));
}

// Drawn at the ratio, a stroke's soft edge stays one device pixel wide, so
// edge pixels grow with the ratio r; a 1x picture blown up has its edges
// widened too, r squared as many or more. The bound lies halfway.
void EquationPicturesTest::denseScreensGetSharpEdges()
{
    QFETCH(QImage, image);
    QFETCH(double, ratio);
    QFETCH(QImage, atOne);
    const double growth = static_cast<double>(edgePixels(image)) / edgePixels(atOne);
    QVERIFY2(growth < (ratio + ratio * ratio) / 2, qPrintable(QString::number(growth)));
}

QTEST_MAIN(EquationPicturesTest)
#include "EquationPicturesTest.moc"
