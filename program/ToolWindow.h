#pragma once

namespace vortiquo {

class ToolHost;  // window/ToolHost.h: what a tool may know of the program's window

// A tool that opens beside a program's window, entered from Grafico's
// context menu and by a shortcut that works anywhere in the window. The
// program table lists the tools each program offers, so a new tool is a new
// row there, not an edit of the window.
struct ToolWindow {
    const char* menuText;  // the menu's entry, UTF-8: "Sensibilità…"
    const char* keys;      // the shortcut, in QKeySequence's portable text: "Ctrl+L"
    void (*open)(ToolHost& host);
};

}  // namespace vortiquo
