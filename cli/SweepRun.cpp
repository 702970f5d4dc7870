#include "cli/SweepRun.h"

#include <QSaveFile>
#include <cerrno>
#include <cmath>
#include <cstdio>

#include "analysis/Dynamics.h"
#include "cli/CsvStream.h"
#include "cli/EditedSession.h"
#include "cli/OrbitFiles.h"
#include "engine/FaultText.h"
#include "cli/Render.h"
#include "picture/PictureFile.h"
#include "picture/SweepPicture.h"
#include "engine/SweepTiles.h"

namespace vortiquo {

namespace {

void say(const QString& message)
{
    std::fputs(qPrintable(message + QLatin1Char('\n')), stderr);
}

QString number(double value)
{
    return QString::number(value, 'g', 17);
}

// a,b,esponente (the plane's two parameters), one line a pixel, row by row
// from the top; an escaped orbit's exponent is empty, a superstable one's -inf.
QString writeValues(const QString& path, const SweepRecipe& recipe, const SweepBand& computed)
{
    QByteArray text = QByteArray(1, recipe.acrossParameter) + ',' + recipe.upParameter + ",esponente\n";
    const int rows = computed.band.end - computed.band.first;
    for (int row = 0; row < rows; ++row) {
        const QString up = number(recipeUp(recipe, computed.band.first + row));
        for (int column = 0; column < recipe.width; ++column) {
            const double exponent = computed.exponents[static_cast<std::size_t>(row) * recipe.width + column];
            const QString value = std::isnan(exponent) ? QString() : std::isinf(exponent) ? "-inf" : number(exponent);
            text += (number(recipeAcross(recipe, column)) + ',' + up + ',' + value + '\n').toLatin1();
        }
    }
    errno = 0;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return fileErrorReason(errno);
    errno = 0;
    if (file.write(text) != text.size()) {
        const int writeErrno = errno;
        file.cancelWriting();
        return fileErrorReason(writeErrno);
    }
    errno = 0;
    return file.commit() ? QString() : fileErrorReason(errno);
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

namespace {

// "un piano dei parametri", and the option that makes it.
struct KindWords {
    const char* what;
    const char* option;
};
constexpr KindWords KindsInWords[] = {{"un piano dei parametri", "plane"},
                                      {"un diagramma delle orbite", "orbits"},
                                      {"una mappa dei massimi", "maxima"},
                                      {"una sezione di Poincaré", "section"}};

const KindWords& wordsFor(SweepRecipe::Kind kind)
{
    return KindsInWords[static_cast<std::size_t>(kind)];
}

// The recipe the job computes: its own, or the saved picture's.
std::optional<SweepRecipe> jobRecipe(const SweepJob& job)
{
    if (job.from.isEmpty())
        return job.recipe;
    QString error;
    std::optional<SweepPicture> saved = readSweepPicture(job.from, *job.recipe.program, error);
    if (saved && saved->recipe.kind != job.recipe.kind)
        error = QStringLiteral("contiene %1: usate --%2 al posto di --%3")
                    .arg(QString::fromUtf8(wordsFor(saved->recipe.kind).what),
                         QLatin1String(wordsFor(saved->recipe.kind).option),
                         QLatin1String(wordsFor(job.recipe.kind).option));
    if (!saved || !error.isEmpty()) {
        say(QStringLiteral("Impossibile ridisegnare «%1»: %2.").arg(job.from, error));
        return std::nullopt;
    }
    return saved->recipe;
}

}  // namespace

int runSweep(const SweepJob& job)
{
    const std::optional<SweepRecipe> read = jobRecipe(job);
    if (!read)
        return SweepNotWritten;
    const SweepRecipe& recipe = *read;
    const SimulationState start = sweepStart(recipe);
    if (const QString problem = sweepProblem(recipe, start); !problem.isEmpty()) {
        say(QStringLiteral("Impossibile calcolare «%1»: %2.").arg(job.output, problem));
        return SweepNotWritten;
    }
    if (recipe.oneOrbit() && job.csv)
        return writeOrbitRows(job.output, recipe, start);
    // A diagram's values are written as its columns come, the picture at the end.
    std::optional<CsvStream> values;
    ColumnValues columnValues;
    if (recipe.kind == SweepRecipe::Kind::Orbits && !job.values.isEmpty()) {
        values.emplace(job.values);
        if (values->open(DiagramValuesHeader))
            columnValues = diagramValueRows(*values, recipe);
    }
    const std::optional<SweepBand> computed = computeSweepBand(recipe, start, job.threads, {}, columnValues);
    if (values && !values->reason().isEmpty()) {
        say(QStringLiteral("Impossibile scrivere «%1»: %2. Nessun file è stato modificato.")
                .arg(job.values, values->reason()));
        return SweepNotWritten;
    }
    if (!computed) {
        say(QStringLiteral("Impossibile calcolare «%1»: i valori dati non si possono calcolare.").arg(job.output));
        return SweepNotWritten;
    }
    if (QString error = writeSweepPicture(job.output, computed->image, recipe); !error.isEmpty()) {
        say(QStringLiteral("Impossibile scrivere «%1»: %2. Nessun file è stato modificato.").arg(job.output, error));
        return SweepNotWritten;
    }
    const bool planeValues = recipe.kind == SweepRecipe::Kind::Plane && !job.values.isEmpty();
    const QString valuesError = planeValues ? writeValues(job.values, recipe, *computed)
                                : values && !values->commit() ? values->reason()
                                                              : QString();
    if (!valuesError.isEmpty()) {
        say(QStringLiteral("Impossibile scrivere «%1»: %2. L'immagine è in «%3».")
                .arg(job.values, valuesError, job.output));
        return SweepNotWritten;
    }
    if (computed->faultStep > 0) {
        say(overflowText(computed->faultStep) +
            QStringLiteral(" L'immagine mostra i punti trovati fino al passo %1.").arg(computed->faultStep - 1));
        return SweepFault;
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
