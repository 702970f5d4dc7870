#pragma once

#include <string_view>

#include "shell/Program.h"

// A row of the program table by name, for code that needs one program in
// particular; the name must be in the table.
const Program& programNamed(std::string_view name);
