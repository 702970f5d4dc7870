// What a run leaves on Grafico: the expected pixels in the expected colours,
// a picture that survives repaints, and a screen refreshed per frame rather
// than per point.
#include <QApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QSet>
#include <QTest>

#include "InteractionSupport.h"
#include "window/RunDispatcher.h"

using namespace vortiquo;

using namespace interaction;

namespace {

void setField(SimulationForm& form, const char* name, const QString& text)
{
    textField(form, QString::fromLatin1(name))->setText(text);
}

// Every pixel of the image that is not the background.
QList<QPoint> drawnPixels(const DrawingArea& area)
{
    QList<QPoint> drawn;
    const QImage& image = area.image();
    const QRgb background = area.background().rgb();
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) != background)
                drawn.append(QPoint(x, y));
    return drawn;
}

class PaintCounter : public QObject {
public:
    int paints = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            ++paints;
        return false;
    }
};

}  // namespace

class DrawingTest : public QObject {
    Q_OBJECT
public:
    // The windows process their events as the programs' windows do.
    static void initMain() { prepareWindowEvents(); }

private slots:
    void runDrawsExpectedPixels_data();
    void runDrawsExpectedPixels();
    void verticalCoordinateBeyondSixteenBitsEndsRun();
    void pictureSurvivesRepaint();
    void screenIsRefreshedPerFrameNotPerPoint();
    void backgroundFollowsTheThemeAndKeepsThePoints();
};

void DrawingTest::runDrawsExpectedPixels_data()
{
    QTest::addColumn<const Program*>("program");
    QTest::addColumn<QStringList>("fields");  // name=text pairs typed before the run
    QTest::addColumn<QList<QPoint>>("pixels");
    QTest::addColumn<QList<QRgb>>("colours");
    // A still flow (dt 0) plots the start point (1, 1, 1) again and again:
    // u = cos - sin = 0.366..., w = 1 - 2 sin, so X = floor(0.50915 * 6585) =
    // 3352 and Y = floor(6495 - 0.2 * 6495) = 5196; x and y give components
    // 12 and 136, z (below 10) gives 0; scheme 1 puts them in green and blue.
    QTest::newRow("convection, still")
        << &Brisuta << QStringList{"dtT=0"} << QList<QPoint>{{223, 346}} << QList<QRgb>{qRgb(0, 12, 136)};
    // The quadratic map with a = 1 and b = 0 from (1, 1) alternates between
    // (1, 0) and (0, 0): X = 5587 or 3352, Y = 3187; x gives 212 or 127, y 127.
    QTest::newRow("quadratic, two-cycle")
        << &Drumbel << QStringList{"aT=1", "bT=0"} << QList<QPoint>{{223, 212}, {372, 212}}
        << QList<QRgb>{qRgb(0, 127, 127), qRgb(0, 212, 127)};
    // The recurrence map with a = 0 and b = -1 from (1, 1) goes to (1, 0) and
    // then round the cycle (0, 0), (0, -1), (-1, -1), (-1, 0): x = 1 gives 34,
    // x = 0 and x = -1 give 0 (at or below the band); y = 0 gives 127, y = -1 63.
    QTest::newRow("recurrence, into a cycle")
        << &Tessivo << QStringList{"aT=0", "bT=-1"}
        << QList<QPoint>{{129, 244}, {129, 366}, {259, 244}, {259, 366}, {389, 244}}
        << QList<QRgb>{qRgb(0, 0, 127), qRgb(0, 0, 63), qRgb(0, 0, 127), qRgb(0, 0, 63), qRgb(0, 34, 127)};
}

void DrawingTest::runDrawsExpectedPixels()
{
    QFETCH(const Program*, program);
    QFETCH(QStringList, fields);
    QFETCH(QList<QPoint>, pixels);
    QFETCH(QList<QRgb>, colours);
    SimulationForm form(*program);
    form.show();
    for (const QString& field : fields) {
        const QStringList parts = field.split('=');
        setField(form, qPrintable(parts[0]), parts[1]);
    }
    setField(form, "termineT", "50");
    LiveRun(form).start();
    QCOMPARE(form.stepCount(), 50);

    QList<QPoint> drawn = drawnPixels(*form.grafico());
    std::sort(drawn.begin(), drawn.end(), [](QPoint p, QPoint q) { return std::pair(p.x(), p.y()) < std::pair(q.x(), q.y()); });
    QCOMPARE(drawn, pixels);
    for (int i = 0; i < pixels.size(); ++i)
        QCOMPARE(QColor(form.grafico()->image().pixel(pixels[i])), QColor(colours[i]));
}

