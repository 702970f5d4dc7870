#include "cli/CommandModes.h"

namespace {

// One row a mode: a new kind of work adds its row here.
const CommandMode* const Modes[] = {
    &RenderMode,
    &VideoMode,
    &LyapunovMode,
    &SeparationMode,
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
