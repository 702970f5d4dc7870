#pragma once

#include <QString>
#include <Qt>

class QWidget;

#include "SoakRandom.h"
#include "core/FieldRules.h"

namespace soak {

// What a user might type into a field: half the time a sensible value,
// otherwise garbage, a huge exponent, unicode, nothing at all, a long run of
// digits, or a hexadecimal or octal form.
QString typedText(Random& random, Field field, const QString& designText);
// A value near the one the window opens with (`designText`), so that runs
// draw rather than overflow at once, or a step limit of up to a few thousand.
QString sensibleText(Random& random, Field field, const QString& designText);

// The kinds of long paste, each of exactly PasteLength characters.
enum class PasteKind {
    blanksThenDigit,  // blanks and tabs, then one digit: the field reads that digit
    hugeNumber,       // a 1 and zeros: beyond the range of a double
    tinyNumber,       // "0." and zeros, then a 1
    garbage,          // printable ASCII
    unicode,          // letters of many scripts, symbols and pairs of surrogates
    hexadecimal,      // "&H" and hexadecimal digits
    numberThenJunk,   // a small number, then letters
};
inline constexpr int PasteKindCount = 7;
inline constexpr int PasteLength = 100'000;
const char* pasteKindName(PasteKind kind);

struct Paste {
    PasteKind kind;
    QString text;
    int digit = 0;  // blanksThenDigit: the digit at the end
};
Paste longPaste(Random& random, PasteKind kind);
Paste longPaste(Random& random);

// One keystroke of editing inside a field: a character, a move of the
// cursor or the selection, a deletion, cut, undo or redo.
struct Keystroke {
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    QString text;
    QString describe() const;
};
Keystroke editingKeystroke(Random& random);

// Types a text into a widget as a keyboard does: one key event per
// character, a character outside the basic plane (a surrogate pair) in one.
void typeCharacters(QWidget* widget, const QString& text);

// A text shortened for a log line.
QString shortened(const QString& text);

}  // namespace soak
