#pragma once

#include <QString>
#include <QStringList>

#include "cli/SweepRun.h"

class QCommandLineParser;

namespace vortiquo {

struct CommandLine;
struct SweepView;

// What the sweeps' modes (--plane, --orbits, --maxima, --section) read
// alike. Each returns what is wrong, in Italian, or an empty string.

// The output, the threads, the fields and the size, or --from (which takes
// none of the mode's own options, `ownOptions`). With --from set, the job
// holds it and the recipe stays to be read from the saved picture.
QString readSweepCommon(const QCommandLineParser& parser, const Program& program, const char* trigger,
                        const QStringList& ownOptions, SweepJob& job);
// T and N: for a map --transient and --iterations in steps, for a flow
// --transient and --duration in units of time; `transient` and `duration`
// are the defaults.
QString readDurations(const QCommandLineParser& parser, const Program& program, double transient, double duration,
                      SweepRecipe& recipe);
// x, y or z, one the model has, for --NAME.
QString readCoordinate(const QString& name, const QString& text, const Program& program, char& coordinate);
// Whether --set names one of `fields`: a sweep sets those itself.
QString refuseSetting(const SweepRecipe& recipe, std::initializer_list<char> parameters, const QString& why);
// The tile, which needs the size, and the task.
QString finishSweep(const QCommandLineParser& parser, SweepJob& job, CommandLine& command);

// The program's sweep views; a message for a program without them.
const SweepView* programView(const Program& program, const char* trigger, QString& error);

}  // namespace vortiquo
