#include "cli/SweepRun.h"

#include <cmath>
#include <cstdio>

#include "analysis/Dynamics.h"
#include "cli/EditedSession.h"
#include "cli/Render.h"
#include "picture/PictureFile.h"
#include "picture/SweepPicture.h"
#include "picture/WholeFile.h"
#include "engine/SweepTiles.h"

namespace vortiquo {

namespace {

void say(const QString& message)
{
    std::fputs(qPrintable(message + QLatin1Char('\n')), stderr);
}

QByteArray number(double value)
{
    return QByteArray::number(value, 'g', 17);
}

// a,b,esponente, one line a pixel, row by row from the top; an escaped
// orbit's exponent is empty, a superstable one's -inf. The text goes to the
// disk a row at a time, so it never stands whole in memory.
QString writeValues(const QString& path, const SweepRecipe& recipe, const SweepBand& computed)
{
    WholeFile file(path);
    QString error = file.open();
    error = error.isEmpty() ? file.write("a,b,esponente\n") : error;
    std::vector<QByteArray> columnA;
    for (int column = 0; column < recipe.width; ++column)
        columnA.push_back(number(recipeA(recipe, column)));
    const int rows = computed.band.end - computed.band.first;
    QByteArray line;
    for (int row = 0; row < rows && error.isEmpty(); ++row) {
        const QByteArray b = number(recipeB(recipe, computed.band.first + row));
        line.resize(0);
        for (int column = 0; column < recipe.width; ++column) {
            const double exponent = computed.exponents[static_cast<std::size_t>(row) * recipe.width + column];
            line.append(columnA[static_cast<std::size_t>(column)]).append(',').append(b).append(',');
            if (!std::isnan(exponent))
                line.append(std::isinf(exponent) ? QByteArray("-inf") : number(exponent));
            line.append('\n');
        }
        error = file.write(line);
    }
    return error.isEmpty() ? file.commit() : error;
}

bool readTile(const Program& program, const QString& path, std::optional<SweepPicture>& tile)
{
    QString error;
    tile = readSweepPicture(path, program, error);
    if (!tile)
        say(QStringLiteral("Impossibile unire le parti: «%1»: %2.").arg(path, error));
    else if (!tile->recipe.isTile())
        say(QStringLiteral("Impossibile unire le parti: «%1» è un'immagine intera, non una parte scritta con --tile.")
                .arg(path));
    return tile && tile->recipe.isTile();
}

// The tiles' places, each once, all of them; false with a message if not.
bool tilesComplete(const std::vector<SweepPicture>& tiles, const QStringList& paths)
{
    const SweepRecipe& first = tiles.front().recipe;
    std::vector<int> owner(static_cast<std::size_t>(first.tiles) + 1, -1);
    for (std::size_t index = 0; index < tiles.size(); ++index) {
        const SweepRecipe& recipe = tiles[index].recipe;
        if (recipe.tiles != first.tiles || !recipe.sameWholeAs(first)) {
            say(QStringLiteral("Impossibile unire le parti: «%1» non è una parte della stessa immagine di «%2» (la "
                               "ricetta è diversa); unite solo le parti di un comando.")
                    .arg(paths[qsizetype(index)], paths[0]));
            return false;
        }
        int& seen = owner[static_cast<std::size_t>(recipe.tile)];
        if (seen >= 0) {
            say(QStringLiteral("Impossibile unire le parti: «%1» e «%2» sono la stessa parte (%3 di %4); datela una "
                               "volta sola.")
                    .arg(paths[seen], paths[qsizetype(index)])
                    .arg(recipe.tile)
                    .arg(recipe.tiles));
            return false;
        }
        seen = static_cast<int>(index);
    }
    QStringList missing;
    for (int tile = 1; tile <= first.tiles; ++tile)
        if (owner[static_cast<std::size_t>(tile)] < 0)
            missing << QString::number(tile);
    if (!missing.isEmpty())
        say(QStringLiteral("Impossibile unire le parti: mancano le parti %1 di %2; calcolatele con --tile I/%2 e "
                           "unitele tutte insieme.")
                .arg(missing.join(", "))
                .arg(first.tiles));
    return missing.isEmpty();
}

}  // namespace

SimulationState sweepStart(const SweepRecipe& recipe)
{
    const Program& program = *recipe.program;
    const Session session = editedSession(program, recipe.edits);
    return fieldStart(session.state(), session.texts());
}

int runSweep(const SweepJob& job)
{
    SweepRecipe recipe = job.recipe;
    if (!job.from.isEmpty()) {
        QString error;
        std::optional<SweepPicture> saved = readSweepPicture(job.from, *recipe.program, error);
        if (saved && saved->recipe.kind != recipe.kind)
            error = recipe.kind == SweepRecipe::Kind::Plane
                        ? QStringLiteral("contiene un diagramma delle orbite: usate --orbits al posto di --plane")
                        : QStringLiteral("contiene un piano dei parametri: usate --plane al posto di --orbits");
        if (!saved || !error.isEmpty()) {
            say(QStringLiteral("Impossibile ridisegnare «%1»: %2.").arg(job.from, error));
            return SweepNotWritten;
        }
        recipe = saved->recipe;
    }
    const std::optional<SweepBand> computed = computeSweepBand(recipe, sweepStart(recipe), job.threads);
    if (!computed) {
        say(QStringLiteral("Impossibile calcolare «%1»: i valori dati non si possono calcolare.").arg(job.output));
        return SweepNotWritten;
    }
    if (QString error = writeSweepPicture(job.output, computed->image, recipe); !error.isEmpty()) {
        say(QStringLiteral("Impossibile scrivere «%1»: %2. Nessun file è stato modificato.").arg(job.output, error));
        return SweepNotWritten;
    }
    if (!job.values.isEmpty()) {
        if (QString error = writeValues(job.values, recipe, *computed); !error.isEmpty()) {
            say(QStringLiteral("Impossibile scrivere «%1»: %2. L'immagine è in «%3».")
                    .arg(job.values, error, job.output));
            return SweepNotWritten;
        }
    }
    return SweepWritten;
}

int mergeTiles(const Program& program, const QString& output, const QStringList& paths)
{
    std::vector<SweepPicture> tiles;
    for (const QString& path : paths) {
        std::optional<SweepPicture> tile;
        if (!readTile(program, path, tile))
            return SweepNotWritten;
        tiles.push_back(std::move(*tile));
    }
    if (!tilesComplete(tiles, paths))
        return SweepNotWritten;
    const SweepRecipe whole = tiles.front().recipe.whole();
    QImage image(whole.width, whole.height, QImage::Format_RGB32);
    for (const SweepPicture& tile : tiles) {
        const Band band = recipeBand(tile.recipe);
        const bool rows = whole.kind == SweepRecipe::Kind::Plane;
        for (int row = 0; row < tile.image.height(); ++row) {
            const auto* from = reinterpret_cast<const QRgb*>(tile.image.constScanLine(row));
            auto* to = reinterpret_cast<QRgb*>(image.scanLine(rows ? band.first + row : row)) + (rows ? 0 : band.first);
            std::copy(from, from + tile.image.width(), to);
        }
    }
    if (QString error = writeSweepPicture(output, image, whole); !error.isEmpty()) {
        say(QStringLiteral("Impossibile scrivere «%1»: %2. Nessun file è stato modificato.").arg(output, error));
        return SweepNotWritten;
    }
    return SweepWritten;
}

}  // namespace vortiquo
