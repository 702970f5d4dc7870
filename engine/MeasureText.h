#pragma once

#include <QString>
#include <vector>

#include "analysis/Dimension.h"
#include "analysis/Spectrum.h"

namespace vortiquo {

// The spectrum and the dimensions as the windows write them, in Italian:
// a decimal comma and the digits the uncertainty justifies.

// "0,4193 ± 0,0004"; a whole value with no spread at all as "2", and one
// whose spread is rounding alone with ten decimals, "-1,2039728043".
QString estimateText(const Estimate& estimate);

// One entry of the spectrum's table: "λ₁" and "0,906 ± 0,011".
struct MeasureEntry {
    QString name;
    QString value;
};
// λ₁, λ₂ (λ₃), the sum, log |det J| and D_KY of a finished spectrum.
std::vector<MeasureEntry> spectrumEntries(const SpectrumResult& spectrum);
// Why a spectrum has no numbers (a fault, or settings that cannot give
// one); empty when it finished or was cancelled.
QString noSpectrumText(const SpectrumResult& spectrum);

// "D₂ = 2,06 ± 0,01", or why the fit gives none.
QString dimensionText(const QString& symbol, double dimension, const ScalingFit& fit);
// "da r = 0,076 a r = 2,4": the range of a fit on a curve whose scales are
// `scales`, largest first, with as many digits as tell neighbours apart.
QString rangeText(const QString& scale, const std::vector<double>& scales, const ScalingFit& fit);
// A scale of a curve, with the digits that tell it from its neighbours, √2 or 2 apart.
QString scaleText(double scale);
// Why the dimensions have none at all; empty when they finished or were cancelled.
QString noDimensionText(const DimensionResult& result);

}  // namespace vortiquo
