// The four windows as laid out: every control's kind, container, name, text,
// place and font, the keyboard focus order, the radio buttons' look and the
// system colours they show.
#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProxyStyle>
#include <QPushButton>
#include <QRadioButton>
#include <QRawFont>
#include <QStyleFactory>
#include <QTest>

#include "ProgramRows.h"
#include "window/SimulationForm.h"

using namespace vortiquo;

namespace {

const char* classOf(ControlKind kind)
{
    switch (kind) {
    case ControlKind::DrawingArea: return "vortiquo::DrawingArea";
    case ControlKind::EquationPicture: return "vortiquo::EquationView";
    case ControlKind::Frame: return "QGroupBox";
    case ControlKind::BorderlessFrame: return "QWidget";
    case ControlKind::Label: return "QLabel";
    case ControlKind::TextField: return "QLineEdit";
    case ControlKind::PushButton: return "QPushButton";
    case ControlKind::RadioButton: return "QRadioButton";
    }
    return "";
}

// The text a control shows: caption, title or field text.
QString shownText(const QWidget* widget)
{
    if (auto* label = qobject_cast<const QLabel*>(widget))
        return label->text();
    if (auto* field = qobject_cast<const QLineEdit*>(widget))
        return field->text();
    if (auto* button = qobject_cast<const QAbstractButton*>(widget))
        return button->text();
    if (auto* frame = qobject_cast<const QGroupBox*>(widget))
        return frame->title();
    return QString();
}

QStringList split(const char* names) { return QString::fromLatin1(names).split(QLatin1Char(' ')); }

bool uniform(const QImage& image)
{
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) != image.pixel(0, 0))
                return false;
    return true;
}

// A style that leaves a radio button's caption room to show inside 17
// pixels, where the stock styles happen to push it just out of sight.
class CrampedRadioStyle : public QProxyStyle {
public:
    CrampedRadioStyle() : QProxyStyle(QStyleFactory::create(QStringLiteral("Fusion"))) {}
    int pixelMetric(PixelMetric metric, const QStyleOption* option, const QWidget* widget) const override
    {
        if (metric == PM_ExclusiveIndicatorWidth)
            return 6;
        if (metric == PM_RadioButtonLabelSpacing)
            return 0;
        return QProxyStyle::pixelMetric(metric, option, widget);
    }
};

bool captionShows(QRadioButton& radio, QStyle& style)
{
    radio.setStyle(&style);
    const QString caption = radio.text();
    const QImage withCaption = radio.grab().toImage();
    radio.setText(QString());
    const QImage without = radio.grab().toImage();
    radio.setText(caption);
    radio.setStyle(nullptr);
    return withCaption != without;
}

}  // namespace

class LayoutTest : public QObject {
    Q_OBJECT
private slots:
    void everyControlAsTabled_data();
    void everyControlAsTabled();
    void controlsAsWritten_data();
    void controlsAsWritten();
    void tabChain_data();
    void tabChain();
    void placesHoldAndFramesStayBare_data() { addProgramRows(); }
    void placesHoldAndFramesStayBare();
    void radioButtonsShowOnlyTheirMark();
    void swatchesFollowTheTheme_data();
    void swatchesFollowTheTheme();
};

// Walks each program's table: one widget per row, of the row's class, in
// its container, with its text, place, size and font; nothing else named.
// Then the state at start: the selected options, the hidden exit panel, and
// the colour beside the equation picture.
void LayoutTest::everyControlAsTabled_data()
{
    QTest::addColumn<const Program*>("program");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QSize>("clientSize");
    QTest::addColumn<QStringList>("selected");
    QTest::addColumn<QPalette::ColorRole>("besidePicture");
    QTest::newRow("convection") << &Brisuta << "Brisuta" << QSize(585, 587) << split("Option1 Option8") << QPalette::Window;
    QTest::newRow("spiral") << &Kelvane << "Kelvane" << QSize(582, 587) << split("Option5 Option8") << QPalette::Window;
    // Only the recurrence map lays its picture on the window background colour.
    QTest::newRow("recurrence") << &Tessivo << "Tessivo" << QSize(621, 604) << split("Option1 Option8") << QPalette::Base;
    QTest::newRow("quadratic") << &Drumbel << "Drumbel" << QSize(583, 537) << split("Option1 Option8") << QPalette::Window;
}

