#pragma once

#include <QString>

#include "analysis/ParameterSweep.h"
#include "cli/CsvStream.h"
#include "picture/SweepRecipe.h"

namespace vortiquo {

// The rows the sweeps write besides their pictures, each streamed to disk as
// it is found (CsvStream): 17 significant digits and a full stop.

// A flow's orbit diagram: parametro,massimo, one row per maximum, column by
// column from the left.
inline constexpr char DiagramValuesHeader[] = "parametro,massimo\n";
ColumnValues diagramValueRows(CsvStream& stream, const SweepRecipe& recipe);

// A map of maxima (indice,massimo, the first maximum 1) or a section (x,y,z
// of each crossing) into `path`; messages go to standard error. Returns a
// SweepStatus: an orbit that overflows keeps the rows found before it.
int writeOrbitRows(const QString& path, const SweepRecipe& recipe, const SimulationState& start);

}  // namespace vortiquo
