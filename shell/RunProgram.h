#pragma once

#include "ProgramDescription.h"

// Starts the application, shows the program's window and runs until it closes.
int RunProgram(int argc, char** argv, const ProgramDescription& program);
