#pragma once

#include "bench/Options.h"

namespace vortiquo {

// The measures of an attractor: the time of the whole Lyapunov spectrum for
// each program's default measurement, and the correlation sum of M points by
// the grid against comparing all pairs, with the same counts.

void printSpectrumTimes(const Options& options);
// false when the grid's counts differ from all pairs'.
bool printDimensionTimes(const Options& options);

}  // namespace vortiquo
