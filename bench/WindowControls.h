#pragma once

#include <QString>
#include <cstdio>
#include <cstdlib>

#include "window/SimulationForm.h"

namespace vortiquo {

// A control of the window by its object name. The benchmark cannot work
// without it, so a missing one ends the process.
template <typename Widget>
Widget* control(SimulationForm& form, const char* name)
{
    auto* widget = form.findChild<Widget*>(QString::fromLatin1(name));
    if (!widget) {
        std::fprintf(stderr, "vortiquo-bench: the window has no control %s\n", name);
        std::exit(2);
    }
    return widget;
}

// The class of the window thread's event dispatcher, with the platform's
// own that a run dispatcher hands its work to.
QString dispatcherName();

// Shows the window and lets its first paint happen.
void showAndSettle(SimulationForm& form);

}  // namespace vortiquo
