#pragma once

#include <optional>

#include "analysis/Dynamics.h"
#include "core/FieldRules.h"
#include "flows/FlowModels.h"
#include "maps/MapModels.h"

using namespace vortiquo;

Q_DECLARE_METATYPE(const Model*)
Q_DECLARE_METATYPE(SimulationState)

// A window's state at load from the texts of its parameter fields, as the
// window reads them, with its point put where a run starts.
inline SimulationState runStartOf(const Model& model, const char* a, const char* b, const char* c = nullptr,
                                  const char* dt = nullptr, std::optional<double> cWrittenAtLoad = std::nullopt)
{
    FieldTexts texts;
    const auto set = [&texts](Field field, const char* text) {
        if (text != nullptr)
            texts[static_cast<std::size_t>(field)].emplace(text);
    };
    set(Field::a, a);
    set(Field::b, b);
    set(Field::c, c);
    set(Field::dt, dt);
    // The maps' x0 and y0 open at 0, the flows' at 1: a run starts from 1 all the same.
    set(Field::x0, "0");
    set(Field::y0, "0");
    LoadFacts facts;
    facts.cWrittenAtLoad = cWrittenAtLoad;
    return runStart(model, loadedState(texts, facts));
}

// The four windows with the values they open with.
inline SimulationState convectionOpening()
{
    return runStartOf(ConvectionFlow, "10", "28", "8.0", "1e-4", -8.0 / 3.0);
}
inline SimulationState spiralOpening() { return runStartOf(SpiralFlow, "0.2", "0.2", "5.7", "1e-3"); }
inline SimulationState recurrenceOpening() { return runStartOf(RecurrenceMap, "-0.1", "-1.7"); }
inline SimulationState quadraticOpening() { return runStartOf(QuadraticMap, "1.4", "0.3"); }
