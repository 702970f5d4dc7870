#pragma once

#include <QKeySequence>
#include <QString>

class QAction;
class QMenu;
class QWidget;

namespace vortiquo {

class SimulationForm;

// The windows and dialogs that open beside a program's window: each adds
// its entry to Grafico's context menu, with a shortcut that works anywhere
// in the window. The program's own window stays exactly as it is laid out.
void addToolWindows(SimulationForm& form, QMenu& menu);

// An entry of Grafico's context menu whose shortcut works anywhere in `window`.
QAction* addWindowAction(QMenu& menu, const QString& text, const QKeySequence& keys, QWidget& window);

}  // namespace vortiquo
