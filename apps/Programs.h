#pragma once

#include <span>
#include <string_view>

#include "program/Program.h"

namespace vortiquo {

// The table of programs, and a row of it by name (nullptr for none).
std::span<const Program> allPrograms();
const Program* findProgram(std::string_view name);

// A row of the program table by name, for code that needs one program in
// particular; the name must be in the table.
const Program& programNamed(std::string_view name);

}  // namespace vortiquo
