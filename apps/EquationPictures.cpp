#include "apps/EquationPictures.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <QString>

#include <algorithm>
#include <vector>

namespace vortiquo {

// Each picture is a small typeset system of equations: a tall left brace,
// then one equation per line, aligned on the equals sign. Variables and
// parameters are set in an italic serif, digits, brackets and operators
// upright, the way a formula is printed. The drawing is done here at run
// time, so no picture file is needed. The font size is a preferred value;
// if the formula would not fit the picture with it, a smaller one is used.

namespace {

constexpr QChar kMinus(0x2212);
constexpr QChar kPrime(0x2032);

// One piece of a line: plain formula text, a built-up fraction, a raised
// exponent or a prime.
struct Piece {
    enum Kind { Text, Fraction, Superscript, Prime };
    Kind kind;
    QString top;
    QString bottom;
};

struct Equation {
    std::vector<Piece> left;
    std::vector<Piece> right;
};

struct Layout {
    int width;
    int height;
    int preferredPixelSize;
    int smallestPixelSize;
    int inkBottom;  // rows from here down stay blank
    std::vector<Equation> lines;
};

QFont formulaFont(double pixelSize, bool italic)
{
    QFont font(QStringLiteral("DejaVu Serif Condensed"));
    font.setStyleHint(QFont::Serif);
    font.setPixelSize(std::max(1, static_cast<int>(pixelSize + 0.5)));
    font.setItalic(italic);
    font.setKerning(true);
    return font;
}

// Vertical extent of a piece of formula around its math axis (the height of
// the minus sign, where fraction bars sit): ascent above it and descent
// below it, both positive.
struct Extent {
    double width = 0;
    double above = 0;
    double below = 0;
};

class FormulaSetter {
public:
    explicit FormulaSetter(int pixelSize)
        : size_(pixelSize),
          italic_(formulaFont(pixelSize, true)),
          upright_(formulaFont(pixelSize, false)),
          smallItalic_(formulaFont(pixelSize * 0.72, true)),
          smallUpright_(formulaFont(pixelSize * 0.72, false))
    {
        const QFontMetricsF metrics(upright_);
        axis_ = -metrics.tightBoundingRect(QString(kMinus)).center().y();
    }

    // Lays out a sequence of pieces with its math axis at y == axisY and its
    // left edge at x; draws only when a painter is given.
    Extent set(const std::vector<Piece>& pieces, QPainter* painter, double x, double axisY,
               bool leadingOperand = false) const
    {
        Extent extent;
        bool afterOperand = leadingOperand;
        for (const Piece& piece : pieces) {
            const double start = x + extent.width;
            Extent part;
            switch (piece.kind) {
            case Piece::Text:
                part = setText(piece.top, painter, start, axisY + axis_, axisY, afterOperand,
                               italic_, upright_);
                break;
            case Piece::Fraction:
                part = setFraction(piece, painter, start, axisY);
                afterOperand = true;
                break;
            case Piece::Superscript: {
                const double raise = size_ * 0.42;
                bool ignored = false;
                part = setText(piece.top, painter, start + size_ * 0.04, axisY + axis_ - raise,
                               axisY, ignored, smallItalic_, smallUpright_);
                part.width += size_ * 0.04;
                afterOperand = true;
                break;
            }
            case Piece::Prime: {
                bool ignored = false;
                part = setText(QString(kPrime), painter, start + size_ * 0.1, axisY + axis_,
                               axisY, ignored, upright_, upright_);
                part.width += size_ * 0.12;
                afterOperand = true;
                break;
            }
            }
            extent.width += part.width;
            extent.above = std::max(extent.above, part.above);
            extent.below = std::max(extent.below, part.below);
        }
        return extent;
    }

private:
    enum class Atom { Letter, Upright, Binary, Relation };

    static Atom classify(QChar c)
    {
        if (c == u'=')
            return Atom::Relation;
        if (c == u'+' || c == kMinus)
            return Atom::Binary;
        if (c.isLetter())
            return Atom::Letter;
        return Atom::Upright;
    }

    // Sets text with its baseline at the given height and measures it from
    // the axis at axisY. Letters are italic, everything else upright; binary
    // operators get a medium space on each side, the equals sign a little
    // more, and a minus with no operand before it is a sign and gets none.
    // afterOperand carries that state from one piece of a line to the next.
    Extent setText(const QString& text, QPainter* painter, double x, double baseline,
                   double axisY, bool& afterOperand, const QFont& letterFont,
                   const QFont& otherFont) const
    {
        Extent extent;
        bool previousItalic = false;
        for (const QChar c : text) {
            if (c == u' ')
                continue;
            const Atom atom = classify(c);
            const bool italic = atom == Atom::Letter;
            const QFont& font = italic ? letterFont : otherFont;
            const QFontMetricsF metrics(font);
            double before = 0;
            double after = 0;
            if (atom == Atom::Relation) {
                before = after = size_ * 0.21;
            } else if (atom == Atom::Binary && afterOperand) {
                before = after = size_ * 0.16;
            }
            // Italic correction: keep a slanted letter clear of an upright
            // sign or bracket after it.
            if (previousItalic && !italic)
                before += size_ * 0.06;
            const QString glyph(c);
            const double pen = x + extent.width + before;
            if (painter) {
                painter->setFont(font);
                painter->drawText(QPointF(pen, baseline), glyph);
            }
            const QRectF ink = metrics.tightBoundingRect(glyph);
            extent.width += before + metrics.horizontalAdvance(glyph) + after;
            extent.above = std::max(extent.above, axisY - (baseline + ink.top()));
            extent.below = std::max(extent.below, baseline + ink.bottom() - axisY);
            afterOperand = atom == Atom::Letter || (atom == Atom::Upright && c != u'(');
            previousItalic = italic;
        }
        return extent;
    }

