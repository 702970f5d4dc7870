#pragma once

#include <QImage>
#include <QPoint>
#include <QRect>
#include <QString>
#include <memory>

// A client of an X server that looks at other programs' windows and drives
// them only as a user's keyboard and mouse would: every key and click goes
// through the server's test extension (XTest), which the X library loads at
// run time, so no X development files are needed for it.
class XRemote {
public:
    explicit XRemote(const QString& display);
    ~XRemote();
    XRemote(const XRemote&) = delete;
    XRemote& operator=(const XRemote&) = delete;

    // False, with problem() saying why, when the display or XTest is missing.
    bool usable() const;
    QString problem() const;

    // The shown top-level window of process `pid` with this title, or 0.
    unsigned long findWindow(qint64 pid, const QString& title) const;
    // Where a window's client area lies on the screen; empty once unmapped.
    QRect placeOf(unsigned long window) const;
    // The screen's pixels in a rectangle, as the server holds them.
    QImage grab(const QRect& area) const;

    void click(QPoint where);
    void moveTo(QPoint where);
    // Printable ASCII, typed key by key, with Shift where the keymap needs it.
    bool type(const QString& text);
    // A key (an X keysym) pressed with Control held, or alone.
    void press(unsigned long keysym, bool control = false);
    // Asks a window to close, as a window manager's close button does
    // (WM_DELETE_WINDOW).
    void closeWindow(unsigned long window);

private:
    struct Connection;
    std::unique_ptr<Connection> connection_;
};
