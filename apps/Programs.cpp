#include "Programs.h"

#include "FlowModels.h"
#include "Layouts.h"
#include "MapModels.h"

//                                         layout              model           scheme  c at load  cross-hair
const ProgramDescription Brisuta = {&ConvectionLayout, &ConvectionFlow, 1, true, false};
const ProgramDescription Kelvane = {&SpiralLayout, &SpiralFlow, 5, false, false};
const ProgramDescription Tessivo = {&RecurrenceLayout, &RecurrenceMap, 1, false, true};
const ProgramDescription Drumbel = {&QuadraticLayout, &QuadraticMap, 1, false, true};
