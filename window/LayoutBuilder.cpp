#include "window/LayoutBuilder.h"

#include <QFont>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QString>
#include <QStyleOptionButton>
#include <QStylePainter>
#include <limits>
#include <vector>

#include "window/DrawingArea.h"
#include "window/EquationView.h"
#include "window/ExitPanel.h"
#include "picture/SystemColours.h"

namespace vortiquo {

namespace {

// A radio button that shows only its round mark. The caption stays the
// button's text but is never drawn, however much room the style would give
// it. A background option is a swatch: it fills its box with the system
// colour it selects, read at every paint so that it follows the desktop theme.
class MarkOnlyRadioButton : public QRadioButton {
public:
    MarkOnlyRadioButton(const QString& text, int swatchColour, QWidget* parent)
        : QRadioButton(text, parent), swatchColour_(swatchColour)
    {
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QStylePainter painter(this);
        if (swatchColour_ != 0)
            painter.fillRect(rect(), systemColour(swatchColour_));
        QStyleOptionButton option;
        initStyleOption(&option);
        option.text.clear();
        painter.drawControl(QStyle::CE_RadioButton, option);
    }

private:
    int swatchColour_;
};

// Keyboard focus reaches a radio group only through its selected button;
// the others still take focus when clicked. Left to itself, Qt enters an
// auto-exclusive group at whichever button comes first in the tab chain.
void followSelectionWithFocus(QRadioButton* radio)
{
    const auto apply = [radio](bool checked) { radio->setFocusPolicy(checked ? Qt::StrongFocus : Qt::ClickFocus); };
    apply(radio->isChecked());
    QObject::connect(radio, &QRadioButton::toggled, radio, apply);
}

// A sans-serif face at the given size: the first family that is installed,
// otherwise the desktop's own sans-serif.
QFont sansSerifFont(const QStringList& families, double points)
{
    QFont font;
    font.setFamilies(families);
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(points);
    font.setWeight(QFont::Normal);
    font.setItalic(false);
    return font;
}

// Where "MS Sans Serif" is missing, a face of about its widths comes next,
// so that captions such as "(numero di Rayleigh)" still fit their boxes on
// one line; the wider common faces do not.
const QStringList SansFaces = {QStringLiteral("MS Sans Serif"), QStringLiteral("Nimbus Sans"),
                               QStringLiteral("Liberation Sans")};
// The Greek labels hold their letters as Unicode text, so they need a face
// with Greek glyphs rather than a symbol-encoded one; "α =" must fit in 25
// pixels at 12 points.
const QStringList GreekFaces = {QStringLiteral("Nimbus Sans"), QStringLiteral("DejaVu Sans")};

void applyFont(QWidget& control, FontKind kind)
{
    switch (kind) {
    case FontKind::Default:
        return;
    case FontKind::Sans975:
        control.setFont(sansSerifFont(SansFaces, 9.75));
        return;
    case FontKind::Symbol975:
        control.setFont(sansSerifFont(GreekFaces, 9.75));
        return;
    case FontKind::Symbol12:
        control.setFont(sansSerifFont(GreekFaces, 12.0));
        return;
    }
}

QWidget* createControl(const ControlSpec& row, QWidget* parent, const WindowLayout& layout)
{
    const QString text = QString::fromUtf8(row.text);
    switch (row.kind) {
    case ControlKind::DrawingArea: {
        auto* area = new DrawingArea(parent);
        area->setFocusPolicy(Qt::TabFocus);
        return area;
    }
    case ControlKind::EquationPicture: {
        auto* view = new EquationView(layout.equationPicture, parent);
        view->setSystemBackground(row.systemBackground);
        if (layout.equations)
            view->setAccessibleDescription(QString::fromUtf8(layout.equations));
        view->setFocusPolicy(Qt::TabFocus);
        return view;
    }
    case ControlKind::Frame: {
        auto* frame = new QGroupBox(text, parent);
        frame->setFocusPolicy(Qt::NoFocus);
        return frame;
    }
    case ControlKind::BorderlessFrame: {
        // A bare container: no border, and its stored caption is never shown.
        auto* frame = new QWidget(parent);
        frame->setFocusPolicy(Qt::NoFocus);
        return frame;
    }
    case ControlKind::Label: {
        auto* label = new QLabel(text, parent);
        label->setWordWrap(true);
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        label->setFocusPolicy(Qt::NoFocus);
        return label;
    }
    case ControlKind::TextField: {
        auto* field = new QLineEdit(text, parent);
        // A field rejects no text. Qt's line edit keeps 32,767 characters by
        // default and would drop the tail of a longer paste, and with it the
        // number that ends a long run of blanks.
        field->setMaxLength(std::numeric_limits<int>::max());
        return field;
    }
    case ControlKind::PushButton:
        return new QPushButton(text, parent);
    case ControlKind::RadioButton: {
        auto* radio = new MarkOnlyRadioButton(text, row.systemBackground, parent);
        radio->setChecked(row.selected);
        followSelectionWithFocus(radio);
        return radio;
    }
    }
    return nullptr;
}

// Names and descriptions for assistive technology, and the labels that stand
// for a field made its buddies, so a screen reader relates the two. Without
// a name of its own, a field would be announced by its frame's caption and a
// radio button by its hidden caption "Option1".
void applyAccessibleTexts(QWidget& window, const WindowLayout& layout)
{
    for (const AccessibleText& row : layout.accessibleTexts) {
        auto* control = window.findChild<QWidget*>(QString::fromUtf8(row.name));
        if (!control)
            continue;
        if (row.accessibleName)
            control->setAccessibleName(QString::fromUtf8(row.accessibleName));
        if (row.description)
            control->setAccessibleDescription(QString::fromUtf8(row.description));
        for (const QString& labelName : QString::fromUtf8(row.labels).split(u' ', Qt::SkipEmptyParts))
            if (auto* label = window.findChild<QLabel*>(labelName))
                label->setBuddy(control);
    }
}

void chainTabOrder(QWidget& window, const WindowLayout& layout)
{
    std::vector<QWidget*> chain;
    for (const char* name : layout.tabOrder)
        if (auto* control = window.findChild<QWidget*>(QString::fromUtf8(name)))
            chain.push_back(control);
    for (std::size_t i = 1; i < chain.size(); ++i)
        QWidget::setTabOrder(chain[i - 1], chain[i]);
    if (!chain.empty())
        chain.front()->setFocus(Qt::OtherFocusReason);
}

}  // namespace

void buildLayout(QWidget& window, const WindowLayout& layout)
{
    window.setWindowTitle(QString::fromUtf8(layout.caption));
    window.resize(twipsToPixels(layout.clientWidth), twipsToPixels(layout.clientHeight));
    for (const ControlSpec& row : layout.controls) {
        QWidget* parent = row.parent ? window.findChild<QWidget*>(QString::fromUtf8(row.parent)) : &window;
        if (!parent)
            parent = &window;
        QWidget* control = createControl(row, parent, layout);
        control->setObjectName(QString::fromUtf8(row.name));
        // Fixed places: the window has no layout, so resizing it moves nothing.
        control->setGeometry(twipsToPixels(row.left), twipsToPixels(row.top), twipsToPixels(row.width),
                             twipsToPixels(row.height));
        applyFont(*control, row.font);
        if (auto* area = qobject_cast<DrawingArea*>(control); area && row.systemBackground != 0)
            area->setSystemBackground(row.systemBackground);
    }
    applyAccessibleTexts(window, layout);
    chainTabOrder(window, layout);
    answerNoOnEscape(window);
}

}  // namespace vortiquo