void LayoutTest::everyControlAsTabled()
{
    QFETCH(const Program*, program);
    QFETCH(QString, caption);
    QFETCH(QSize, clientSize);
    QFETCH(QStringList, selected);
    QFETCH(QPalette::ColorRole, besidePicture);
    SimulationForm form(*program);
    QCOMPARE(form.windowTitle(), caption);
    QCOMPARE(form.size(), clientSize);
    QVERIFY(!form.layout());

    QStringList tabled;
    QStringList checked;
    for (const ControlSpec& row : program->layout->controls) {
        const QString name = QString::fromUtf8(row.name);
        tabled << name;
        const QList<QWidget*> found = form.findChildren<QWidget*>(name);
        QVERIFY2(found.size() == 1, qPrintable(name));
        QWidget* widget = found.front();

        if (row.kind == ControlKind::BorderlessFrame)
            QVERIFY2(widget->metaObject() == &QWidget::staticMetaObject, qPrintable(name));
        else
            QVERIFY2(widget->inherits(classOf(row.kind)), qPrintable(name));
        if (row.parent)
            QCOMPARE(widget->parentWidget()->objectName(), QString::fromUtf8(row.parent));
        else
            QCOMPARE(widget->parentWidget(), &form);
        // The convection window's load writes c back into its field.
        const bool rewritten = program->cWrittenAtLoad.has_value() && name == QLatin1String("cT");
        if (row.kind != ControlKind::BorderlessFrame)
            QCOMPARE(shownText(widget), rewritten ? QStringLiteral("-2.66666666666667") : QString::fromUtf8(row.text));
        QCOMPARE(widget->geometry(), QRect(row.left / 15, row.top / 15, row.width / 15, row.height / 15));
        if (auto* radio = qobject_cast<QRadioButton*>(widget); radio && radio->isChecked())
            checked << name;
        QVERIFY2(widget->isHidden() == (name == QLatin1String("Uscita")) && widget->isEnabled(), qPrintable(name));

        const QFont font = widget->font();
        if (row.font == FontKind::Default) {
            QVERIFY2(!widget->testAttribute(Qt::WA_SetFont), qPrintable(name));
            continue;
        }
        QVERIFY2(font.styleHint() == QFont::SansSerif, qPrintable(name));
        QCOMPARE(font.weight(), QFont::Normal);
        QVERIFY(!font.italic());
        QCOMPARE(QFontInfo(font).pointSizeF(), row.font == FontKind::Symbol12 ? 12.0 : 9.75);
        if (row.font == FontKind::Sans975) {
            QCOMPARE(font.families().value(0), QStringLiteral("MS Sans Serif"));
        } else {
            // The face found must draw the Greek letters itself.
            const QRawFont face = QRawFont::fromFont(font);
            for (QChar letter : shownText(widget))
                if (!letter.isSpace())
                    QVERIFY2(face.supportsCharacter(letter), qPrintable(name + QLatin1Char(' ') + letter));
        }
    }
    QCOMPARE(checked, selected);
    for (const QWidget* widget : form.findChildren<QWidget*>())
        if (!widget->objectName().isEmpty() && !widget->objectName().startsWith(QLatin1String("qt_")))
            QVERIFY2(tabled.contains(widget->objectName()), qPrintable(widget->objectName()));

    // The bottom-right corner of Equazioni lies beside every picture.
    const QImage picture = form.findChild<QWidget*>(QStringLiteral("Equazioni"))->grab().toImage();
    QCOMPARE(picture.pixelColor(picture.width() - 1, picture.height() - 1), QApplication::palette().color(besidePicture));
}

