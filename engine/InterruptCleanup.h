#pragma once

#include <QByteArray>
#include <csignal>
#include <cstdint>
#include <iterator>
#include <sys/types.h>

namespace vortiquo {

// What an unfinished film has on disk, removed should SIGINT, SIGTERM or
// SIGHUP end the process: the hidden file the encoder writes, or the folder
// of frames not yet given its name, and the encoder itself, stopped first so
// that it writes nothing more. The handler does only what is safe in a
// signal handler (kill, waitpid, unlink, rmdir, write, _exit) on paths known
// beforehand, and ends the process with status 128 + the signal's number, as
// a shell reports an interrupted command.
//
// A path is made and registered inside a ChangingPaths section. A signal that
// comes meanwhile, on any thread, waits until the last section has ended, so
// that no path is ever made behind the handler's back.

// The handlers, for as long as this lives; the earlier ones come back after.
class InterruptCleanup {
public:
    InterruptCleanup();
    ~InterruptCleanup();
    InterruptCleanup(const InterruptCleanup&) = delete;
    InterruptCleanup& operator=(const InterruptCleanup&) = delete;

    static constexpr int Signals[] = {SIGINT, SIGTERM, SIGHUP};

private:
    struct sigaction earlier_[std::size(Signals)];
};

// Held while paths are made, renamed or removed and their slots changed.
class ChangingPaths {
public:
    ChangingPaths();
    ~ChangingPaths();
    ChangingPaths(const ChangingPaths&) = delete;
    ChangingPaths& operator=(const ChangingPaths&) = delete;
};

// One registered path. Every call must be made inside a ChangingPaths
// section. When all slots are taken the path is simply not registered.
class CleanupSlot {
public:
    enum class Kind : std::uint8_t { file, folder };
    CleanupSlot() = default;
    ~CleanupSlot();  // forgets the path; it does not remove it
    CleanupSlot(const CleanupSlot&) = delete;
    CleanupSlot& operator=(const CleanupSlot&) = delete;

    void claim(const QByteArray& path, Kind kind);
    // The process to stop before the path is removed, watched through a
    // process descriptor, so that a number the system has since given to
    // another process is never signalled.
    void watchProcess(pid_t process);
    void processEnded();
    void release();

private:
    int index_ = -1;
};

}  // namespace vortiquo
