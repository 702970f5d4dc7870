#pragma once

#include <span>

#include "core/Twips.h"

class QImage;

namespace vortiquo {

// Plain data describing one window: every control with its kind, container,
// name, text, place and size (in twips, TwipsPerPixel to a logical pixel), font,
// selection and laid-out background, the order of keyboard focus, and what
// a screen reader says of each control.

enum class ControlKind {
    DrawingArea,      // Grafico: the surface the attractor is drawn on
    EquationPicture,  // Equazioni: shows the program's fixed equation picture
    Frame,            // titled, bordered group box
    BorderlessFrame,  // invisible container that only groups radio buttons
    Label,
    TextField,
    PushButton,
    RadioButton,
};

enum class FontKind {
    Default,    // the window's default font
    Sans975,    // sans-serif, 9.75 pt, regular
    Symbol975,  // Greek letter labels at 9.75 pt
    Symbol12,   // Greek letter labels at 12 pt
};

struct ControlSpec {
    ControlKind kind;
    const char* name;    // Qt object name
    const char* parent;  // containing frame's name, or nullptr for the window
    const char* text;    // caption or initial text ("" for none)
    int left, top, width, height;  // twips
    FontKind font;
    bool selected;         // radio buttons selected at start
    int systemBackground;  // system colour index of the laid-out background, 0 for none
};

// What assistive technology hears of one control; the look is not touched.
struct AccessibleText {
    const char* name;            // Qt object name of the control
    const char* accessibleName;  // nullptr to keep Qt's own, a button's caption
    const char* description;     // nullptr for none
    const char* labels;          // object names of the labels that stand for the control
                                 // (they become its buddies), separated by spaces; "" for none
};

// Draws a program's equations at a device pixel ratio, for a screen of that
// density; the logical size does not depend on the ratio.
using EquationPictureFunction = QImage (*)(double devicePixelRatio);

struct WindowLayout {
    const char* caption;
    int clientWidth, clientHeight;  // twips
    std::span<const ControlSpec> controls;
    std::span<const char* const> tabOrder;  // controls that take focus, in order
    EquationPictureFunction equationPicture;  // the picture shown by Equazioni
    // The same equations as plain text, with Unicode minus signs, primes and
    // superscripts, one equation after another separated by "; " (a screen
    // reader pauses there), e.g. "x′ = ax + y; y′ = b + x²".
    const char* equations;
    std::span<const AccessibleText> accessibleTexts;
};

// Twips to Qt logical pixels.
constexpr int twipsToPixels(int twips) { return twips / TwipsPerPixel; }

}  // namespace vortiquo
