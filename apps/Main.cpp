// The entry point of every program of the suite; the build compiles it once
// per row of the program table, with VORTIQUO_PROGRAM naming the row.
#include "apps/Programs.h"
#include "cli/RunProgram.h"

using namespace vortiquo;

int main(int argc, char** argv)
{
    return runProgram(argc, argv, programNamed(VORTIQUO_PROGRAM));
}
