#include "SoakInputs.h"

#include <QTest>
#include <array>
#include <span>

namespace soak {

namespace {

using Texts = std::span<const char* const>;

constexpr const char* HugeExponents[] = {
    "1e308", "-9e999", "1e309", "-1e308", "9.99e307", "1e-400", "4.9e-324", "1.7976931348623157e308",
    "1e99999999999", "-0", "0e0", "2e-308", "1E+308", ".5e308", "-1.8e308",
};
constexpr const char* RadixForms[] = {
    "&H", "&O", "&HFF", "&hff", "&O777", "&o8", "&H7FFFFFFF", "&HFFFFFFFFFFFFFFFFFFFFFFFF", "&O-1", "&H.5",
    "&HG", "&&H1", "&H 1 0", "& H10", "&O1777777777777777777777",
};
// Written as UTF-8: non-Latin digits, combining marks, bidirectional and
// invisible controls, a character outside the basic plane, ligatures.
constexpr const char* UnicodeTexts[] = {
    "αβγ", "１２３", "٣٫٥", "𝟙𝟚", "e\u0301", "\u202E12", "\u200B5", "🙂", "½", "Ⅻ", "−3", "1\u00A0000",
    "ﬁ", "\uFEFF7", "٠.٥", "五", "1\u20DD", "Δt",
};
QString utf8(const char* text)
{
    return QString::fromUtf8(text);
}

QString garbage(Random& random, int length)
{
    QString text;
    for (int i = 0; i < length; ++i)
        text += random.percent(3) ? QChar(u'\t') : QChar(char16_t(random.between(0x20, 0x7e)));
    return text;
}

// The design value moved by up to 3% either way, or kept; a view angle
// side may be any small whole number.
QString nearDesign(Random& random, Field field, const QString& designText)
{
    if (field == Field::num || field == Field::den)
        return QString::number(random.between(-3, 12));
    if (random.percent(40))
        return designText;
    bool ok = false;
    const double design = designText.toDouble(&ok);
    if (!ok)
        return designText;
    return QString::number(design * (1.0 + random.between(-30, 30) / 1000.0), 'g', 8);
}

// Characters for the unicode paste: single units and surrogate pairs.
constexpr const char* UnicodePool[] = {
    "α", "ж", "ש", "ع", "五", "😀", "𝟙", "\u0301", "\u202E", "\u200B", "½", "９", "ß", "ﬁ",
};

QString unicodeOfLength(Random& random, int length)
{
    QString text;
    text.reserve(length);
    while (text.size() < length) {
        const QString piece = utf8(random.pick(UnicodePool));
        if (text.size() + piece.size() <= length)
            text += piece;
        else
            text += u'é';
    }
    return text;
}

}  // namespace

QString sensibleText(Random& random, Field field, const QString& designText)
{
    if (field == Field::termine)
        return QString::number(random.percent(80) ? random.between(200, 5000) : random.between(1, 40));
    return nearDesign(random, field, designText);
}

QString typedText(Random& random, Field field, const QString& designText)
{
    const int roll = random.below(100);
    if (roll < 50)
        return sensibleText(random, field, designText);
    if (roll < 62)
        return garbage(random, random.between(1, 24));
    if (roll < 72)
        return utf8(random.pick(HugeExponents));
    if (roll < 81)
        return utf8(random.pick(UnicodeTexts));
    if (roll < 86)
        return {};
    if (roll < 94)
        return utf8(random.pick(RadixForms));
    // A long run of digits, with a decimal point somewhere or none.
    QString digits;
    const int length = random.between(20, 400);
    for (int i = 0; i < length; ++i)
        digits += QChar(char16_t(u'0' + random.below(10)));
    if (random.percent(50))
        digits.insert(random.below(length), u'.');
    return digits;
}

const char* pasteKindName(PasteKind kind)
{
    constexpr std::array<const char*, PasteKindCount> names = {
        "blanks then digit", "huge number", "tiny number", "garbage", "unicode", "hexadecimal", "number then junk",
    };
    return names[static_cast<std::size_t>(kind)];
}

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
    case PasteKind::hugeNumber:
        text = u'1' + QString(PasteLength - 1, u'0');
        break;
    case PasteKind::tinyNumber:
        text = QStringLiteral("0.") + QString(PasteLength - 3, u'0') + u'1';
        break;
    case PasteKind::garbage:
        text = garbage(random, PasteLength);
        break;
    case PasteKind::unicode:
        text = unicodeOfLength(random, PasteLength);
        break;
    case PasteKind::hexadecimal:
        text = QStringLiteral("&H") + QString(PasteLength - 2, u'F');
        break;
    case PasteKind::numberThenJunk:
        text = QStringLiteral("2.5") + QString(PasteLength - 3, u'x');
        break;
    }
    return paste;
}

Paste longPaste(Random& random)
{
    return longPaste(random, static_cast<PasteKind>(random.below(PasteKindCount)));
}

QString Keystroke::describe() const
{
    QString name = text.isEmpty() ? QStringLiteral("key %1").arg(int(key), 0, 16) : QStringLiteral("«%1»").arg(text);
    if (modifiers & Qt::ControlModifier)
        name.prepend(QStringLiteral("Ctrl+"));
    if (modifiers & Qt::ShiftModifier)
        name.prepend(QStringLiteral("Shift+"));
    return name;
}

Keystroke editingKeystroke(Random& random)
{
    static constexpr char Characters[] = "0123456789.-+eE&HhOo ,x";
    const int roll = random.below(100);
    if (roll < 45) {
        const char character = Characters[random.below(int(sizeof Characters) - 1)];
        return {Qt::Key_unknown, Qt::NoModifier, QString(QLatin1Char(character))};
    }
    const Keystroke others[] = {
        {Qt::Key_Left, Qt::NoModifier, {}},         {Qt::Key_Right, Qt::NoModifier, {}},
        {Qt::Key_Home, Qt::NoModifier, {}},         {Qt::Key_End, Qt::NoModifier, {}},
        {Qt::Key_Backspace, Qt::NoModifier, {}},    {Qt::Key_Delete, Qt::NoModifier, {}},
        {Qt::Key_Left, Qt::ShiftModifier, {}},      {Qt::Key_Z, Qt::ControlModifier, {}},
        {Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier, {}},
        {Qt::Key_X, Qt::ControlModifier, {}},       {Qt::Key_A, Qt::ControlModifier, {}},
    };
    return random.pick(others);
}

void typeCharacters(QWidget* widget, const QString& text)
{
    for (qsizetype at = 0; at < text.size();) {
        const qsizetype units = text[at].isHighSurrogate() && at + 1 < text.size() ? 2 : 1;
        const QString character = text.mid(at, units);
        at += units;
        const char16_t unit = character[0].unicode();
        // Printable ASCII keys have Qt key codes equal to their upper case;
        // anything else arrives as an unknown key with its text.
        Qt::Key key = Qt::Key_unknown;
        if (unit == u'\t')
            key = Qt::Key_Tab;
        else if (unit >= 0x20 && unit < 0x7f)
            key = static_cast<Qt::Key>(QChar(unit).toUpper().unicode());
        QTest::sendKeyEvent(QTest::Click, widget, key, character, Qt::NoModifier);
    }
}

QString shortened(const QString& text)
{
    if (text.size() <= 40)
        return text;
    return text.left(20) + QStringLiteral("…(%1 characters)").arg(text.size());
}

}  // namespace soak
