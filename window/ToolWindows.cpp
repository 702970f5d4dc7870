#include "window/ToolWindows.h"

#include <QAction>
#include <QMenu>

#include "window/ExportDialog.h"
#include "window/SensitivityWindow.h"
#include "window/ExplorerWindow.h"
#include "window/SimulationForm.h"

namespace vortiquo {

QAction* addWindowAction(QMenu& menu, const QString& text, const QKeySequence& keys, QWidget& window)
{
    QAction* action = menu.addAction(text);
    action->setShortcut(keys);
    action->setShortcutContext(Qt::WindowShortcut);
    window.addAction(action);  // the shortcut works anywhere in the window
    return action;
}

void addToolWindows(SimulationForm& form, QMenu& menu)
{
    // Each tool adds its own entries here, one line each, after a separator
    // that sets them apart from the picture's own commands.
    menu.addSeparator();
    addExportAction(form, menu);
    addSensitivityWindow(form, menu);
    addExplorerWindow(form, menu);
}

}  // namespace vortiquo
