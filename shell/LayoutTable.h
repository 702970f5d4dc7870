#pragma once

#include <span>

class QImage;

// Plain data describing one window: every control with its kind, container,
// name, text, place and size (in twips, 15 to a logical pixel), font,
// selection and laid-out background, and the order of keyboard focus.

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

// Draws a program's equations at a device pixel ratio, for a screen of that
// density; the logical size does not depend on the ratio.
using EquationPictureFunction = QImage (*)(double devicePixelRatio);

struct WindowLayout {
    const char* caption;
    int clientWidth, clientHeight;  // twips
    std::span<const ControlSpec> controls;
    std::span<const char* const> tabOrder;  // controls that take focus, in order
    EquationPictureFunction equationPicture;  // the picture shown by Equazioni
};

// Twips to Qt logical pixels.
constexpr int twipsToPixels(int twips) { return twips / 15; }
