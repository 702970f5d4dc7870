#pragma once

#include <QColor>

namespace vortiquo {

// The desktop theme's colour for one of the system colour indices the
// windows use (1, 5, 7, 8, 9, 11, 13, 19), read from the application palette
// each time it is asked for, so it follows the theme.
QColor systemColour(int index);

// The background system colour index that each background option selects,
// Option7 to Option12 in order.
inline constexpr int BackgroundColourIndices[6] = {19, 9, 1, 13, 7, 11};

}  // namespace vortiquo
