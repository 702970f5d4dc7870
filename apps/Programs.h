#pragma once

#include "ProgramDescription.h"

// The four programs of the suite.
extern const ProgramDescription Brisuta;
extern const ProgramDescription Kelvane;
extern const ProgramDescription Tessivo;
extern const ProgramDescription Drumbel;
