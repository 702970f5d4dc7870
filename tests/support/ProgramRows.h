#pragma once

#include <QTest>

#include "apps/Programs.h"

using namespace vortiquo;

Q_DECLARE_METATYPE(const Program*)

// The suite's programs by name, for tests about one of them in particular.
inline const Program& Brisuta = programNamed("BrisutaW7");
inline const Program& Kelvane = programNamed("KelvaneW7");
inline const Program& Tessivo = programNamed("TessivoW7");
inline const Program& Drumbel = programNamed("DrumbelW7");

// One row per program of the suite, named after it, in a column "program".
inline void addProgramRows()
{
    QTest::addColumn<const Program*>("program");
    for (const Program& program : allPrograms())
        QTest::newRow(program.name) << &program;
}
