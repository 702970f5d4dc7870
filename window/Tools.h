#pragma once

#include "program/ToolWindow.h"

namespace vortiquo {

// The tools of the suite, each defined beside its window; the program
// table says which programs offer which.
extern const ToolWindow ExportTool;       // "Esporta…": the picture as a print or a film
extern const ToolWindow SensitivityTool;  // "Sensibilità…": two orbits and the largest exponent
extern const ToolWindow ExplorerTool;     // "Esplora parametri…": the parameter sweeps, and a flow's maxima and section

}  // namespace vortiquo
