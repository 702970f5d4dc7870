#pragma once

#include <QString>
#include <optional>
#include <utility>
#include <vector>

#include "picture/Density.h"
#include "core/FieldRules.h"
#include "core/Session.h"
#include "program/Program.h"

namespace vortiquo {

// What `PROGRAM --render OUT.png ...` asks for, as the command line has
// checked it: every field named exists in the program's window, every
// option number is 1 to 12, the steps are a whole number of at least 1 and
// the scale lies in 1 to 16.
struct RenderRequest {
    QString output;                                // OUT.png
    std::optional<qint64> steps;                   // --steps N; none only with --from
    std::vector<std::pair<Field, QString>> edits;  // --set FIELD=TEXT, in the order given
    std::vector<int> options;                      // --option OptionK, K in order given
    int scale = 1;                                 // --scale K
    QString from;                                  // --from SAVED.png, empty for none
    std::optional<PictureLook> look;               // --density, --tone, --supersample; none: the recipe's
};

// Exit statuses of a render.
enum RenderStatus {
    RenderWritten = 0,     // the picture is written
    RenderNotWritten = 1,  // the file could not be written (or read, for --from)
    RenderUsage = 2,       // a usage error, found by the command line
    RenderFault = 3,       // the run ended on an arithmetic fault; the picture up to it is written
};

// The journal of a window that loads, takes the request's edits and options
// as typed and clicked before "Via", and runs for its steps; the recipe's
// look is the request's.
struct Recipe;
Recipe recipeForRequest(const Program& program, const RenderRequest& request);

// Renders the picture with no window and no display and writes it; messages
// go to standard error in Italian. Needs no application object of its own
// making: it creates what it needs. Returns a RenderStatus.
int renderPicture(const Program& program, const RenderRequest& request);

}  // namespace vortiquo