// Rows copied by hand from the layout, pixels worked out by hand, so that a
// mistake typed into a table shows up here.
void LayoutTest::controlsAsWritten_data()
{
    QTest::addColumn<const Program*>("program");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("parent");  // empty: the window; "-": absent
    QTest::addColumn<QString>("text");
    QTest::addColumn<QRect>("place");
    const Program* b = &Brisuta;
    const Program* k = &Kelvane;
    const Program* t = &Tessivo;
    const Program* d = &Drumbel;
    QTest::newRow("convection Grafico") << b << "Grafico" << "" << "" << QRect(136, 144, 439, 433);
    QTest::newRow("convection xyz0") << b << "xyz0" << "Parametri" << "valori iniziali di x, y, e z" << QRect(352, 48, 81, 41);
    QTest::newRow("convection Uscita") << b << "Uscita" << "" << "Uscire?" << QRect(8, 536, 121, 41);
    QTest::newRow("convection pi_") << b << "pi_" << "OpzioniSim" << "π" << QRect(80, 176, 25, 25);
    QTest::newRow("convection Option12") << b << "Option12" << "Frame1" << "Option1" << QRect(80, 48, 17, 17);
    QTest::newRow("convection bCommento") << b << "bCommento" << "Parametri" << "(numero di Rayleigh)" << QRect(104, 56, 129, 25);
    QTest::newRow("spiral xyz0") << k << "xyz0" << "Parametri" << "valori iniziali di x, y, e z" << QRect(352, 56, 81, 41);
    QTest::newRow("spiral OpzioniSim") << k << "OpzioniSim" << "" << "Opzioni tracciato" << QRect(8, 152, 121, 217);
    QTest::newRow("spiral aT") << k << "aT" << "Parametri" << "0.2" << QRect(32, 32, 65, 19);
    QTest::newRow("spiral aCommento") << k << "aCommento" << "-" << "" << QRect();
    QTest::newRow("recurrence Equazioni") << t << "Equazioni" << "" << "" << QRect(8, 64, 81, 41);
    QTest::newRow("recurrence Grafico") << t << "Grafico" << "" << "" << QRect(96, 112, 519, 489);
    QTest::newRow("recurrence Frame1") << t << "Frame1" << "OpzioniSim" << "" << QRect(192, 16, 105, 73);
    QTest::newRow("recurrence bT") << t << "bT" << "Parametri" << "-1.7" << QRect(32, 48, 65, 19);
    QTest::newRow("recurrence cT") << t << "cT" << "-" << "" << QRect();
    QTest::newRow("quadratic Parametri") << d << "Parametri" << "" << "Parametri" << QRect(128, 0, 209, 97);
    QTest::newRow("quadratic SiUscire") << d << "SiUscire" << "Uscita" << "Sì" << QRect(40, 16, 33, 17);
    QTest::newRow("quadratic aT") << d << "aT" << "Parametri" << "1.4" << QRect(32, 24, 65, 19);
    QTest::newRow("quadratic opzioniTracciato") << d << "opzioniTracciato" << "OpzioniSim" << "" << QRect(8, 24, 105, 65);
    QTest::newRow("quadratic numT") << d << "numT" << "-" << "" << QRect();
}

void LayoutTest::controlsAsWritten()
{
    QFETCH(const Program*, program);
    QFETCH(QString, name);
    QFETCH(QString, parent);
    QFETCH(QString, text);
    QFETCH(QRect, place);
    SimulationForm form(*program);
    QWidget* widget = form.findChild<QWidget*>(name);
    if (parent == QLatin1String("-")) {
        QVERIFY(!widget);
        return;
    }
    QVERIFY(widget);
    QCOMPARE(widget->parentWidget() == &form ? QString() : widget->parentWidget()->objectName(), parent);
    QCOMPARE(shownText(widget), text);
    QCOMPARE(widget->geometry(), place);
}

// What the Tab key visits, from the control that has the focus at start,
// once round to it again. Of each radio group only the selected button is
// visited, and nothing inside the hidden exit panel.
void LayoutTest::tabChain_data()
{
    QTest::addColumn<const Program*>("program");
    QTest::addColumn<QStringList>("clicks");
    QTest::addColumn<QStringList>("visited");
    QTest::newRow("convection") << &Brisuta << QStringList()
        << split("aT bT cT dtT y0T x0T Esci Cancella Via Stop Grafico Option1 Equazioni numT denT Option8 termineT z0T");
    QTest::newRow("spiral") << &Kelvane << QStringList()
        << split("Grafico Stop Via Cancella Option5 Esci Equazioni x0T y0T z0T dtT cT bT aT termineT Option8 denT numT");
    QTest::newRow("recurrence") << &Tessivo << QStringList()
        << split("Grafico Stop Via Cancella Option1 Esci x0T y0T bT aT Equazioni Option8 termineT");
    QTest::newRow("quadratic") << &Drumbel << QStringList()
        << split("Equazioni termineT aT bT y0T x0T Esci Option8 Option1 Cancella Via Stop Grafico");
    // The exit panel open (Esci disabled meanwhile) and other buttons selected.
    QTest::newRow("quadratic, panel open") << &Drumbel << split("Esci Option4 Option11")
        << split("Equazioni termineT aT bT y0T x0T SiUscire NoUscire Option11 Option4 Cancella Via Stop Grafico");
    QTest::newRow("convection, panel open") << &Brisuta << split("Option6 Esci Option12")
        << split("aT bT cT dtT y0T x0T SiUscire NoUscire Cancella Via Stop Grafico Option6 Equazioni numT denT Option12 termineT z0T");
}

void LayoutTest::tabChain()
{
    QFETCH(const Program*, program);
    QFETCH(QStringList, clicks);
    QFETCH(QStringList, visited);
    SimulationForm form(*program);
    form.show();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    QCOMPARE(QApplication::focusWidget()->objectName(), visited.front());
    for (const QString& name : clicks)
        form.findChild<QAbstractButton*>(name)->click();

    QStringList forwards;
    for (qsizetype i = 0; i < visited.size(); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        forwards << QApplication::focusWidget()->objectName();
    }
    QStringList expected = visited.mid(1);
    expected << visited.front();
    QCOMPARE(forwards, expected);

    QStringList backwards;
    for (qsizetype i = 0; i < visited.size(); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
        backwards.prepend(QApplication::focusWidget()->objectName());
    }
    QCOMPARE(backwards, visited);
}

