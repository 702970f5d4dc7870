#include "shell/Redraw.h"

#include <QPainter>

QSize drawingAreaSize(const Program& program)
{
    const LoadFacts facts = loadFacts(program);
    return {static_cast<int>(facts.plotWidth) / 15, static_cast<int>(facts.plotHeight) / 15};
}

Redrawn redraw(const Program& program, const JournalStart& start, std::span<const JournalEntry> entries, int scale,
               const QColor& background, const ReplayLimits& limits)
{
    const QSize pixels = drawingAreaSize(program) * scale;
    QImage points(pixels, QImage::Format_ARGB32_Premultiplied);
    points.fill(Qt::transparent);
    Raster raster;
    raster.grid = {static_cast<double>(scale), static_cast<double>(pixels.width()), static_cast<double>(pixels.height())};
    raster.pixels = reinterpret_cast<std::uint32_t*>(points.bits());
    raster.pixelsPerRow = points.bytesPerLine() / 4;

    Redrawn redrawn;
    redrawn.outcome = replayJournal(*program.model, start, entries, raster, limits);
    // The background goes in behind the points, as the drawing area paints it.
    redrawn.picture = QImage(pixels, QImage::Format_RGB32);
    redrawn.picture.fill(background);
    QPainter painter(&redrawn.picture);
    painter.drawImage(0, 0, points);
    painter.end();
    redrawn.picture.setDevicePixelRatio(scale);
    return redrawn;
}
