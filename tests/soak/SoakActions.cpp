// The soak's actions on the window's controls: typing, pasting, clicking.
#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <QWindow>

#include "Soak.h"
#include "shell/SimulationForm.h"

namespace soak {

// Clicks the field, selects its whole text and types over it; an empty
// text deletes the selection.
void Soak::typeOver(QLineEdit* field, const QString& text)
{
    detail(QStringLiteral("type «%1» into %2").arg(shortened(text), field->objectName()));
    clickControl(field->objectName());
    keyToField(field, Qt::Key_A, Qt::ControlModifier);
    if (text.isEmpty())
        keyToField(field, Qt::Key_Backspace);
    else
        typeInto(field, text);
}

void Soak::typeIntoField()
{
    Field which{};
    QLineEdit* field = randomField(which);
    typeOver(field, typedText(random_, which, designText(which)));
}

// What a user does whose runs overflow at once: types a sensible value.
void Soak::typeSensibleValue()
{
    Field which{};
    QLineEdit* field = randomField(which);
    typeOver(field, sensibleText(random_, which, designText(which)));
}

void Soak::editKeystrokes()
{
    Field which{};
    QLineEdit* field = randomField(which);
    clickControl(field->objectName());
    const int count = random_.between(1, 5);
    QStringList keys;
    for (int i = 0; i < count; ++i) {
        const Keystroke keystroke = editingKeystroke(random_);
        keys << keystroke.describe();
        if (keystroke.text.isEmpty())
            keyToField(field, keystroke.key, keystroke.modifiers);
        else
            typeInto(field, keystroke.text);
    }
    detail(QStringLiteral("keys %1 in %2").arg(keys.join(u' '), field->objectName()));
}

void Soak::pasteLong()
{
    Field which{};
    QLineEdit* field = randomField(which);
    const Paste paste = longPaste(random_);
    detail(QStringLiteral("paste %1 characters (%2) into %3")
             .arg(paste.text.size())
             .arg(QLatin1String(pasteKindName(paste.kind)), field->objectName()));
    pasteInto(field, which, paste);
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

void Soak::pressStop()
{
    clickControl(QStringLiteral("Stop"));
}

void Soak::pressCancella()
{
    clickControl(QStringLiteral("Cancella"));
}

void Soak::chooseScheme()
{
    const int option = random_.between(1, 6);
    detail(QStringLiteral("Option%1").arg(option));
    clickControl(QStringLiteral("Option%1").arg(option));
}

void Soak::chooseBackground()
{
    const int option = random_.between(7, 12);
    detail(QStringLiteral("Option%1").arg(option));
    clickControl(QStringLiteral("Option%1").arg(option));
}

void Soak::pressEsci()
{
    clickControl(QStringLiteral("Esci"));
}

void Soak::pressNo()
{
    clickControl(QStringLiteral("NoUscire"));
}

void Soak::pressSi()
{
    clickControl(QStringLiteral("SiUscire"));
}

void Soak::pressEscape()
{
    keyToWindow(Qt::Key_Escape);
}

// Tab walks the window's own focus order; Space then presses whatever has
// the focus: a button, an option, or a blank typed into a field.
void Soak::tabAndSpace()
{
    const int tabs = random_.between(1, 8);
    for (int i = 0; i < tabs; ++i)
        keyToWindow(Qt::Key_Tab);
    QWidget* focused = QApplication::focusWidget();
    detail(QStringLiteral("Space on %1").arg(focused ? focused->objectName() : QStringLiteral("nothing")));
    keyToWindow(Qt::Key_Space);
}

// Long pastes into every field, then "Via" again and again: each press
// records every field's text, until the journal is over its bounds.
void Soak::floodJournal()
{
    for (std::size_t index = 0; index < FieldCount; ++index) {
        const QString name = QString::fromLatin1(FieldNames[index].data(), qsizetype(FieldNames[index].size()));
        auto* field = form_->findChild<QLineEdit*>(name);
        if (field && !pasteInto(field, static_cast<Field>(index), longPaste(random_)))
            return;
    }
    int presses = 0;
    while (form_->isVisible() && form_->session().journal().complete() && presses < 12) {
        clickControl(QStringLiteral("Via"));
        ++presses;
    }
    detail(QStringLiteral("pasted into every field, Via %1 times").arg(presses));
}

}  // namespace soak
