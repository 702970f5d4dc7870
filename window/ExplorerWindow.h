#pragma once

class QMenu;

namespace vortiquo {

class SimulationForm;

// "Esplora parametri": the parameter plane and the orbit diagram of a map,
// beside the program's window, for the programs whose row has sweeps.
// Adds its entry (Ctrl+E) to Grafico's menu; nothing for the others.
void addExplorerWindow(SimulationForm& form, QMenu& menu);

}  // namespace vortiquo
