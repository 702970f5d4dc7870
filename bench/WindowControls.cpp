#include "bench/WindowControls.h"

#include <QTest>

namespace vortiquo {

void showAndSettle(SimulationForm& form)
{
    form.show();
    if (!QTest::qWaitForWindowExposed(&form)) {
        std::fprintf(stderr, "vortiquo-bench: the window was never exposed\n");
        std::exit(2);
    }
    QTest::qWait(50);
}

}  // namespace vortiquo
