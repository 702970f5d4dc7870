#include "picture/SweepPicture.h"

#include <QFile>
#include <algorithm>
#include <cerrno>
#include <limits>

#include "picture/PlaneColours.h"
#include "picture/PictureFile.h"
#include "program/Version.h"

namespace vortiquo {

namespace {

QString number(double value)
{
    return QString::number(value, 'g', 17);
}

// The size of the picture a recipe's band makes.
QSize bandSize(const SweepRecipe& recipe)
{
    const Band band = recipeBand(recipe);
    return recipe.kind == SweepRecipe::Kind::Orbits ? QSize(band.end - band.first, recipe.height)
                                                    : QSize(recipe.width, band.end - band.first);
}

}  // namespace

QImage planeImage(std::span<const double> exponents, int width, int rows, double scale)
{
    QImage image(width, rows, QImage::Format_RGB32);
    for (int row = 0; row < rows; ++row) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(row));
        for (int column = 0; column < width; ++column)
            line[column] = exponentColour(exponents[static_cast<std::size_t>(row) * width + column], scale);
    }
    return image;
}

QImage diagramImage(std::span<const std::uint32_t> counts, int columns, int height, std::int64_t points)
{
    const auto most = static_cast<std::uint32_t>(
        std::clamp<std::int64_t>(points, 1, std::numeric_limits<std::uint32_t>::max()));
    QImage image(columns, height, QImage::Format_RGB32);
    for (int row = 0; row < height; ++row) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(row));
        for (int column = 0; column < columns; ++column)
            line[column] = densityShade(counts[static_cast<std::size_t>(row) * columns + column], most);
    }
    return image;
}

QImage pointsImage(std::span<const std::uint32_t> counts, int width, int height)
{
    const std::uint32_t most = counts.empty() ? 0 : *std::max_element(counts.begin(), counts.end());
    QImage image(width, height, QImage::Format_RGB32);
    for (int row = 0; row < height; ++row) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(row));
        for (int column = 0; column < width; ++column)
            line[column] = pointShade(counts[static_cast<std::size_t>(row) * width + column], most);
    }
    return image;
}

QImage colourBar(int width, int height, double scale)
{
    QImage image(width, height, QImage::Format_RGB32);
    const int escaped = std::max(1, height / 10);
    const int span = std::max(1, height - escaped - 1);
    for (int row = 0; row < height; ++row) {
        const double exponent = row >= height - escaped ? std::numeric_limits<double>::quiet_NaN()
                                                         : scale - (2 * scale * row) / span;
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(row));
        std::fill(line, line + width, exponentColour(exponent, scale));
    }
    return image;
}

namespace {

QString letter(char name)
{
    return QString(QLatin1Char(name));
}

QString span(double from, double to)
{
    return QStringLiteral("da %1 a %2").arg(number(from), number(to));
}

// The first line: what the picture shows, over which ranges.
QString whatIsShown(const SweepRecipe& recipe)
{
    const QLatin1String name(recipe.program->name);
    switch (recipe.kind) {
    case SweepRecipe::Kind::Plane:
        return QStringLiteral("Piano dei parametri di %1: %2 %3, %4 %5; il colore è l'esponente di Ljapunov (blu: "
                              "orbita periodica, arancio: caos, grigio: l'orbita fugge).\n")
            .arg(name, letter(recipe.acrossParameter), span(recipe.across0, recipe.across1),
                 letter(recipe.upParameter), span(recipe.up0, recipe.up1));
    case SweepRecipe::Kind::Orbits:
        return QStringLiteral("Diagramma delle orbite di %1: %2 %3, %4%5 %6.\n")
            .arg(name, letter(recipe.vary), span(recipe.across0, recipe.across1),
                 timedProgram(*recipe.program) ? QStringLiteral("i massimi di ") : QString(), letter(recipe.of),
                 span(recipe.up0, recipe.up1));
    case SweepRecipe::Kind::Maxima:
        return QStringLiteral("Mappa dei massimi di %1: ogni massimo di %2 contro il precedente, %3.\n")
            .arg(name, letter(recipe.of),
                 recipe.fitted ? QStringLiteral("la scala adattata ai punti") : span(recipe.across0, recipe.across1));
    case SweepRecipe::Kind::Section:
        return QStringLiteral("Sezione di Poincaré di %1: i punti dove l'orbita attraversa %2 = %3 %4, %5.\n")
            .arg(name, letter(recipe.of), number(recipe.level),
                 recipe.upward ? QStringLiteral("salendo") : QStringLiteral("scendendo"),
                 recipe.fitted ? QStringLiteral("la scala adattata ai punti")
                               : QStringLiteral("%1 e %2").arg(span(recipe.across0, recipe.across1),
                                                              span(recipe.up0, recipe.up1)));
    }
    return {};
}

}  // namespace

