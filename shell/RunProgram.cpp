#include "RunProgram.h"

#include <QApplication>

#include "SimulationForm.h"

int RunProgram(int argc, char** argv, const ProgramDescription& program)
{
    QApplication application(argc, argv);
    SimulationForm form(program);
    form.show();
    return QApplication::exec();
}
