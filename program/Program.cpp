#include "program/Program.h"

#include <cstring>
#include <string>

namespace vortiquo {

namespace {

const ControlSpec* control(const WindowLayout& layout, std::string_view name)
{
    for (const ControlSpec& row : layout.controls)
        if (name == row.name)
            return &row;
    return nullptr;
}

}  // namespace

FieldTexts designTexts(const WindowLayout& layout)
{
    FieldTexts texts;
    for (std::size_t index = 0; index < FieldCount; ++index)
        if (const ControlSpec* row = control(layout, FieldNames[index]))
            texts[index] = std::string(row->text);
    return texts;
}

int initialOption(const WindowLayout& layout, int first, int last)
{
    for (int number = first; number <= last; ++number) {
        const std::string name = "Option" + std::to_string(number);
        if (const ControlSpec* row = control(layout, name); row && row->selected)
            return number;
    }
    return first;
}

AreaPixels drawingAreaPixels(const WindowLayout& layout)
{
    const ControlSpec* area = control(layout, "Grafico");
    return area ? AreaPixels{twipsToPixels(area->width), twipsToPixels(area->height)} : AreaPixels{};
}

LoadFacts loadFacts(const Program& program)
{
    // The load reads the area's outer size in whole pixels.
    const AreaPixels area = drawingAreaPixels(*program.layout);
    LoadFacts facts;
    facts.plotWidth = static_cast<float>(area.width * TwipsPerPixel);
    facts.plotHeight = static_cast<float>(area.height * TwipsPerPixel);
    facts.colourScheme = static_cast<std::int16_t>(initialOption(*program.layout, 1, 6));
    facts.cWrittenAtLoad = program.cWrittenAtLoad;
    return facts;
}

}  // namespace vortiquo