QString describeSweep(const SweepRecipe& recipe)
{
    QString text = whatIsShown(recipe);
    const bool plane = recipe.kind == SweepRecipe::Kind::Plane;
    if (timedProgram(*recipe.program))
        text += QStringLiteral("%1x%2 punti, %3 unità di tempo scartate, %4 unità di tempo %5.")
                    .arg(recipe.width)
                    .arg(recipe.height)
                    .arg(number(recipe.transient), number(recipe.duration),
                         plane ? QStringLiteral("misurate") : QStringLiteral("registrate"));
    else
        text += QStringLiteral("%1x%2 punti, %3 passi scartati, %4 passi %5.")
                    .arg(recipe.width)
                    .arg(recipe.height)
                    .arg(static_cast<qint64>(recipe.transient))
                    .arg(static_cast<qint64>(recipe.duration))
                    .arg(plane ? QStringLiteral("misurati") : QStringLiteral("contati"));
    for (const auto& [field, text2] : recipe.edits) {
        const std::string_view name = fieldName(field);
        text += QStringLiteral("\n%1 = %2").arg(QString::fromLatin1(name.data(), qsizetype(name.size()) - 1), text2);
    }
    if (recipe.isTile())
        text += QStringLiteral("\nParte %1 di %2: unitele con --merge.").arg(recipe.tile).arg(recipe.tiles);
    return text;
}

namespace {

constexpr int SweepDotsPerMeter = 3780;  // 96 dots per inch

}  // namespace

QString writeSweepPicture(const QString& path, const QImage& image, const SweepRecipe& recipe)
{
    QImage tagged = image;
    // A new image takes its resolution from the screen, or from none: the
    // file names one of its own, so that a sweep saved from the window and
    // one computed on a machine with no display are the same bytes.
    tagged.setDotsPerMeterX(SweepDotsPerMeter);
    tagged.setDotsPerMeterY(SweepDotsPerMeter);
    tagged.setText(QStringLiteral("Software"), QStringLiteral("Vortiquo %1 %2").arg(
                                                   QLatin1String(recipe.program->name), QLatin1String(SuiteVersion)));
    tagged.setText(QStringLiteral("Description"), describeSweep(recipe));
    tagged.setText(QLatin1String(SweepRecipeKey), QString::fromUtf8(sweepRecipeToJson(recipe)));
    return writePng(path, tagged);
}

std::optional<SweepPicture> readSweepPicture(const QString& path, const Program& program, QString& error)
{
    QFile file(path);
    errno = 0;
    if (!file.open(QIODevice::ReadOnly)) {
        error = QStringLiteral("il file non si può leggere: %1").arg(fileErrorReason(errno));
        return std::nullopt;
    }
    SweepPicture picture;
    picture.image = readPng(file, QSize(MaxSweepSide, MaxSweepSide), program, error);
    if (picture.image.isNull())
        return std::nullopt;
    const QString text = picture.image.text(QLatin1String(SweepRecipeKey));
    if (text.isEmpty()) {
        error = QStringLiteral("l'immagine non contiene la ricetta di un'esplorazione dei parametri: forse non è "
                               "stata scritta con --plane, --orbits, --maxima o --section");
        return std::nullopt;
    }
    std::optional<SweepRecipe> recipe = sweepRecipeFromJson(text.toUtf8(), program, error);
    if (!recipe)
        return std::nullopt;
    if (picture.image.size() != bandSize(*recipe)) {
        error = QStringLiteral("la ricetta dell'immagine è danneggiata (le dimensioni non tornano)");
        return std::nullopt;
    }
    picture.image = picture.image.convertToFormat(QImage::Format_RGB32);
    picture.recipe = std::move(*recipe);
    return picture;
}

}  // namespace vortiquo
