#pragma once

#include "shell/Program.h"

// Starts the application, shows the program's window and runs until it closes.
int runProgram(int argc, char** argv, const Program& program);
