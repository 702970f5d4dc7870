#include "cli/OrbitFiles.h"

#include <cstdio>

#include "cli/SweepRun.h"
#include "engine/FaultText.h"
#include "engine/SweepTiles.h"

namespace vortiquo {

namespace {

void say(const QString& message)
{
    std::fputs(qPrintable(message + QLatin1Char('\n')), stderr);
}

}  // namespace

ColumnValues diagramValueRows(CsvStream& stream, const SweepRecipe& recipe)
{
    return [&stream, recipe](int column, std::span<const double> values) {
        const QByteArray parameter = csvNumber(recipeAcross(recipe, column)) + ',';
        QByteArray rows;
        for (const double value : values)
            rows += parameter + csvNumber(value) + '\n';
        return stream.add(rows);
    };
}

int writeOrbitRows(const QString& path, const SweepRecipe& recipe, const SimulationState& start)
{
    CsvStream stream(path);
    const bool maxima = recipe.kind == SweepRecipe::Kind::Maxima;
    OrbitSearch search;
    if (stream.open(maxima ? "indice,massimo\n" : "x,y,z\n")) {
        std::int64_t index = 0;
        search = maxima ? recipeMaxima(recipe, start,
                                       [&](double maximum) {
                                           return stream.add(QByteArray::number(++index) + ',' +
                                                             csvNumber(maximum) + '\n');
                                       })
                        : recipeSection(recipe, start, [&](const Tangent& point) {
                              return stream.add(csvNumber(point[0]) + ',' + csvNumber(point[1]) + ',' +
                                                csvNumber(point[2]) + '\n');
                          });
    }
    if (!stream.commit()) {
        say(QStringLiteral("Impossibile scrivere «%1»: %2. Nessun file è stato modificato.").arg(path, stream.reason()));
        return SweepNotWritten;
    }
    if (search.outcome == Outcome::Fault) {
        say(overflowText(search.faultStep) +
            QStringLiteral(" Le righe trovate fino al passo %1 sono in «%2».").arg(search.faultStep - 1).arg(path));
        return SweepFault;
    }
    return SweepWritten;
}

}  // namespace vortiquo
