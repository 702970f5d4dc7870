#include "engine/MeasureText.h"

#include <algorithm>
#include <cmath>

#include "engine/ExponentText.h"
#include "engine/FaultText.h"

namespace vortiquo {

namespace {

// Below this share of its value an uncertainty is rounding alone: the value
// is known to the last digits a double holds.
constexpr double RoundingShare = 1e-12;
// The decimals such a value is written with: enough to show two such values
// agree far beyond any measured digit.
constexpr int RoundingDecimals = 10;

bool isWhole(double value)
{
    return std::nearbyint(value) == value;
}

}  // namespace

QString estimateText(const Estimate& estimate)
{
    if (estimate.standardError == 0 && isWhole(estimate.value))
        return italianDecimal(estimate.value, 0);
    if (estimate.standardError <= RoundingShare * std::fmax(1.0, std::fabs(estimate.value)))
        return italianDecimal(estimate.value, RoundingDecimals);
    const int decimals = decimalsFor(estimate.standardError);
    return QStringLiteral("%1 ± %2").arg(italianDecimal(estimate.value, decimals),
                                         italianDecimal(estimate.standardError, decimals));
}

std::vector<MeasureEntry> spectrumEntries(const SpectrumResult& spectrum)
{
    static const char* const Names[MaxExponents] = {"λ₁", "λ₂", "λ₃"};
    std::vector<MeasureEntry> entries;
    for (int i = 0; i < spectrum.count; ++i)
        entries.push_back({QString::fromUtf8(Names[i]), estimateText(spectrum.exponents[i])});
    entries.push_back({QStringLiteral("somma"), estimateText(spectrum.sum)});
    entries.push_back({QStringLiteral("log |det J|"), estimateText(spectrum.logDeterminant)});
    entries.push_back({QStringLiteral("D_KY"), estimateText(spectrum.kaplanYorke)});
    return entries;
}

QString noSpectrumText(const SpectrumResult& spectrum)
{
    switch (spectrum.outcome) {
    case Outcome::Fault:
        return spectrum.faultSource == FaultSource::Tangent ? singularText(spectrum.faultStep)
                                                            : overflowText(spectrum.faultStep);
    case Outcome::Invalid:
        return QStringLiteral("Nessuno spettro: con Δt nullo o non finito il tempo non avanza; scrivete in dt un "
                              "numero diverso da zero.");
    case Outcome::Finished:
    case Outcome::Cancelled:
        break;
    }
    return {};
}

QString dimensionText(const QString& symbol, double dimension, const ScalingFit& fit)
{
    if (!fit.valid)
        return QStringLiteral("%1: nessun tratto rettilineo di almeno %2 punti; provate con più punti.")
            .arg(symbol)
            .arg(FewestRangePoints);
    const int decimals = decimalsFor(fit.uncertainty);
    return QStringLiteral("%1 = %2 ± %3")
        .arg(symbol, italianDecimal(dimension, decimals), italianDecimal(fit.uncertainty, decimals));
}

QString scaleText(double scale)
{
    // Neighbouring scales are at least √2 apart: two significant digits tell
    // them apart, counted after rounding (0,00999 is 0,010).
    const double rounded = QString::number(scale, 'g', 2).toDouble();
    const int magnitude = static_cast<int>(std::floor(std::log10(rounded)));
    return italianDecimal(scale, std::max(0, 1 - magnitude));
}

QString rangeText(const QString& scale, const std::vector<double>& scales, const ScalingFit& fit)
{
    if (!fit.valid)
        return {};
    // The curve runs from the largest scale down; a range reads from small to large.
    return QStringLiteral("da %1 = %2 a %1 = %3")
        .arg(scale, scaleText(scales[static_cast<std::size_t>(fit.last)]),
             scaleText(scales[static_cast<std::size_t>(fit.first)]));
}

QString noDimensionText(const DimensionResult& result)
{
    switch (result.outcome) {
    case Outcome::Fault:
        return overflowText(result.faultStep);
    case Outcome::Invalid:
        return result.points > 0 ? QStringLiteral("Nessuna dimensione: l'orbita si ferma in un punto.")
                                 : QStringLiteral("Nessuna dimensione: con questi valori l'orbita non dà punti da "
                                                  "misurare (Δt nullo, o troppi passi).");
    case Outcome::Finished:
    case Outcome::Cancelled:
        break;
    }
    return {};
}

}  // namespace vortiquo
