#pragma once

#include <QString>
#include <span>

#include "program/Program.h"

class QCommandLineParser;

namespace vortiquo {

struct CommandLine;

// Something the command line may be asked to do instead of opening the
// window (--render, and the other work of a program without a display),
// chosen by its own option. The parser knows every mode's options; a mode
// reads only those it names, and the others are usage errors with it.
struct CommandMode {
    const char* trigger;       // the option that chooses it: "render"
    const char* triggerValue;  // that option's value, "OUT.png"; nullptr for a switch
    std::span<const char* const> accepts;  // the other options it reads (names from commandOptions())
    // Reads the parsed line into `command`; returns what is wrong, in
    // Italian, or an empty string.
    QString (*read)(const QCommandLineParser& parser, const Program& program, CommandLine& command);
    // Its part of --help, in Italian, ending in a new line; %1 is the program.
    const char* help;
    // What its positional arguments are, "TILE.png"; nullptr: it takes none.
    const char* positional = nullptr;
};

// An option that modes read; valueName is nullptr for a switch.
struct CommandOption {
    const char* name;
    const char* valueName;
};

// Every mode, in the order --help lists them, and every option they read.
std::span<const CommandMode* const> commandModes();
std::span<const CommandOption> commandOptions();

// The modes, each defined beside the work it does.
extern const CommandMode RenderMode;
extern const CommandMode VideoMode;
extern const CommandMode LyapunovMode;
extern const CommandMode SeparationMode;
extern const CommandMode PlaneMode;
extern const CommandMode OrbitsMode;
extern const CommandMode MaximaMode;
extern const CommandMode SectionMode;
extern const CommandMode MergeMode;

}  // namespace vortiquo