// Resizing or maximising the window moves no control; the borderless
// frames draw neither a border nor their stored caption "Frame1".
void LayoutTest::placesHoldAndFramesStayBare()
{
    QFETCH(const Program*, program);
    SimulationForm form(*program);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    const auto places = [&form] {
        QList<QRect> rects;
        for (const QWidget* widget : form.findChildren<QWidget*>())
            if (!widget->objectName().isEmpty())
                rects << widget->geometry();
        return rects;
    };
    const QList<QRect> laidOut = places();
    for (const QSize size : {QSize(900, 800), QSize(200, 150)}) {
        form.resize(size);
        QCoreApplication::processEvents();
        QCOMPARE(places(), laidOut);
    }
    form.showMaximized();
    QCoreApplication::processEvents();
    QCOMPARE(places(), laidOut);

    for (const QWidget* widget : form.findChildren<QWidget*>())
        QVERIFY2(shownText(widget) != QLatin1String("Frame1"), qPrintable(widget->objectName()));
    for (const char* name : {"opzioniTracciato", "Frame1"}) {
        auto* frame = form.findChild<QWidget*>(QString::fromLatin1(name));
        for (QWidget* child : frame->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            child->hide();
        QVERIFY2(uniform(frame->grab().toImage()), name);
    }
}

// Each radio button keeps "Option1" as its caption, yet shows nothing of it,
// even under a style that would leave the caption room inside 17 pixels.
void LayoutTest::radioButtonsShowOnlyTheirMark()
{
    CrampedRadioStyle style;
    QWidget holder;
    QRadioButton stock(QStringLiteral("Option1"), &holder);
    stock.setGeometry(0, 0, 17, 17);
    QVERIFY2(captionShows(stock, style), "the cramped style must let a plain caption show");

    SimulationForm form(Kelvane);
    for (int number = 1; number <= 12; ++number) {
        auto* radio = form.findChild<QRadioButton*>(QStringLiteral("Option%1").arg(number));
        QVERIFY(radio);
        QCOMPARE(radio->text(), QStringLiteral("Option1"));
        QVERIFY2(!captionShows(*radio, style), qPrintable(radio->objectName()));
    }
}

// Each background button is a swatch of the system colour that it selects,
// and the swatches follow a change of the desktop theme.
void LayoutTest::swatchesFollowTheTheme_data()
{
    QTest::addColumn<QString>("option");
    QTest::addColumn<QColor>("colour");
    // Every role the system colours use gets a colour of its own.
    QTest::newRow("Option7 inactive caption text") << "Option7" << QColor(0x70, 0x01, 0x01);
    QTest::newRow("Option8 caption text") << "Option8" << QColor(0x80, 0x02, 0x02);
    QTest::newRow("Option9 desktop") << "Option9" << QColor(0x90, 0x03, 0x03);
    QTest::newRow("Option10 highlight") << "Option10" << QColor(0xa0, 0x04, 0x04);
    QTest::newRow("Option11 menu text") << "Option11" << QColor(0xb0, 0x05, 0x05);
    QTest::newRow("Option12 inactive border") << "Option12" << QColor(0xc0, 0x06, 0x06);
}

void LayoutTest::swatchesFollowTheTheme()
{
    QFETCH(QString, option);
    QFETCH(QColor, colour);
    SimulationForm form(Tessivo);
    auto* radio = form.findChild<QRadioButton*>(option);
    QVERIFY(radio);

    const QPalette original = QApplication::palette();
    QPalette theme = original;
    theme.setColor(QPalette::WindowText, QColor(0x80, 0x02, 0x02));
    theme.setColor(QPalette::Disabled, QPalette::WindowText, QColor(0x70, 0x01, 0x01));
    theme.setColor(QPalette::Shadow, QColor(0x90, 0x03, 0x03));
    theme.setColor(QPalette::Highlight, QColor(0xa0, 0x04, 0x04));
    theme.setColor(QPalette::ButtonText, QColor(0xb0, 0x05, 0x05));
    theme.setColor(QPalette::Window, QColor(0xc0, 0x06, 0x06));
    theme.setColor(QPalette::Base, QColor(0xd0, 0x07, 0x07));
    theme.setColor(QPalette::Text, QColor(0xe0, 0x08, 0x08));
    QApplication::setPalette(theme);
    const QColor shown = radio->grab().toImage().pixelColor(0, 0);
    QApplication::setPalette(original);
    QCOMPARE(shown, colour);
}

QTEST_MAIN(LayoutTest)
#include "LayoutTest.moc"
