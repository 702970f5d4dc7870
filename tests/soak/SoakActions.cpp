// The soak's input as a user gives it: what is typed and pasted, keystrokes
// of editing, clicks and keys delivered to the window.
#include <QApplication>
#include <QClipboard>
#include <QKeySequence>
#include <QLineEdit>
#include <QTest>
#include <QWindow>

#include "InteractionSupport.h"
#include "Soak.h"
#include "program/Program.h"

using namespace vortiquo;

namespace soak {

namespace {

constexpr const char* HugeExponents[] = {
    "1e308", "-9e999", "1e309", "-1e308", "9.99e307", "1e-400", "4.9e-324", "1.7976931348623157e308",
    "1e99999999999", "-0", "0e0", "2e-308", "1E+308", ".5e308", "-1.8e308",
};
constexpr const char* RadixForms[] = {
    "&H", "&O", "&HFF", "&hff", "&O777", "&o8", "&H7FFFFFFF", "&HFFFFFFFFFFFFFFFFFFFFFFFF", "&O-1", "&H.5",
    "&HG", "&&H1", "&H 1 0", "& H10", "&O1777777777777777777777",
};
// Non-Latin digits, combining marks, bidirectional and invisible controls,
// a character outside the basic plane, ligatures.
constexpr const char* UnicodeTexts[] = {
    "αβγ", "１２３", "٣٫٥", "𝟙𝟚", "e\u0301", "\u202E12", "\u200B5", "🙂", "½", "Ⅻ", "−3", "1\u00A0000",
    "ﬁ", "\uFEFF7", "٠.٥", "五", "1\u20DD", "Δt",
};
// Characters for the unicode paste: single units and surrogate pairs.
constexpr const char* UnicodePool[] = {
    "α", "ж", "ש", "ع", "五", "😀", "𝟙", "\u0301", "\u202E", "\u200B", "½", "９", "ß", "ﬁ",
};
constexpr const char* PasteKindNames[PasteKindCount] = {
    "blanks then digit", "huge number", "tiny number", "garbage", "unicode", "hexadecimal", "number then junk",
};

QString garbage(Random& random, int length)
{
    QString text;
    for (int i = 0; i < length; ++i)
        text += random.percent(3) ? QChar(u'\t') : QChar(char16_t(random.between(0x20, 0x7e)));
    return text;
}

// A value a user whose runs overflow at once would type: the design value
// moved by up to 3% either way, or kept; a side of the view angle may be
// any small whole number; a step limit up to a few thousand.
QString sensibleText(Random& random, Field field, const QString& designText)
{
    if (field == Field::termine)
        return QString::number(random.percent(80) ? random.between(200, 5000) : random.between(1, 40));
    if (field == Field::num || field == Field::den)
        return QString::number(random.between(-3, 12));
    if (random.percent(40))
        return designText;
    return QString::number(designText.toDouble() * (1.0 + random.between(-30, 30) / 1000.0), 'g', 8);
}

// Half the time a sensible value, otherwise garbage, a huge exponent,
// unicode, nothing at all, a hexadecimal or octal form or a long run of digits.
QString typedText(Random& random, Field field, const QString& designText)
{
    const int roll = random.below(100);
    if (roll < 50)
        return sensibleText(random, field, designText);
    if (roll < 62)
        return garbage(random, random.between(1, 24));
    if (roll < 72)
        return QString::fromUtf8(random.pick(HugeExponents));
    if (roll < 81)
        return QString::fromUtf8(random.pick(UnicodeTexts));
    if (roll < 86)
        return {};
    if (roll < 94)
        return QString::fromUtf8(random.pick(RadixForms));
    QString digits;
    const int length = random.between(20, 400);
    for (int i = 0; i < length; ++i)
        digits += QChar(char16_t(u'0' + random.below(10)));
    if (random.percent(50))
        digits.insert(random.below(length), u'.');
    return digits;
}

// One keystroke of editing inside a field: a character, a move of the
// cursor or the selection, a deletion, cut, undo or redo.
QKeyCombination editingKeystroke(Random& random, QString& text)
{
    static constexpr char Characters[] = "0123456789.-+eE&HhOo ,x";
    if (random.percent(45)) {
        text = QChar::fromLatin1(Characters[random.below(int(sizeof Characters) - 1)]);
        return Qt::Key_unknown;
    }
    static const QKeyCombination others[] = {
        Qt::Key_Left, Qt::Key_Right, Qt::Key_Home, Qt::Key_End, Qt::Key_Backspace, Qt::Key_Delete,
        Qt::ShiftModifier | Qt::Key_Left, Qt::ControlModifier | Qt::Key_Z,
        Qt::ControlModifier | Qt::ShiftModifier | Qt::Key_Z, Qt::ControlModifier | Qt::Key_X,
        Qt::ControlModifier | Qt::Key_A,
    };
    return random.pick(others);
}

// Types as a keyboard does: one key event per character, a character
// outside the basic plane (a surrogate pair) in one. QTest's own typing
// sends Latin-1 only.
void typeCharacters(QWidget* widget, const QString& text)
{
    for (qsizetype at = 0; at < text.size();) {
        const qsizetype units = text[at].isHighSurrogate() && at + 1 < text.size() ? 2 : 1;
        const QString character = text.mid(at, units);
        at += units;
        // Printable ASCII keys have Qt key codes equal to their upper case;
        // anything else arrives as an unknown key with its text.
        const char16_t unit = character[0].unicode();
        Qt::Key key = unit == u'\t' ? Qt::Key_Tab : Qt::Key_unknown;
        if (unit >= 0x20 && unit < 0x7f)
            key = static_cast<Qt::Key>(QChar(unit).toUpper().unicode());
        QTest::sendKeyEvent(QTest::Click, widget, key, character, Qt::NoModifier);
    }
}

}  // namespace

Paste longPaste(Random& random, PasteKind kind)
{
    Paste paste{kind, {}, 0};
    QString& text = paste.text;
    switch (kind) {
    case PasteKind::blanksThenDigit:
        for (int i = 0; i < PasteLength - 1; ++i)
            text += random.percent(90) ? QChar(u' ') : QChar(u'\t');
        paste.digit = random.between(1, 9);
        text += QChar(char16_t(u'0' + paste.digit));
        break;
    case PasteKind::hugeNumber: text = u'1' + QString(PasteLength - 1, u'0'); break;
    case PasteKind::tinyNumber: text = QStringLiteral("0.") + QString(PasteLength - 3, u'0') + u'1'; break;
    case PasteKind::garbage: text = garbage(random, PasteLength); break;
    case PasteKind::unicode:
        while (text.size() < PasteLength) {
            const QString piece = QString::fromUtf8(random.pick(UnicodePool));
            text += text.size() + piece.size() <= PasteLength ? piece : QStringLiteral("é");
        }
        break;
    case PasteKind::hexadecimal: text = QStringLiteral("&H") + QString(PasteLength - 2, u'F'); break;
    case PasteKind::numberThenJunk: text = QStringLiteral("2.5") + QString(PasteLength - 3, u'x'); break;
    }
    return paste;
}

// A click of the left button where the control is laid out, delivered to the
// window: whatever is there takes it, so a hidden "Sì" gets nothing and a
// disabled "Esci" ignores it.
void Soak::clickControl(const QString& name)
{
    activate();
    QWidget* control = form_->findChild<QWidget*>(name);
    QTest::mouseClick(form_->windowHandle(), Qt::LeftButton, Qt::NoModifier,
                      control->mapTo(form_.get(), control->rect().center()));
}

// A user clicks a window before using it; a fault message or a dialog may
// have taken the focus of the desktop.
void Soak::activate()
{
    if (QApplication::activeWindow() == form_.get())
        return;
    form_->activateWindow();
    (void)QTest::qWaitForWindowActive(form_.get(), 1000);
}

void Soak::keyToWindow(QKeyCombination keys)
{
    activate();
    QTest::keyClick(form_->windowHandle(), keys.key(), keys.keyboardModifiers());
}

QLineEdit* Soak::lineEdit(Field field) const
{
    const std::string_view name = fieldName(field);
    return interaction::textField(*form_, QString::fromLatin1(name.data(), qsizetype(name.size())));
}

Field Soak::randomField()
{
    std::vector<Field> present;
    for (std::size_t index = 0; index < FieldCount; ++index)
        if (lineEdit(Field(index)))
            present.push_back(Field(index));
    return random_.pick(present);
}

// Clicks the field, selects its whole text and types over it in one change;
// an empty text deletes the selection.
void Soak::typeOver(Field field, const QString& text)
{
    QLineEdit* edit = lineEdit(field);
    detail(QStringLiteral("«%1» (%2 characters) into %3")
               .arg(text.left(40), QString::number(text.size()), edit->objectName()));
    clickControl(edit->objectName());
    QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
    if (text.isEmpty())
        QTest::keyClick(edit, Qt::Key_Backspace);
    else
        typeCharacters(edit, text);
}

void Soak::typeIntoField(bool sensible)
{
    const Field field = randomField();
    const auto design = designTexts(*form_->program().layout)[std::size_t(field)];
    const QString designText = design ? QString::fromStdString(*design) : QString();
    typeOver(field, sensible ? sensibleText(random_, field, designText) : typedText(random_, field, designText));
}

void Soak::editKeystrokes()
{
    QLineEdit* edit = lineEdit(randomField());
    detail(edit->objectName());
    clickControl(edit->objectName());
    for (int count = random_.between(1, 5); count > 0; --count) {
        QString text;
        const QKeyCombination keys = editingKeystroke(random_, text);
        detail(text.isEmpty() ? QKeySequence(keys).toString() : text);
        if (text.isEmpty())
            QTest::keyClick(edit, keys.key(), keys.keyboardModifiers());
        else
            typeCharacters(edit, text);
    }
}

// Pastes a long text with Ctrl+V over the whole text: the field must keep
// every character, and a number behind a long run of blanks must be read.
bool Soak::pasteInto(Field field)
{
    const Paste paste = longPaste(random_, PasteKind(random_.below(PasteKindCount)));
    QLineEdit* edit = lineEdit(field);
    const QString what = QStringLiteral("a paste of %1 characters (%2) into %3")
                             .arg(paste.text.size()).arg(PasteKindNames[int(paste.kind)], edit->objectName());
    detail(what);
    QGuiApplication::clipboard()->setText(paste.text);
    clickControl(edit->objectName());
    QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
    if (edit->text() != paste.text) {
        fail(QStringLiteral("%1 left %2").arg(what).arg(edit->text().size()));
        return false;
    }
    if (paste.kind != PasteKind::blanksThenDigit)
        return true;
    const SimulationState& state = form_->state();
    const double values[FieldCount] = {state.a,  state.b,  state.c,   state.x,   state.y,
                                       state.z,  state.dt, state.limitOn ? double(state.stepLimit) : 0,
                                       state.num, state.den};
    if (const double read = values[std::size_t(field)]; read != paste.digit)
        fail(QStringLiteral("%1 reads %2 from blanks followed by %3").arg(what).arg(read).arg(paste.digit));
    return failure_.isEmpty();
}

void Soak::chooseOption(int first)
{
    const QString name = QStringLiteral("Option%1").arg(random_.between(first, first + 5));
    detail(name);
    clickControl(name);
}

void Soak::pressVia()
{
    const bool idle = !form_->isRunning();
    clickControl(QStringLiteral("Via"));  // while idle, returns when the run it starts is over
    // A field left holding a value that overflows would end every later run
    // at its first steps; after such a run, a field is often mended.
    const auto* overflow = form_->findChild<QWidget*>(QStringLiteral("messaggioOverflow"));
    mendNext_ = idle && form_->isVisible() && overflow && overflow->isVisible() && form_->stepCount() < 20;
}

// Tab walks the window's own focus order; Space then presses whatever has
// the focus: a button, an option, or a blank typed into a field.
void Soak::tabAndSpace()
{
    for (int tabs = random_.between(1, 8); tabs > 0; --tabs)
        keyToWindow(Qt::Key_Tab);
    const QWidget* focused = QApplication::focusWidget();
    detail(QStringLiteral("Space on %1").arg(focused ? focused->objectName() : QStringLiteral("nothing")));
    keyToWindow(Qt::Key_Space);
}

// Long pastes into every field, then "Via" again and again: each press
// records every field's text, until the journal is over its bounds.
void Soak::floodJournal()
{
    for (std::size_t index = 0; index < FieldCount; ++index)
        if (lineEdit(Field(index)) && !pasteInto(Field(index)))
            return;
    for (int presses = 0; form_->isVisible() && form_->session().journal().complete() && presses < 12; ++presses)
        clickControl(QStringLiteral("Via"));
}

}  // namespace soak