    Extent setFraction(const Piece& piece, QPainter* painter, double x, double axisY) const
    {
        const QFontMetricsF metrics(italic_);
        const QRectF top = metrics.tightBoundingRect(piece.top);
        const QRectF bottom = metrics.tightBoundingRect(piece.bottom);
        const double bar = std::max(1.0, size_ * 0.07);
        const double gap = size_ * 0.14;
        const double overhang = size_ * 0.08;
        const double inner = std::max(top.width(), bottom.width());
        const double width = inner + 2 * overhang;
        const double barTop = axisY - bar / 2;
        const double topBaseline = barTop - gap - top.bottom();
        const double bottomBaseline = barTop + bar + gap - bottom.top();
        if (painter) {
            painter->setFont(italic_);
            painter->drawText(QPointF(x + overhang + (inner - top.width()) / 2 - top.left(),
                                      topBaseline),
                              piece.top);
            painter->drawText(QPointF(x + overhang + (inner - bottom.width()) / 2 - bottom.left(),
                                      bottomBaseline),
                              piece.bottom);
            painter->fillRect(QRectF(x, barTop, width, bar), Qt::black);
        }
        Extent extent;
        extent.width = width + size_ * 0.04;
        extent.above = axisY - (topBaseline + top.top());
        extent.below = bottomBaseline + bottom.bottom() - axisY;
        return extent;
    }

