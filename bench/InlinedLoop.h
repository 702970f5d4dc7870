#pragma once

#include <cstddef>
#include <cstdint>

#include "core/SimulationState.h"

namespace vortiquo {

// The ceiling of the headless render: the convection flow's run written out
// by hand as one loop, with nothing shared with the programs' own code. The
// same Euler step, projection, colour bands and pixel write, every operation
// in the same order, a finiteness check on every step, the parameters held
// in locals, and no call, no table and no bookkeeping inside the loop.

struct InlinedPicture {
    std::uint32_t* pixels = nullptr;
    std::ptrdiff_t pixelsPerRow = 0;
    int columns = 0, rows = 0;  // one device pixel to a logical pixel
};

// Runs up to `steps` steps from `start` (the point already at its start) and
// returns the steps drawn: fewer only when a step was not finite.
std::int64_t inlinedConvectionRun(const SimulationState& start, const InlinedPicture& picture,
                                  std::int64_t steps);

}  // namespace vortiquo
