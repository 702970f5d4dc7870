#include "engine/ExponentText.h"

#include <QLocale>
#include <QRegularExpression>
#include <algorithm>
#include <cmath>

#include "engine/FaultText.h"

namespace vortiquo {

int decimalsFor(double uncertainty)
{
    if (!(uncertainty > 0) || !std::isfinite(uncertainty))
        return 4;
    const int magnitude = static_cast<int>(std::floor(std::log10(uncertainty)));
    const double leading = uncertainty / std::pow(10.0, magnitude);
    const int significant = leading < 3 ? 2 : 1;
    return std::clamp(significant - 1 - magnitude, 0, 15);
}

int decimalsResolving(double resolution)
{
    if (!(resolution > 0) || !std::isfinite(resolution))
        return 4;
    return std::clamp(static_cast<int>(std::ceil(-std::log10(resolution))), 0, 15);
}

QString italianDecimal(double value, int decimals)
{
    QLocale italian(QLocale::Italian, QLocale::Italy);
    italian.setNumberOptions(QLocale::OmitGroupSeparator);
    QString text = italian.toString(value, 'f', decimals);
    static const QRegularExpression negativeZero(QStringLiteral("^-[0,]+$"));
    if (negativeZero.match(text).hasMatch())
        text.remove(0, 1);  // a value that rounds to 0 has no sign
    return text;
}

QString exponentUnit(bool timed)
{
    return timed ? QStringLiteral("per unità di tempo") : QStringLiteral("per passo");
}

QString exponentText(const Estimate& estimate, bool timed)
{
    const int decimals = decimalsFor(estimate.standardError);
    return QStringLiteral("λ = %1 ± %2 %3")
        .arg(italianDecimal(estimate.value, decimals), italianDecimal(estimate.standardError, decimals),
             exponentUnit(timed));
}

QString noExponentText(const LyapunovResult& result)
{
    switch (result.outcome) {
    case Outcome::Fault:
        return result.faultSource == FaultSource::Tangent ? singularText(result.faultStep)
                                                          : overflowText(result.faultStep);
    case Outcome::Invalid:
        return QStringLiteral("Nessun esponente: con Δt nullo o non finito il tempo non avanza; scrivete in dt un "
                              "numero diverso da zero.");
    case Outcome::Finished:
    case Outcome::Cancelled:
        break;
    }
    return {};
}

}  // namespace vortiquo
