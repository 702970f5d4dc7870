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
    return recipe.kind == SweepRecipe::Kind::Plane ? QSize(recipe.width, band.end - band.first)
                                                   : QSize(band.end - band.first, recipe.height);
}

}  // namespace

QImage planeImage(std::span<const double> exponents, int width, int rows)
{
    QImage image(width, rows, QImage::Format_RGB32);
    for (int row = 0; row < rows; ++row) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(row));
        for (int column = 0; column < width; ++column)
            line[column] = exponentColour(exponents[static_cast<std::size_t>(row) * width + column]);
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

QString describeSweep(const SweepRecipe& recipe)
{
    QString text;
    if (recipe.kind == SweepRecipe::Kind::Plane)
        text = QStringLiteral("Piano dei parametri di %1: a da %2 a %3, b da %4 a %5; il colore è l'esponente di "
                              "Ljapunov (blu: orbita periodica, arancio: caos, grigio: l'orbita fugge).\n")
                   .arg(QLatin1String(recipe.program->name), number(recipe.a0), number(recipe.a1), number(recipe.b0),
                        number(recipe.b1));
    else
        text = QStringLiteral("Diagramma delle orbite di %1: %2 da %3 a %4, x da %5 a %6.\n")
                   .arg(QLatin1String(recipe.program->name), QString(QLatin1Char(recipe.vary)), number(recipe.p0),
                        number(recipe.p1), number(recipe.xLow), number(recipe.xHigh));
    text += QStringLiteral("%1x%2 punti, %3 passi scartati, %4 passi %5.")
                .arg(recipe.width)
                .arg(recipe.height)
                .arg(recipe.transient)
                .arg(recipe.iterations)
                .arg(recipe.kind == SweepRecipe::Kind::Plane ? QStringLiteral("misurati") : QStringLiteral("contati"));
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
    picture.image = readPng(file, QSize(MaxSweepSide, MaxSweepSide), MaxSweepPixels, program, error);
    if (picture.image.isNull())
        return std::nullopt;
    const QString text = picture.image.text(QLatin1String(SweepRecipeKey));
    if (text.isEmpty()) {
        error = QStringLiteral("l'immagine non contiene la ricetta di un piano dei parametri o di un diagramma "
                               "delle orbite: forse non è stata scritta con --plane o --orbits");
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
