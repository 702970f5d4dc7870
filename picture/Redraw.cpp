#include "picture/Redraw.h"

#include <QPainter>

namespace vortiquo {

QSize drawingAreaSize(const Program& program)
{
    const AreaPixels area = drawingAreaPixels(*program.layout);
    return {area.width, area.height};
}

QSize devicePixels(QSize logical, double ratio)
{
    return {static_cast<int>(logical.width() * ratio), static_cast<int>(logical.height() * ratio)};
}

Redrawn redraw(const Program& program, const JournalStart& start, std::span<const JournalEntry> entries,
               double ratio, const ReplayLimits& limits)
{
    const QSize pixels = devicePixels(drawingAreaSize(program), ratio);
    Redrawn redrawn;
    redrawn.points = QImage(pixels, QImage::Format_ARGB32_Premultiplied);
    redrawn.points.fill(Qt::transparent);
    redrawn.points.setDevicePixelRatio(ratio);
    Raster raster;
    raster.grid = {ratio, static_cast<double>(pixels.width()), static_cast<double>(pixels.height())};
    raster.pixels = reinterpret_cast<std::uint32_t*>(redrawn.points.bits());
    raster.pixelsPerRow = redrawn.points.bytesPerLine() / 4;
    redrawn.outcome = replayJournal(*program.model, start, entries, raster, limits);
    return redrawn;
}

RedrawnSaved redrawSaved(const Recipe& recipe, double ratio, ReplayLimits limits)
{
    limits.maxSteps = recipe.steps;
    RedrawnSaved saved;
    saved.redrawn = redraw(*recipe.program, recipe.start, recipe.entries, ratio, limits);
    const ReplayOutcome& outcome = saved.redrawn.outcome;
    saved.whole = outcome.end != ReplayOutcome::End::damaged && outcome.end != ReplayOutcome::End::cancelled &&
                  outcome.steps == recipe.steps;
    return saved;
}

QString brokenJournalReason()
{
    return damagedRecipe(QStringLiteral("il giornale non torna"));
}

QImage composed(QImage points, const QColor& background)
{
    // The background goes in behind the points, in the points' own pixels,
    // so that a large picture is never held twice. A shared image is copied
    // once, here, when the painter first writes to it.
    const double ratio = points.devicePixelRatio();
    points.setDevicePixelRatio(1);  // paint in pixels
    QPainter painter(&points);
    painter.setCompositionMode(QPainter::CompositionMode_DestinationOver);
    painter.fillRect(points.rect(), QColor(background.rgb()));
    painter.end();
    // Every pixel is opaque now: the same words read as RGB32.
    points.reinterpretAsFormat(QImage::Format_RGB32);
    points.setDevicePixelRatio(ratio);
    return points;
}

}  // namespace vortiquo
