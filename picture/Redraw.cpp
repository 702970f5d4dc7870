#include "picture/Redraw.h"

#include <QPainter>

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

QImage composed(const QImage& points, const QColor& background)
{
    QImage picture(points.size(), QImage::Format_RGB32);
    picture.setDevicePixelRatio(points.devicePixelRatio());
    picture.fill(background);
    QPainter painter(&picture);
    painter.drawImage(0, 0, points);
    return picture;
}
