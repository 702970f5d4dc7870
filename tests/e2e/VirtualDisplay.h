#pragma once

#include <QProcess>
#include <QString>

// An X server of our own (Xvfb), so that synthetic input never reaches a
// user's desktop. It picks a free display number itself and says which.
class VirtualDisplay {
public:
    VirtualDisplay();
    ~VirtualDisplay();
    VirtualDisplay(const VirtualDisplay&) = delete;
    VirtualDisplay& operator=(const VirtualDisplay&) = delete;

    // Starts the server; false, with problem() saying why, if it cannot.
    bool start();
    QString name() const { return name_; }  // ":N"
    QString problem() const { return problem_; }

private:
    QProcess server_;
    QString name_;
    QString problem_;
};
