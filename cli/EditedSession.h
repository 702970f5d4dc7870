#pragma once

#include <QString>
#include <utility>
#include <vector>

#include "core/Session.h"
#include "program/Program.h"

namespace vortiquo {

// The command line's field edits (--set FIELD=TEXT, in the order given).
using FieldEdits = std::vector<std::pair<Field, QString>>;

// A program's window as it stands after load with the edits typed into its
// fields: the state and texts that every mode without a window starts from,
// set by the same rules as the window's own fields.
Session editedSession(const Program& program, const FieldEdits& edits);

}  // namespace vortiquo
