#include <QImage>
#include <algorithm>
#include <array>
#include <string_view>

#include "apps/AccessibleNames.h"
#include "apps/EquationPictures.h"
#include "apps/Layouts.h"

namespace vortiquo {

namespace {

using K = ControlKind;
using F = FontKind;
constexpr F Sans = F::Sans975;

// The convection-flow window; the spiral-flow window is derived from it below.
// kind, name, container, text, left, top, width, height, font, selected, background
constexpr ControlSpec ConvectionControls[] = {
    {K::EquationPicture, "Equazioni", nullptr, "", 120, 240, 1815, 1935, F::Default, false, 0},
    {K::Frame, "Parametri", nullptr, "Parametri", 2040, 120, 6615, 1935, F::Default, false, 0},
    {K::DrawingArea, "Grafico", nullptr, "", 2040, 2160, 6585, 6495, F::Default, false, 5},
    {K::Frame, "OpzioniSim", nullptr, "Opzioni grafiche", 120, 2280, 1815, 3255, F::Default, false, 0},
    {K::PushButton, "Cancella", nullptr, "Cancella", 120, 5640, 1815, 495, F::Default, false, 0},
    {K::PushButton, "Via", nullptr, "Via", 120, 6240, 1815, 495, F::Default, false, 0},
    {K::PushButton, "Stop", nullptr, "Stop", 120, 6840, 1815, 495, F::Default, false, 0},
    {K::PushButton, "Esci", nullptr, "Esci", 120, 7440, 1815, 495, F::Default, false, 0},
    {K::Frame, "Uscita", nullptr, "Uscire?", 120, 8040, 1815, 615, F::Default, false, 0},
    {K::PushButton, "SiUscire", "Uscita", "Sì", 240, 240, 495, 255, F::Default, false, 0},
    {K::PushButton, "NoUscire", "Uscita", "No", 1080, 240, 495, 255, F::Default, false, 0},
    {K::Label, "a_", "Parametri", "a ", 120, 480, 375, 375, Sans, false, 0},
    {K::TextField, "aT", "Parametri", "10", 480, 480, 975, 285, F::Default, false, 0},
    {K::Label, "aCommento", "Parametri", "(numero di Prandtl)", 1560, 480, 1935, 375, Sans, false, 0},
    {K::Label, "b_", "Parametri", "b", 120, 840, 375, 375, Sans, false, 0},
    {K::TextField, "bT", "Parametri", "28", 480, 840, 975, 285, F::Default, false, 0},
    {K::Label, "bCommento", "Parametri", "(numero di Rayleigh)", 1560, 840, 1935, 375, Sans, false, 0},
    {K::Label, "c_", "Parametri", "c", 120, 1200, 375, 375, Sans, false, 0},
    {K::TextField, "cT", "Parametri", "8.0", 480, 1200, 975, 285, F::Default, false, 0},
    {K::Label, "dt_", "Parametri", "Δ", 120, 1560, 135, 255, F::Symbol975, false, 0},
    {K::Label, "t", "Parametri", "t", 240, 1560, 135, 255, Sans, false, 0},
    {K::TextField, "dtT", "Parametri", "1e-4", 480, 1560, 975, 285, F::Default, false, 0},
    {K::Label, "Label1", "Parametri", "(incremento temporale)", 1560, 1560, 2175, 255, Sans, false, 0},
    {K::Label, "x0_", "Parametri", "x0", 3840, 480, 375, 375, Sans, false, 0},
    {K::TextField, "x0T", "Parametri", "1", 4200, 480, 975, 285, F::Default, false, 0},
    {K::Label, "y0_", "Parametri", "y0", 3840, 840, 375, 375, Sans, false, 0},
    {K::TextField, "y0T", "Parametri", "1", 4200, 840, 975, 285, F::Default, false, 0},
    {K::Label, "z0_", "Parametri", "z0", 3840, 1200, 375, 375, Sans, false, 0},
    {K::TextField, "z0T", "Parametri", "1", 4200, 1200, 975, 285, F::Default, false, 0},
    {K::Label, "xyz0", "Parametri", "valori iniziali di x, y, e z", 5280, 720, 1215, 615, Sans, false, 0},
    {K::TextField, "termineT", "Parametri", "0", 4200, 1560, 975, 285, F::Default, false, 0},
    {K::Label, "TermineCommento", "Parametri", "termine", 5280, 1560, 1095, 255, Sans, false, 0},
    {K::BorderlessFrame, "opzioniTracciato", "OpzioniSim", "", 120, 360, 1575, 1095, F::Default, false, 0},
    {K::Label, "Colori", "opzioniTracciato", "Colori tracciato", 0, 0, 1455, 255, F::Default, false, 0},
    {K::RadioButton, "Option1", "opzioniTracciato", "Option1", 0, 360, 255, 255, F::Default, true, 0},
    {K::RadioButton, "Option2", "opzioniTracciato", "Option1", 600, 360, 255, 255, F::Default, false, 0},
    {K::RadioButton, "Option3", "opzioniTracciato", "Option1", 1200, 360, 255, 255, F::Default, false, 0},
    {K::RadioButton, "Option4", "opzioniTracciato", "Option1", 0, 720, 255, 255, F::Default, false, 0},
    {K::RadioButton, "Option5", "opzioniTracciato", "Option1", 600, 720, 255, 255, F::Default, false, 0},
    {K::RadioButton, "Option6", "opzioniTracciato", "Option1", 1200, 720, 255, 255, F::Default, false, 0},
    {K::BorderlessFrame, "Frame1", "OpzioniSim", "", 120, 1440, 1575, 1095, F::Default, false, 0},
    {K::Label, "Label2", "Frame1", "Colori Sfondo", 0, 0, 1455, 255, F::Default, false, 0},
    {K::RadioButton, "Option7", "Frame1", "Option1", 0, 360, 255, 255, F::Default, false, 19},
    {K::RadioButton, "Option8", "Frame1", "Option1", 600, 360, 255, 255, F::Default, true, 9},
    {K::RadioButton, "Option9", "Frame1", "Option1", 1200, 360, 255, 255, F::Default, false, 1},
    {K::RadioButton, "Option10", "Frame1", "Option1", 0, 720, 255, 255, F::Default, false, 13},
    {K::RadioButton, "Option11", "Frame1", "Option1", 600, 720, 255, 255, F::Default, false, 7},
    {K::RadioButton, "Option12", "Frame1", "Option1", 1200, 720, 255, 255, F::Default, false, 11},
    {K::Label, "alfa_", "OpzioniSim", "α =", 120, 2640, 375, 255, F::Symbol12, false, 0},
    {K::TextField, "numT", "OpzioniSim", "1", 600, 2520, 495, 285, F::Default, false, 0},
    {K::TextField, "denT", "OpzioniSim", "6", 600, 2880, 495, 285, F::Default, false, 0},
    {K::Label, "pi_", "OpzioniSim", "π", 1200, 2640, 375, 375, F::Symbol12, false, 0},
};

constexpr const char* ConvectionTabOrder[] = {
    "aT", "bT", "cT", "dtT", "y0T", "x0T", "SiUscire", "NoUscire", "Esci", "Cancella", "Via", "Stop",
    "Grafico", "Option1", "Option2", "Option3", "Option4", "Option5", "Option6", "Equazioni", "numT", "denT",
    "Option7", "Option8", "Option9", "Option10", "Option11", "Option12", "termineT", "z0T",
};

// Where the spiral-flow window differs from the convection-flow window.
struct SpiralDifference {
    const char* name;
    const char* text;  // nullptr: unchanged
    int top;           // -1: unchanged
    int selected;      // -1: unchanged, else 0 or 1
};

constexpr SpiralDifference SpiralDifferences[] = {
    {"aT", "0.2", -1, -1},
    {"bT", "0.2", -1, -1},
    {"cT", "5.7", -1, -1},
    {"dtT", "1e-3", -1, -1},
    {"xyz0", nullptr, 840, -1},
    {"OpzioniSim", "Opzioni tracciato", -1, -1},
    {"opzioniTracciato", "Frame1", -1, -1},  // stored only: a borderless frame shows no caption
    {"Colori", "Colori Tracciato", -1, -1},
    {"Option1", nullptr, -1, 0},
    {"Option5", nullptr, -1, 1},
};

constexpr const char* SpiralAbsent[] = {"aCommento", "bCommento"};

constexpr const char* SpiralTabOrder[] = {
    "Grafico", "Stop", "Via", "Cancella", "Option6", "Option5", "Option4", "Option3", "Option2", "Option1",
    "Esci", "NoUscire", "SiUscire", "Equazioni", "x0T", "y0T", "z0T", "dtT", "cT", "bT", "aT", "termineT",
    "Option12", "Option11", "Option10", "Option9", "Option8", "Option7", "denT", "numT",
};

constexpr bool named(const ControlSpec& row, std::string_view name) { return name == row.name; }

constexpr bool absentFromSpiral(const ControlSpec& row)
{
    return std::any_of(std::begin(SpiralAbsent), std::end(SpiralAbsent),
                       [&](const char* absent) { return named(row, absent); });
}

constexpr std::size_t SpiralControlCount =
    std::size(ConvectionControls) -
    static_cast<std::size_t>(std::count_if(std::begin(ConvectionControls), std::end(ConvectionControls), absentFromSpiral));

// The spiral-flow window: the convection-flow window with its differences,
// worked out by the compiler.
constexpr std::array<ControlSpec, SpiralControlCount> deriveSpiralControls()
{
    std::array<ControlSpec, SpiralControlCount> controls{};
    std::size_t count = 0;
    for (ControlSpec row : ConvectionControls) {
        if (absentFromSpiral(row))
            continue;
        for (const SpiralDifference& difference : SpiralDifferences) {
            if (!named(row, difference.name))
                continue;
            if (difference.text)
                row.text = difference.text;
            if (difference.top >= 0)
                row.top = difference.top;
            if (difference.selected >= 0)
                row.selected = difference.selected == 1;
        }
        controls[count++] = row;
    }
    return controls;
}

constexpr auto SpiralControls = deriveSpiralControls();

// What a screen reader says of each field: its label first.
// object name, accessible name, description, labels
constexpr AccessibleText ConvectionParameterTexts[] = {
    {"aT", "a (numero di Prandtl)", "Il parametro a in dx/dt = a(y − x).", "a_"},
    {"bT", "b (numero di Rayleigh)", "Il parametro b in dy/dt = bx − y − xz.", "b_"},
    {"cT", "c (fattore geometrico)", "Il parametro c in dz/dt = xy + cz.", "c_"},
};

constexpr AccessibleText SpiralParameterTexts[] = {
    {"aT", "a (parametro)", "Il parametro a in dy/dt = x + ay.", "a_"},
    {"bT", "b (parametro)", "Il parametro b in dz/dt = xz − cz + b.", "b_"},
    {"cT", "c (parametro)", "Il parametro c in dz/dt = xz − cz + b.", "c_"},
};

// The two fields of the view angle share the label "α =" in front of them.
constexpr AccessibleText FlowFieldTexts[] = {
    {"dtT", "Δt (incremento temporale)", "La durata di un passo: più è piccola, più il tracciato è fine e lento.",
     "dt_ t"},
    {"z0T", "z0 (valore iniziale di z)", nullptr, "z0_"},
    {"numT", "α = num·π/den, numeratore", "L'angolo di vista α, in frazioni di π: questo è il numeratore num.",
     "alfa_"},
    {"denT", "α = num·π/den, denominatore", "L'angolo di vista α, in frazioni di π: questo è il denominatore den.",
     ""},
};

constexpr auto ConvectionTexts = joinTexts(CommonTexts, FlowSchemeTexts, BackgroundTexts, StartAndLimitTexts,
                                           FlowFieldTexts, ConvectionParameterTexts);
constexpr auto SpiralTexts = joinTexts(CommonTexts, FlowSchemeTexts, BackgroundTexts, StartAndLimitTexts,
                                       FlowFieldTexts, SpiralParameterTexts);

}  // namespace

constinit const WindowLayout ConvectionLayout = {
    "Brisuta", 8775, 8805, ConvectionControls, ConvectionTabOrder, convectionEquations,
    "dx/dt = a(y − x); dy/dt = bx − y − xz; dz/dt = xy + cz", ConvectionTexts,
};
constinit const WindowLayout SpiralLayout = {
    "Kelvane", 8730, 8805, SpiralControls, SpiralTabOrder, spiralEquations,
    "dx/dt = −(y + z); dy/dt = x + ay; dz/dt = xz − cz + b", SpiralTexts,
};

}  // namespace vortiquo
