#pragma once

#include <QColor>
#include <QImage>
#include <memory>

#include "picture/Density.h"
#include "core/Replay.h"
#include "picture/Recipe.h"

namespace vortiquo {

// A picture in the making, as a look asks for it: the points as the window
// draws them, or their density, at `scale` device pixels per logical pixel,
// drawn `supersample` times larger and averaged down. It takes the points of
// a replay one by one and can show the picture as it stands at any moment,
// so a video takes its frames from one drawing that builds up.
class LookCanvas : public PointCanvas {
public:
    LookCanvas(const Program& program, int scale, const PictureLook& look, const QColor& background);
    ~LookCanvas() override;

    void setPoint(const PlotPoint& point) override;
    // The picture as it stands: opaque, over the background, at its final size.
    QImage picture() const;
    QSize size() const { return size_; }

private:
    QImage large() const;

    PictureLook look_;
    int scale_;
    QColor background_;
    QSize size_;  // the final picture's device pixels
    // Points mode: the points over transparent pixels, and their raster.
    QImage points_;
    Raster raster_;
    // Density mode.
    std::unique_ptr<DensityCanvas> density_;
};

// A recipe's picture in its look. `whole` as for redrawSaved: the replay
// reached the recipe's own steps when `expectSteps` is set, or else merely
// found the journal sound.
struct LookedPicture {
    QImage picture;
    ReplayOutcome outcome;
    bool whole = false;
};
LookedPicture drawLooked(const Recipe& recipe, int scale, const PictureLook& look, ReplayLimits limits,
                         bool expectSteps);

// The largest device pixels per logical pixel a drawing may use, supersampling
// included: the bound on the memory a picture takes.
inline constexpr int MostDrawingScale = static_cast<int>(MaxScale);

// Whether a drawing at `scale`, `supersample` times larger, keeps within that
// bound. Its pixels are the drawing area's times (scale × supersample)², so
// the product is bounded, not the two factors one by one.
inline bool drawingFits(double scale, int supersample)
{
    return scale >= 1 && supersample >= 1 && scale * supersample <= MostDrawingScale;
}

}  // namespace vortiquo
