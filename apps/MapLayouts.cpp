#include <QImage>
#include <array>

#include "apps/AccessibleNames.h"
#include "apps/EquationPictures.h"
#include "apps/Layouts.h"

namespace vortiquo {

namespace {

using K = ControlKind;
using F = FontKind;
constexpr F Sans = F::Sans975;

struct Place {
    int left, top, width, height;
};

// The two map windows hold the same controls at places of their own.
struct MapControl {
    ControlKind kind;
    const char* name;
    const char* parent;
    const char* recurrenceText;
    const char* quadraticText;
    Place recurrence;
    Place quadratic;
    FontKind font;
    bool selected;
    int systemBackground;
};

constexpr MapControl MapControls[] = {
    {K::EquationPicture, "Equazioni", nullptr, "", "", {120, 960, 1215, 615}, {120, 600, 1695, 855}, F::Default, false, 5},
    {K::Frame, "Parametri", nullptr, "Parametri", "Parametri", {1440, 120, 3135, 1455}, {1920, 0, 3135, 1455}, F::Default, false, 0},
    {K::DrawingArea, "Grafico", nullptr, "", "", {1440, 1680, 7785, 7335}, {1920, 1560, 6705, 6375}, F::Default, false, 5},
    {K::Frame, "OpzioniSim", nullptr, "Opzioni tracciato", "Opzioni tracciato", {4680, 120, 4575, 1455}, {5160, 0, 3495, 1455}, F::Default, false, 0},
    {K::PushButton, "Cancella", nullptr, "Cancella", "Cancella", {120, 3120, 1215, 495}, {120, 4560, 1695, 495}, F::Default, false, 0},
    {K::PushButton, "Via", nullptr, "Via", "Via", {120, 3720, 1215, 495}, {120, 5160, 1695, 495}, F::Default, false, 0},
    {K::PushButton, "Stop", nullptr, "Stop", "Stop", {120, 4320, 1215, 495}, {120, 5760, 1695, 495}, F::Default, false, 0},
    {K::PushButton, "Esci", nullptr, "Esci", "Esci", {120, 4920, 1215, 495}, {120, 6360, 1695, 495}, F::Default, false, 0},
    {K::Frame, "Uscita", nullptr, "Uscire?", "Uscire?", {120, 5520, 1215, 975}, {120, 6960, 1695, 975}, F::Default, false, 0},
    {K::PushButton, "SiUscire", "Uscita", "Sì", "Sì", {360, 240, 495, 255}, {600, 240, 495, 255}, F::Default, false, 0},
    {K::PushButton, "NoUscire", "Uscita", "No", "No", {360, 600, 495, 255}, {600, 600, 495, 255}, F::Default, false, 0},
    {K::Label, "a_", "Parametri", "a ", "a ", {120, 360, 375, 375}, {120, 360, 375, 375}, Sans, false, 0},
    {K::TextField, "aT", "Parametri", "-0.1", "1.4", {480, 360, 975, 285}, {480, 360, 975, 285}, F::Default, false, 0},
    {K::Label, "b_", "Parametri", "b", "b", {120, 720, 375, 375}, {120, 720, 375, 375}, Sans, false, 0},
    {K::TextField, "bT", "Parametri", "-1.7", "0.3", {480, 720, 975, 285}, {480, 720, 975, 285}, F::Default, false, 0},
    {K::Label, "x0_", "Parametri", "x0", "x0", {1680, 360, 375, 375}, {1680, 360, 375, 375}, Sans, false, 0},
    {K::TextField, "x0T", "Parametri", "0", "0", {2040, 360, 975, 285}, {2040, 360, 975, 285}, F::Default, false, 0},
    {K::Label, "y0_", "Parametri", "y0", "y0", {1680, 720, 375, 375}, {1680, 720, 375, 375}, Sans, false, 0},
    {K::TextField, "y0T", "Parametri", "0", "0", {2040, 720, 975, 285}, {2040, 720, 975, 285}, F::Default, false, 0},
    {K::Label, "TermineCommento", "Parametri", "termine:", "termine:", {1080, 1080, 855, 255}, {1080, 1080, 855, 255}, Sans, false, 0},
    {K::TextField, "termineT", "Parametri", "0", "0", {2040, 1080, 975, 285}, {2040, 1080, 975, 285}, F::Default, false, 0},
    {K::BorderlessFrame, "opzioniTracciato", "OpzioniSim", "Frame1", "Frame1", {120, 360, 1575, 975}, {120, 360, 1575, 975}, F::Default, false, 0},
    {K::Label, "Colori", "opzioniTracciato", "Colori Tracciato", "Colori Tracciato", {0, 0, 1455, 255}, {0, 0, 1455, 255}, F::Default, false, 0},
    {K::RadioButton, "Option1", "opzioniTracciato", "Option1", "Option1", {0, 360, 255, 255}, {0, 360, 255, 255}, F::Default, true, 0},
    {K::RadioButton, "Option2", "opzioniTracciato", "Option1", "Option1", {600, 360, 255, 255}, {600, 360, 255, 255}, F::Default, false, 0},
    {K::RadioButton, "Option3", "opzioniTracciato", "Option1", "Option1", {1200, 360, 255, 255}, {1200, 360, 255, 255}, F::Default, false, 0},
    {K::RadioButton, "Option4", "opzioniTracciato", "Option1", "Option1", {0, 720, 255, 255}, {0, 720, 255, 255}, F::Default, false, 0},
    {K::RadioButton, "Option5", "opzioniTracciato", "Option1", "Option1", {600, 720, 255, 255}, {600, 720, 255, 255}, F::Default, false, 0},
    {K::RadioButton, "Option6", "opzioniTracciato", "Option1", "Option1", {1200, 720, 255, 255}, {1200, 720, 255, 255}, F::Default, false, 0},
    {K::BorderlessFrame, "Frame1", "OpzioniSim", "", "", {2880, 240, 1575, 1095}, {1800, 240, 1575, 1095}, F::Default, false, 0},
    {K::Label, "Label2", "Frame1", "Colori Sfondo", "Colori Sfondo", {0, 120, 1455, 255}, {0, 120, 1455, 255}, F::Default, false, 0},
    {K::RadioButton, "Option7", "Frame1", "Option1", "Option1", {0, 480, 255, 255}, {0, 480, 255, 255}, F::Default, false, 19},
    {K::RadioButton, "Option8", "Frame1", "Option1", "Option1", {600, 480, 255, 255}, {600, 480, 255, 255}, F::Default, true, 9},
    {K::RadioButton, "Option9", "Frame1", "Option1", "Option1", {1200, 480, 255, 255}, {1200, 480, 255, 255}, F::Default, false, 1},
    {K::RadioButton, "Option10", "Frame1", "Option1", "Option1", {0, 840, 255, 255}, {0, 840, 255, 255}, F::Default, false, 13},
    {K::RadioButton, "Option11", "Frame1", "Option1", "Option1", {600, 840, 255, 255}, {600, 840, 255, 255}, F::Default, false, 7},
    {K::RadioButton, "Option12", "Frame1", "Option1", "Option1", {1200, 840, 255, 255}, {1200, 840, 255, 255}, F::Default, false, 11},
};

constexpr const char* RecurrenceTabOrder[] = {
    "Grafico", "Stop", "Via", "Cancella", "Option6", "Option5", "Option4", "Option3", "Option2", "Option1",
    "Esci", "NoUscire", "SiUscire", "x0T", "y0T", "bT", "aT", "Equazioni",
    "Option7", "Option8", "Option9", "Option10", "Option11", "Option12", "termineT",
};

constexpr const char* QuadraticTabOrder[] = {
    "Equazioni", "termineT", "aT", "bT", "y0T", "x0T", "SiUscire", "NoUscire", "Esci",
    "Option12", "Option11", "Option10", "Option9", "Option8", "Option7",
    "Option1", "Option2", "Option3", "Option4", "Option5", "Option6", "Cancella", "Via", "Stop", "Grafico",
};

enum class MapProgram { Recurrence, Quadratic };

// One map window's controls, worked out by the compiler.
constexpr std::array<ControlSpec, std::size(MapControls)> mapWindow(MapProgram program)
{
    std::array<ControlSpec, std::size(MapControls)> controls{};
    std::size_t count = 0;
    for (const MapControl& control : MapControls) {
        const bool recurrence = program == MapProgram::Recurrence;
        const Place& place = recurrence ? control.recurrence : control.quadratic;
        // Only the recurrence map lays out its equation picture on the window background.
        const int background = control.kind == K::EquationPicture && !recurrence ? 0 : control.systemBackground;
        controls[count++] = {control.kind, control.name, control.parent,
                             recurrence ? control.recurrenceText : control.quadraticText, place.left, place.top,
                             place.width, place.height, control.font, control.selected, background};
    }
    return controls;
}

constexpr auto RecurrenceControls = mapWindow(MapProgram::Recurrence);
constexpr auto QuadraticControls = mapWindow(MapProgram::Quadratic);

// What a screen reader says of each parameter field: its label first.
// object name, accessible name, description, labels
constexpr AccessibleText RecurrenceParameterTexts[] = {
    {"aT", "a (parametro)", "Il parametro a in x′ = ax + y.", "a_"},
    {"bT", "b (parametro)", "Il parametro b in y′ = b + x².", "b_"},
};

constexpr AccessibleText QuadraticParameterTexts[] = {
    {"aT", "a (parametro)", "Il parametro a in x′ = y + 1 − ax².", "a_"},
    {"bT", "b (parametro)", "Il parametro b in y′ = bx.", "b_"},
};

constexpr auto RecurrenceTexts =
    joinTexts(CommonTexts, MapSchemeTexts, BackgroundTexts, StartAndLimitTexts, RecurrenceParameterTexts);
constexpr auto QuadraticTexts =
    joinTexts(CommonTexts, MapSchemeTexts, BackgroundTexts, StartAndLimitTexts, QuadraticParameterTexts);

}  // namespace

constinit const WindowLayout RecurrenceLayout = {
    "Tessivo", 9315, 9060, RecurrenceControls, RecurrenceTabOrder, recurrenceEquations,
    "x′ = ax + y; y′ = b + x²", RecurrenceTexts,
};
constinit const WindowLayout QuadraticLayout = {
    "Drumbel", 8745, 8055, QuadraticControls, QuadraticTabOrder, quadraticEquations,
    "x′ = y + 1 − ax²; y′ = bx", QuadraticTexts,
};

}  // namespace vortiquo
