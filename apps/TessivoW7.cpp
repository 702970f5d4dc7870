#include "Programs.h"
#include "RunProgram.h"

int main(int argc, char** argv)
{
    return RunProgram(argc, argv, Tessivo);
}
