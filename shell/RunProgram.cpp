#include "shell/RunProgram.h"

#include <QApplication>

#include "shell/SimulationForm.h"

int runProgram(int argc, char** argv, const Program& program)
{
    // The run loop processes events after every step, so the cost of one
    // call of event processing bounds the speed of a run. With nothing
    // pending, Qt's own UNIX dispatcher takes about 0.41 us a call on our
    // 2-core machine under an X server, the GLib one 0.67 us, and a run of
    // the convection flow makes 2.2 million steps a second with the first
    // against 1.4 million with the second (vortiquo-bench). Nothing in the
    // window needs the GLib loop, so the programs take the UNIX dispatcher;
    // the switch counts only when set before the application object exists.
    qputenv("QT_NO_GLIB", "1");
    QApplication application(argc, argv);
    SimulationForm form(program);
    form.show();
    return QApplication::exec();
}
