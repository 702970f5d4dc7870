#pragma once

#include <optional>
#include <span>
#include <string_view>

#include "core/FieldRules.h"
#include "core/Model.h"
#include "program/LayoutTable.h"
#include "program/ToolWindow.h"

namespace vortiquo {

// One program of the suite: what makes it differ from the others. The rows
// live in one table (apps/Programs.cpp); the layers below it read them and
// hold no program's facts of their own.
struct Program {
    const char* name;  // the executable's name, "BrisutaW7"
    const WindowLayout* layout;
    const Model* model;
    // A c that the load computes and writes back into cT, or none when the
    // load reads c from cT.
    std::optional<double> cWrittenAtLoad;
    // Whether the pointer over the drawing area is a cross-hair.
    bool crossHairOverPlot;
    // The tools Grafico's menu offers, in its order.
    std::span<const ToolWindow* const> tools;
};

// Facts that follow from a program's layout: the design texts of its
// fields, its drawing area's size, and the options selected at start.
FieldTexts designTexts(const WindowLayout& layout);
// The drawing area's size in whole logical pixels, as laid out ({0, 0} for
// a window without one). The window's widget, the state's plot size and
// every replay take this one size.
struct AreaPixels {
    int width = 0, height = 0;
};
AreaPixels drawingAreaPixels(const WindowLayout& layout);
LoadFacts loadFacts(const Program& program);
// The number K of the OptionK selected at start among Option`first` to
// Option`last`.
int initialOption(const WindowLayout& layout, int first, int last);

}  // namespace vortiquo
