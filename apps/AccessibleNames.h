#pragma once

#include <algorithm>
#include <array>
#include <cstddef>

#include "program/LayoutTable.h"

namespace vortiquo {

// What a screen reader says of the controls every window has. Each window
// joins these with the rows of its own fields (apps/FlowLayouts.cpp,
// apps/MapLayouts.cpp). The description of Equazioni is the window's
// equations as text, set by the layout builder.

// One window's table, made by the compiler from several.
template <std::size_t... Sizes>
constexpr std::array<AccessibleText, (Sizes + ...)> joinTexts(const AccessibleText (&... tables)[Sizes])
{
    std::array<AccessibleText, (Sizes + ...)> joined{};
    std::size_t count = 0;
    ((std::copy(std::begin(tables), std::end(tables), joined.begin() + count), count += Sizes), ...);
    return joined;
}

// object name, accessible name (nullptr: the caption), description, labels
inline constexpr AccessibleText CommonTexts[] = {
    {"Grafico", "Grafico dell'attrattore",
     "Disegna l'attrattore punto per punto; il colore di ogni punto viene dalle sue coordinate.", ""},
    {"Equazioni", "Equazioni del modello", nullptr, ""},
    {"Via", nullptr, "Avvia il calcolo dai valori iniziali; durante un calcolo lo ricomincia.", ""},
    {"Stop", nullptr, "Ferma il calcolo; il disegno resta.", ""},
    {"Cancella", nullptr, "Cancella il disegno; un calcolo in corso continua.", ""},
    {"Esci", nullptr, "Chiede conferma prima di chiudere il programma.", ""},
    {"SiUscire", "Sì, esci", "Chiude il programma.", ""},
    {"NoUscire", "No, resta", "Chiude la domanda e resta nel programma; lo stesso fa il tasto Esc.", ""},
    // The bare containers of the two radio groups, otherwise announced by
    // the caption of the frame around them.
    {"opzioniTracciato", "Colori tracciato", nullptr, ""},
    {"Frame1", "Colori sfondo", nullptr, ""},
};

// Option7 to Option12: the background colours, each a colour of the desktop
// theme (inactive caption text, caption text, desktop, highlight, menu text,
// inactive border).
inline constexpr const char* BackgroundDescription =
    "Colora lo sfondo del grafico con un colore del tema del desktop; il disegno viene cancellato.";
inline constexpr AccessibleText BackgroundTexts[] = {
    {"Option7", "Sfondo: colore del testo della barra del titolo inattiva", BackgroundDescription, ""},
    {"Option8", "Sfondo: colore del testo della barra del titolo", BackgroundDescription, ""},
    {"Option9", "Sfondo: colore del desktop", BackgroundDescription, ""},
    {"Option10", "Sfondo: colore di evidenziazione", BackgroundDescription, ""},
    {"Option11", "Sfondo: colore del testo dei menu", BackgroundDescription, ""},
    {"Option12", "Sfondo: colore del bordo delle finestre inattive", BackgroundDescription, ""},
};

// Option1 to Option6: which coordinate gives each colour of a point. A map
// has no z: its third component is always 0, so that colour stays off.
inline constexpr const char* SchemeDescription =
    "Sceglie da quali coordinate vengono i colori dei punti disegnati da qui in poi.";
inline constexpr AccessibleText FlowSchemeTexts[] = {
    {"Option1", "Colori tracciato: schema 1, rosso da z, verde da x, blu da y", SchemeDescription, ""},
    {"Option2", "Colori tracciato: schema 2, rosso da z, verde da y, blu da x", SchemeDescription, ""},
    {"Option3", "Colori tracciato: schema 3, rosso da y, verde da x, blu da z", SchemeDescription, ""},
    {"Option4", "Colori tracciato: schema 4, rosso da y, verde da z, blu da x", SchemeDescription, ""},
    {"Option5", "Colori tracciato: schema 5, rosso da x, verde da y, blu da z", SchemeDescription, ""},
    {"Option6", "Colori tracciato: schema 6, rosso da x, verde da z, blu da y", SchemeDescription, ""},
};
inline constexpr AccessibleText MapSchemeTexts[] = {
    {"Option1", "Colori tracciato: schema 1, rosso spento, verde da x, blu da y", SchemeDescription, ""},
    {"Option2", "Colori tracciato: schema 2, rosso spento, verde da y, blu da x", SchemeDescription, ""},
    {"Option3", "Colori tracciato: schema 3, rosso da y, verde da x, blu spento", SchemeDescription, ""},
    {"Option4", "Colori tracciato: schema 4, rosso da y, verde spento, blu da x", SchemeDescription, ""},
    {"Option5", "Colori tracciato: schema 5, rosso da x, verde da y, blu spento", SchemeDescription, ""},
    {"Option6", "Colori tracciato: schema 6, rosso da x, verde spento, blu da y", SchemeDescription, ""},
};

// The fields every window has.
inline constexpr AccessibleText StartAndLimitTexts[] = {
    {"x0T", "x0 (valore iniziale di x)", nullptr, "x0_"},
    {"y0T", "y0 (valore iniziale di y)", nullptr, "y0_"},
    {"termineT", "termine (numero di passi)", "Il calcolo si ferma dopo questo numero di passi; 0 per nessun limite.",
     "TermineCommento"},
};

}  // namespace vortiquo
