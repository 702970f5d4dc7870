#pragma once

#include <QString>
#include <optional>
#include <utility>
#include <vector>

#include "core/FieldRules.h"
#include "core/Session.h"
#include "program/Program.h"

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
};

// Exit statuses of a render.
enum RenderStatus {
    RenderWritten = 0,     // the picture is written
    RenderNotWritten = 1,  // the file could not be written (or read, for --from)
    RenderUsage = 2,       // a usage error, found by the command line
    RenderFault = 3,       // the run ended on an arithmetic fault; the picture up to it is written
};

// A window just loaded that has then taken the command line's edits as
// typed, in order: what a render, a plane or a diagram starts from.
Session editedSession(const Program& program, const std::vector<std::pair<Field, QString>>& edits);

// Renders the picture with no window and no display and writes it; messages
// go to standard error in Italian. Needs no application object of its own
// making: it creates what it needs. Returns a RenderStatus.
int renderPicture(const Program& program, const RenderRequest& request);
