#pragma once

#include <QString>
#include <optional>

#include "picture/Density.h"

class QCommandLineParser;

namespace vortiquo {

// --density, --tone log|equalize and --supersample S, read together: none
// of them leaves `look` empty. `scale` is the --scale already read, since a
// drawing is at most MostDrawingScale times the window's size.
QString readLook(const QCommandLineParser& parser, int scale, std::optional<PictureLook>& look);

// The options readLook reads, for a mode's list.
inline constexpr const char* LookOptionNames[] = {"density", "tone", "supersample"};

}  // namespace vortiquo
