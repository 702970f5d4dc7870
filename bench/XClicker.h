#pragma once

#include <QPoint>
#include <chrono>
#include <memory>

namespace vortiquo {

// A mouse click that comes through the X server like a user's, for
// measuring the way from a press on a button to its handler. It uses the
// server's test extension, loaded at run time, so the benchmark needs no X
// development files; where the libraries or the extension are missing,
// available() is false.
class XClicker {
public:
    XClicker();
    ~XClicker();
    XClicker(const XClicker&) = delete;
    XClicker& operator=(const XClicker&) = delete;

    bool available() const;
    // Moves the pointer to a point of the screen (global coordinates),
    // presses and releases the left button and flushes the requests to the
    // server. Returns the moment the requests were flushed.
    std::chrono::steady_clock::time_point click(QPoint global);
    // Presses and releases the key of an X keysym and flushes the requests;
    // returns the moment they were flushed.
    std::chrono::steady_clock::time_point pressKey(unsigned long keysym);
    // Moves the pointer to a point of the screen and waits for the server.
    void moveTo(QPoint global);

private:
    struct Library;
    std::unique_ptr<Library> library_;
};

}  // namespace vortiquo
