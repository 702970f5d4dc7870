#pragma once

#include <QColor>
#include <QImage>
#include <span>

#include "core/Replay.h"
#include "program/Program.h"
#include "picture/Recipe.h"

namespace vortiquo {

// A picture drawn again from a journal, with no window: its points at
// `ratio` device pixels per logical pixel of the drawing area, exactly where
// a window of that density puts them.
struct Redrawn {
    QImage points;  // the points alone, opaque over transparent pixels, as the drawing area keeps them
    ReplayOutcome outcome;
};

Redrawn redraw(const Program& program, const JournalStart& start, std::span<const JournalEntry> entries,
               double ratio, const ReplayLimits& limits = {});

// A saved picture drawn again from its recipe. The steps it claims are the
// replay's budget, and a replay that does not end exactly there means the
// recipe is damaged: then `whole` is false (a cancelled replay is neither).
struct RedrawnSaved {
    Redrawn redrawn;
    bool whole = false;
};
RedrawnSaved redrawSaved(const Recipe& recipe, double ratio, ReplayLimits limits);
// What to say of a recipe whose replay does not come out whole.
QString brokenJournalReason();

// The picture as shown: the background with the points over it, opaque
// (RGB32). Points handed over whole (moved in) are composed in place.
QImage composed(QImage points, const QColor& background);

// The drawing area's size in logical pixels, as laid out (the window sizes
// its widget so too), and in device pixels at a ratio, as the drawing area
// sizes its image.
QSize drawingAreaSize(const Program& program);
QSize devicePixels(QSize logical, double ratio);

}  // namespace vortiquo
