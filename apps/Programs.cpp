#include "apps/Programs.h"

#include <cstdio>
#include <cstdlib>
#include <optional>

#include "apps/Layouts.h"
#include "flows/FlowModels.h"
#include "maps/MapModels.h"
#include "window/Tools.h"

namespace vortiquo {

namespace {

// The tools every program offers, in the order of Grafico's menu.
constexpr const ToolWindow* AllTools[] = {&ExportTool, &SensitivityTool, &ExplorerTool};

// The programs of the suite, one row each. The build makes one executable
// per row, named by its first column (cmake/Programs.cmake reads the names
// from here), and the benchmark and the tests go through the same rows.
constexpr Program ProgramTable[] = {
    // name       layout             model            c written at load  cross-hair  tools
    {"BrisutaW7", &ConvectionLayout, &ConvectionFlow, -8.0 / 3.0,        false,      AllTools},
    {"KelvaneW7", &SpiralLayout,     &SpiralFlow,     std::nullopt,      false,      AllTools},
    {"TessivoW7", &RecurrenceLayout, &RecurrenceMap,  std::nullopt,      true,       AllTools},
    {"DrumbelW7", &QuadraticLayout,  &QuadraticMap,   std::nullopt,      true,       AllTools},
};

}  // namespace

std::span<const Program> allPrograms()
{
    return ProgramTable;
}

const Program* findProgram(std::string_view name)
{
    for (const Program& program : allPrograms())
        if (name == program.name)
            return &program;
    return nullptr;
}

const Program& programNamed(std::string_view name)
{
    if (const Program* program = findProgram(name))
        return *program;
    std::fprintf(stderr, "no program named %.*s\n", static_cast<int>(name.size()), name.data());
    std::abort();
}

}  // namespace vortiquo
