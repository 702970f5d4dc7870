#pragma once

#include <QProcess>
#include <QString>
#include <memory>

#include "engine/InterruptCleanup.h"

namespace vortiquo {

// A hidden file or folder beside the one to be written, ".NAME.XXXXXX", that
// takes the final name only when the work in it is done. Until then it is
// removed (a folder with everything in it) when it is abandoned, when this
// object goes, and when the process is interrupted (InterruptCleanup).
class TemporaryPath {
public:
    using Kind = CleanupSlot::Kind;

    // Makes a new, empty one beside `final`; none, with `error` saying why
    // in Italian, when it cannot.
    static std::unique_ptr<TemporaryPath> make(const QString& final, Kind kind, QString& error);
    ~TemporaryPath();
    TemporaryPath(const TemporaryPath&) = delete;
    TemporaryPath& operator=(const TemporaryPath&) = delete;

    const QString& path() const { return path_; }
    // Starts a process that writes into the path; an interruption stops it
    // before the path is removed. False when it does not start.
    bool startWriter(QProcess& process, const QString& program, const QStringList& arguments);
    // The writer has ended: nothing is left to stop.
    void writerEnded();
    // Renames the path to `final`, replacing a file (or an empty folder) of
    // that name; the reason in Italian when it cannot, else an empty string.
    QString keepAs(const QString& final);

private:
    TemporaryPath(QString path, Kind kind);
    void remove();

    QString path_;
    Kind kind_;
    bool kept_ = false;
    CleanupSlot slot_;
};

}  // namespace vortiquo
