#pragma once

#include <QString>

#include "analysis/Lyapunov.h"

namespace vortiquo {

// The exponent as the window and the command line write it, in Italian:
// a decimal comma and as many digits as the uncertainty justifies.

// Decimals that show the uncertainty with two significant digits when its
// first digit is 1 or 2, else with one; 4 when it is 0 or not a number.
int decimalsFor(double uncertainty);
// Decimals that tell apart two values `resolution` apart (a pixel's width,
// a tick's step): one unit of the last decimal is at most the resolution.
// 4 when the resolution is 0 or not a number.
int decimalsResolving(double resolution);
// A number with a decimal comma and no grouping, "-0,4193".
QString italianDecimal(double value, int decimals);
// "per passo" for a map, "per unità di tempo" for a flow.
QString exponentUnit(bool timed);
// "λ = 0,4193 ± 0,0012 per passo".
QString exponentText(const Estimate& estimate, bool timed);
// Why a computation gave no exponent (a fault, or settings that cannot
// give one); empty when it finished or was cancelled.
QString noExponentText(const LyapunovResult& result);

}  // namespace vortiquo
