#pragma once

#include <QColor>
#include <QImage>
#include <span>

#include "core/Replay.h"
#include "shell/Program.h"

// A picture drawn again from a journal, with no window: its points at
// `scale` device pixels per logical pixel of the drawing area, exactly where
// a window of that density puts them, over the background colour.
struct Redrawn {
    QImage picture;  // RGB32, tagged with the scale as its device pixel ratio
    ReplayOutcome outcome;
};

Redrawn redraw(const Program& program, const JournalStart& start, std::span<const JournalEntry> entries, int scale,
               const QColor& background, const ReplayLimits& limits = {});

// The drawing area's size in logical pixels, as laid out.
QSize drawingAreaSize(const Program& program);
