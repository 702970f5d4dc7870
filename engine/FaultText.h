#pragma once

#include <QString>
#include <cstdint>

namespace vortiquo {

// What the user reads when an orbit overflows: the window after a run, the
// Sensibilità window, and the command line, which add what was kept.
QString overflowText(std::int64_t step);
// What the user reads when a singular Jacobian collapses a tangent vector
// after the transient: the exponents cannot be measured from that start.
QString singularText(std::int64_t step);

}  // namespace vortiquo
