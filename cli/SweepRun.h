#pragma once

#include <QString>
#include <QStringList>

#include "picture/SweepRecipe.h"

namespace vortiquo {

// What `PROGRAM --plane OUT.png ...`, `--orbits`, `--maxima` and
// `--section` ask for, as the command line has checked it; with `from` set,
// the recipe is read from that saved picture instead.
struct SweepJob {
    SweepRecipe recipe;
    QString output;    // OUT.png, or OUT.csv
    bool csv = false;  // a one-orbit kind's rows rather than its picture
    QString values;    // --values OUT.csv, empty for none
    QString from;    // --from SAVED.png, empty for none
    int threads = 1;
};

// Exit statuses of the sweeps, as for --render. An orbit that escapes is a
// result (a grey pixel, an empty column), not a fault; the one orbit of a
// map of maxima or a section that overflows is (what came before is written).
enum SweepStatus { SweepWritten = 0, SweepNotWritten = 1, SweepUsage = 2, SweepFault = 3 };

// Computes and writes the picture (and the values); messages go to standard
// error in Italian. Returns a SweepStatus.
int runSweep(const SweepJob& job);

// The start point and fixed parameter of a recipe: the window at load with
// the recipe's edits typed, its point put back where a run starts, then
// moved to x0, y0 (and z0) if the edits name them.
SimulationState sweepStart(const SweepRecipe& recipe);

// `PROGRAM --merge OUT.png TILE.png...`: puts the tiles of one picture
// together, in any order, into the file the whole command writes.
int mergeTiles(const Program& program, const QString& output, const QStringList& tiles);

}  // namespace vortiquo
