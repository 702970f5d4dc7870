#include "picture/DensityPicture.h"

#include "picture/Redraw.h"

namespace vortiquo {

namespace {

std::uint32_t rgbOf(const QColor& colour)
{
    return static_cast<std::uint32_t>(colour.rgb()) & 0xFFFFFFu;
}

std::uint32_t* rowPixels(QImage& image)
{
    return reinterpret_cast<std::uint32_t*>(image.bits());
}

}  // namespace

LookCanvas::LookCanvas(const Program& program, int scale, const PictureLook& look, const QColor& background)
    : look_(look), scale_(scale), background_(background), size_(devicePixels(drawingAreaSize(program), scale))
{
    const double ratio = scale * look.supersample;
    const QSize pixels = devicePixels(drawingAreaSize(program), ratio);
    if (look.density) {
        density_ = std::make_unique<DensityCanvas>(pixels.width(), pixels.height(), ratio);
        return;
    }
    points_ = QImage(pixels, QImage::Format_ARGB32_Premultiplied);
    points_.fill(Qt::transparent);
    raster_.grid = {ratio, static_cast<double>(pixels.width()), static_cast<double>(pixels.height())};
    raster_.pixels = rowPixels(points_);
    raster_.pixelsPerRow = points_.bytesPerLine() / 4;
}

LookCanvas::~LookCanvas() = default;

void LookCanvas::setPoint(const PlotPoint& point)
{
    if (density_)
        density_->setPoint(point);
    else
        raster_.setPoint(point);
}

// The picture at the drawing's own size, before averaging down.
QImage LookCanvas::large() const
{
    if (!density_)
        return composed(points_, background_);
    QImage toned(density_->width, density_->height, QImage::Format_RGB32);
    toneDensity(*density_, look_.tone, rgbOf(background_), rowPixels(toned), toned.bytesPerLine() / 4);
    return toned;
}

QImage LookCanvas::picture() const
{
    QImage drawn = large();
    if (look_.supersample > 1) {
        QImage averaged(size_, QImage::Format_RGB32);
        averageBlocks(reinterpret_cast<const std::uint32_t*>(drawn.constBits()), drawn.bytesPerLine() / 4,
                      look_.supersample, size_.width(), size_.height(), rowPixels(averaged),
                      averaged.bytesPerLine() / 4);
        drawn = averaged;
    }
    drawn.setDevicePixelRatio(scale_);
    return drawn;
}

LookedPicture drawLooked(const Recipe& recipe, int scale, const PictureLook& look, ReplayLimits limits,
                         bool expectSteps)
{
    if (expectSteps)
        limits.maxSteps = recipe.steps;
    LookCanvas canvas(*recipe.program, scale, look, recipe.background);
    LookedPicture looked;
    looked.outcome = replayJournal(*recipe.program->model, recipe.start, recipe.entries, canvas, limits);
    const ReplayOutcome::End end = looked.outcome.end;
    looked.whole = end != ReplayOutcome::End::damaged && end != ReplayOutcome::End::cancelled &&
                   (!expectSteps || looked.outcome.steps == recipe.steps);
    if (end != ReplayOutcome::End::cancelled)
        looked.picture = canvas.picture();
    return looked;
}

}  // namespace vortiquo
