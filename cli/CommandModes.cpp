#include "cli/CommandModes.h"

namespace vortiquo {

namespace {

// One row a mode: a new kind of work adds its row here.
const CommandMode* const Modes[] = {
    &RenderMode,
    &VideoMode,
    &LyapunovMode,
    &SeparationMode,
    &PlaneMode,
    &OrbitsMode,
    &MaximaMode,
    &SectionMode,
    &MergeMode,
};

// One row an option, whichever modes read it.
constexpr CommandOption Options[] = {
    {"steps", "N"},
    {"set", "FIELD=TEXT"},
    {"option", "OptionK"},
    {"scale", "K"},
    {"from", "SAVED.png"},
    {"density", nullptr},
    {"tone", "log|equalize"},
    {"supersample", "S"},
    {"frames", "F"},
    {"fps", "R"},
    {"turn", nullptr},
    {"frames-dir", "DIR"},
    {"json", nullptr},
    {"epsilon", "E"},
    {"a", "A0:A1"},
    {"b", "B0:B1"},
    {"c", "C0:C1"},
    {"size", "WxH"},
    {"transient", "T"},
    {"iterations", "N"},
    {"duration", "N"},
    {"threads", "K"},
    {"tile", "I/N"},
    {"values", "OUT.csv"},
    {"vary", "a|b|c"},
    {"range", "P0:P1"},
    {"of", "x|y|z"},
    {"at", "COORD=V"},
    {"direction", "up|down"},
};

}  // namespace

std::span<const CommandMode* const> commandModes()
{
    return Modes;
}

std::span<const CommandOption> commandOptions()
{
    return Options;
}

}  // namespace vortiquo