void DrawingTest::verticalCoordinateBeyondSixteenBitsEndsRun()
{
    // With b = 5.6 the first point lies far above the area, still within
    // 16 bits; with b = 5.7 it does not, and the run ends at its first step.
    SimulationForm form(Drumbel);
    form.show();
    setField(form, "termineT", "1");
    setField(form, "bT", "5.6");
    LiveRun(form).start();
    QCOMPARE(form.stepCount(), 1);
    QVERIFY(!form.findChild<QMessageBox*>("messaggioOverflow"));
    QVERIFY(drawnPixels(*form.grafico()).isEmpty());

    setField(form, "bT", "5.7");
    LiveRun(form).start();
    QCOMPARE(form.stepCount(), 0);
    auto* message = form.findChild<QMessageBox*>("messaggioOverflow");
    QVERIFY(message && message->isVisible());
    QVERIFY(message->text().contains(QStringLiteral("passo 1")));
    QCOMPARE(form.state().x, 1.0);  // the faulting step committed nothing
}

void DrawingTest::pictureSurvivesRepaint()
{
    SimulationForm form(Brisuta);
    form.show();
    setField(form, "termineT", "20000");
    LiveRun(form).start();
    const QImage kept = form.grafico()->image();
    // A full repaint, as after covering or minimising, shows the kept picture.
    const QImage shown = form.grafico()->grab().toImage().convertToFormat(kept.format());
    QCOMPARE(shown, kept);
    QVERIFY(drawnPixels(*form.grafico()).size() > 100);
}

void DrawingTest::screenIsRefreshedPerFrameNotPerPoint()
{
    SimulationForm form(Kelvane);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    PaintCounter counter;
    form.grafico()->installEventFilter(&counter);
    setField(form, "termineT", "200000");
    LiveRun(form).start();
    QVERIFY2(counter.paints < 2000, qPrintable(QString::number(counter.paints)));
    // Whatever was drawn last reaches the screen within a frame.
    QTRY_COMPARE(form.grafico()->grab().toImage().convertToFormat(QImage::Format_RGB32),
                 form.grafico()->image());
}

void DrawingTest::backgroundFollowsTheThemeAndKeepsThePoints()
{
    SimulationForm form(Drumbel);
    form.show();
    setField(form, "termineT", "5000");
    LiveRun(form).start();
    QList<QPoint> drawn = drawnPixels(*form.grafico());
    QVERIFY(drawn.size() > 100);
    // A point in exactly the background's colour is a point all the same.
    const QColor background = form.grafico()->background();
    PlotPoint same{15.0 * 3, 15.0 * 2, static_cast<std::uint8_t>(background.red()),
                   static_cast<std::uint8_t>(background.green()), static_cast<std::uint8_t>(background.blue())};
    form.grafico()->setPoint(same);
    drawn << QPoint(3, 2);
    const QImage before = form.grafico()->image();

    // The caption-text role (the background at start) takes a new colour.
    const QPalette original = QApplication::palette();
    QPalette theme = original;
    theme.setColor(QPalette::Active, QPalette::WindowText, QColor(10, 20, 30));
    QApplication::setPalette(theme);
    QCoreApplication::processEvents();  // the change reaches the widgets as an event
    const QColor after = form.grafico()->background();
    const QImage recoloured = form.grafico()->image();
    QApplication::setPalette(original);
    QCoreApplication::processEvents();

    QCOMPARE(after, QColor(10, 20, 30));
    QCOMPARE(QColor(recoloured.pixel(0, 0)), QColor(10, 20, 30));
    for (const QPoint& point : drawn)
        QCOMPARE(recoloured.pixel(point), before.pixel(point));
}

QTEST_MAIN(DrawingTest)
#include "DrawingTest.moc"
