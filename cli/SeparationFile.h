#pragma once

#include <QByteArray>
#include <QString>

#include "analysis/TwinOrbit.h"

namespace vortiquo {

// The twin series as CSV: a header, then one row a sample with its step,
// its time, both x and the separation, at full precision (17 significant
// digits, a full stop as the decimal point, whatever the locale).
inline constexpr char SeparationHeader[] = "passo,tempo,x,x_gemello,separazione\n";
QByteArray separationCsv(const TwinSeries& series);

}  // namespace vortiquo