    double size_;
    QFont italic_;
    QFont upright_;
    QFont smallItalic_;
    QFont smallUpright_;
    double axis_ = 0;
};

// A left brace from top to bottom, tip pointing left at the middle, drawn as a
// filled outline that is thickest along its two arms and tapers to the ends
// and the tip.
void drawBrace(QPainter& painter, double left, double width, double top, double bottom)
{
    const double right = left + width;
    const double middle = (top + bottom) / 2;
    const double stem = left + width / 2;
    const double thickness = std::clamp(width * 0.26, 1.3, 2.4);
    const double half = thickness / 2;
    const double end = thickness * 0.5;
    const double curl = std::min(width * 0.55, (bottom - top) / 6);

    QPainterPath path;
    path.moveTo(right, top);
    path.quadTo(stem - half, top, stem - half, top + curl);
    path.lineTo(stem - half, middle - curl);
    path.quadTo(stem - half, middle, left, middle);
    path.quadTo(stem - half, middle, stem - half, middle + curl);
    path.lineTo(stem - half, bottom - curl);
    path.quadTo(stem - half, bottom, right, bottom);
    path.lineTo(right, bottom - end);
    path.quadTo(stem + half, bottom - end, stem + half, bottom - curl);
    path.lineTo(stem + half, middle + curl);
    path.quadTo(stem + half, middle, left + width * 0.15, middle);
    path.quadTo(stem + half, middle, stem + half, middle - curl);
    path.lineTo(stem + half, top + curl);
    path.quadTo(stem + half, top + end, right, top + end);
    path.closeSubpath();

    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::black);
    painter.drawPath(path);
}

struct Measured {
    double leftWidth = 0;
    double width = 0;
    std::vector<Extent> lines;
    double inkHeight = 0;
};

constexpr double kMargin = 1.0;

double braceWidth(int pixelSize) { return pixelSize * 0.5; }
double braceGap(int pixelSize) { return pixelSize * 0.22; }
double lineGap(int pixelSize) { return pixelSize * 0.42; }

Measured measure(const Layout& layout, const FormulaSetter& setter, int pixelSize)
{
    Measured measured;
    for (const Equation& line : layout.lines)
        measured.leftWidth = std::max(measured.leftWidth, setter.set(line.left, nullptr, 0, 0).width);
    double widest = 0;
    for (const Equation& line : layout.lines) {
        const Extent lhs = setter.set(line.left, nullptr, 0, 0);
        const Extent rhs = setter.set(line.right, nullptr, 0, 0, true);
        widest = std::max(widest, measured.leftWidth + rhs.width);
        measured.lines.push_back({measured.leftWidth + rhs.width, std::max(lhs.above, rhs.above),
                                  std::max(lhs.below, rhs.below)});
        measured.inkHeight += measured.lines.back().above + measured.lines.back().below;
    }
    measured.inkHeight += lineGap(pixelSize) * static_cast<double>(layout.lines.size() - 1);
    measured.width = kMargin + braceWidth(pixelSize) + braceGap(pixelSize) + widest + kMargin;
    return measured;
}

// The picture is laid out in logical pixels and rendered at the device pixel
// ratio: the painter of an image tagged with its ratio scales by it, so a
// dense screen gets strokes and glyphs drawn at its own resolution rather
// than a 1x picture blown up.
QImage draw(const Layout& layout, double devicePixelRatio)
{
    QImage image(QSize(layout.width, layout.height) * devicePixelRatio, QImage::Format_RGB32);
    image.setDevicePixelRatio(devicePixelRatio);
    image.fill(Qt::white);

    int pixelSize = layout.preferredPixelSize;
    for (; pixelSize > layout.smallestPixelSize; --pixelSize) {
        const FormulaSetter trial(pixelSize);
        const Measured measured = measure(layout, trial, pixelSize);
        if (measured.width <= layout.width &&
            measured.inkHeight + 2 * kMargin + 2 <= layout.inkBottom)
            break;
    }
    const FormulaSetter setter(pixelSize);
    const Measured measured = measure(layout, setter, pixelSize);

    // The braced block is centred in the rows that may hold ink; the brace
    // reaches a little beyond the first and last lines.
    const double blockTop = (layout.inkBottom - measured.inkHeight) / 2;
    const double reach = std::clamp(blockTop - kMargin, 0.0, pixelSize * 0.12);
    const double braceLeft = kMargin;
    const double textLeft = braceLeft + braceWidth(pixelSize) + braceGap(pixelSize);

    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.setPen(Qt::black);

    double y = blockTop;
    for (std::size_t i = 0; i < layout.lines.size(); ++i) {
        const Equation& line = layout.lines[i];
        const Extent& extent = measured.lines[i];
        const double axisY = y + extent.above;
        setter.set(line.left, &painter, textLeft, axisY);
        setter.set(line.right, &painter, textLeft + measured.leftWidth, axisY, true);
        y = axisY + extent.below + lineGap(pixelSize);
    }
    drawBrace(painter, braceLeft, braceWidth(pixelSize), blockTop - reach,
              blockTop + measured.inkHeight + reach);
    painter.end();
    return image;
}

Piece text(const char* formula)
{
    // The formulas are written with '-' for the minus sign.
    QString s = QString::fromUtf8(formula);
    s.replace(u'-', kMinus);
    return {Piece::Text, s, {}};
}

Piece derivative(const char* variable)
{
    return {Piece::Fraction, QStringLiteral("d") + QLatin1String(variable), QStringLiteral("dt")};
}

Piece squared() { return {Piece::Superscript, QStringLiteral("2"), {}}; }
Piece next() { return {Piece::Prime, {}, {}}; }

}  // namespace

QImage convectionEquations(double devicePixelRatio)
{
    // c keeps the sign the field shows (it loads as -8/3), as the step
    // computes it: dz = cz + xy.
    return draw({.width = 117, .height = 120, .preferredPixelSize = 18, .smallestPixelSize = 8,
                 .inkBottom = 120,
                 .lines = {{{derivative("x")}, {text("= a(y - x)")}},
                           {{derivative("y")}, {text("= bx - y - xz")}},
                           {{derivative("z")}, {text("= xy + cz")}}}},
                devicePixelRatio);
}

QImage spiralEquations(double devicePixelRatio)
{
    return draw({.width = 116, .height = 124, .preferredPixelSize = 18, .smallestPixelSize = 8,
                 .inkBottom = 124,
                 .lines = {{{derivative("x")}, {text("= -(y + z)")}},
                           {{derivative("y")}, {text("= x + ay")}},
                           {{derivative("z")}, {text("= xz - cz + b")}}}},
                devicePixelRatio);
}

QImage recurrenceEquations(double devicePixelRatio)
{
    // Shown in a control 41 pixels high: the rows below it are cut off, so
    // the formula keeps to the top 40.
    return draw({.width = 78, .height = 45, .preferredPixelSize = 18, .smallestPixelSize = 8,
                 .inkBottom = 40,
                 .lines = {{{text("x"), next()}, {text("= ax + y")}},
                           {{text("y"), next()}, {text("= b + x"), squared()}}}},
                devicePixelRatio);
}

QImage quadraticEquations(double devicePixelRatio)
{
    return draw({.width = 111, .height = 50, .preferredPixelSize = 20, .smallestPixelSize = 8,
                 .inkBottom = 50,
                 .lines = {{{text("x"), next()}, {text("= y + 1 - ax"), squared()}},
                           {{text("y"), next()}, {text("= bx")}}}},
                devicePixelRatio);
}

}  // namespace vortiquo
