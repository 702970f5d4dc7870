#include "Expectations.h"

#include <cstring>
#include <string>

#include "core/AdvanceOnce.h"
#include "core/FieldRules.h"
#include "core/Raster.h"
#include "picture/Redraw.h"
#include "picture/SystemColours.h"

using namespace vortiquo;

namespace {

const ControlSpec* findControl(const WindowLayout& layout, const char* name)
{
    for (const ControlSpec& row : layout.controls)
        if (std::strcmp(row.name, name) == 0)
            return &row;
    return nullptr;
}

}  // namespace

QRect controlPlace(const WindowLayout& layout, const char* name)
{
    const ControlSpec* row = findControl(layout, name);
    if (!row)
        return {};
    QRect place(twipsToPixels(row->left), twipsToPixels(row->top), twipsToPixels(row->width),
                twipsToPixels(row->height));
    for (const ControlSpec* parent = row->parent ? findControl(layout, row->parent) : nullptr; parent;
         parent = parent->parent ? findControl(layout, parent->parent) : nullptr)
        place.translate(twipsToPixels(parent->left), twipsToPixels(parent->top));
    return place;
}

QSize clientSize(const WindowLayout& layout)
{
    return {twipsToPixels(layout.clientWidth), twipsToPixels(layout.clientHeight)};
}

QImage stepFunctionPicture(const Program& program, std::int32_t steps)
{
    FieldTexts texts = designTexts(*program.layout);
    SimulationState state = loadedState(texts, loadFacts(program));
    applyFieldText(state, Field::termine, std::to_string(steps));
    resetToStart(*program.model, state);  // as "Via" does

    const QSize size = drawingAreaSize(program);
    QImage points(size, QImage::Format_ARGB32_Premultiplied);
    points.fill(Qt::transparent);
    Raster raster;
    raster.grid = {1, static_cast<double>(size.width()), static_cast<double>(size.height())};
    raster.pixels = reinterpret_cast<std::uint32_t*>(points.bits());
    raster.pixelsPerRow = points.bytesPerLine() / 4;
    for (std::int32_t step = 0; step < steps; ++step)
        if (!AdvanceOnce(*program.model, state, raster))
            break;
    const int background = initialOption(*program.layout, 7, 12);
    return composed(points, systemColour(BackgroundColourIndices[background - 7]));
}
