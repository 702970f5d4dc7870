#include "engine/InterruptCleanup.h"

#include <atomic>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/syscall.h>
#include <thread>
#include <unistd.h>

namespace vortiquo {

namespace {

struct Slot {
    std::atomic<bool> used = false;
    CleanupSlot::Kind kind = CleanupSlot::Kind::file;
    int process = -1;  // a process descriptor
    char path[4096] = {};
};

constexpr int SlotCount = 16;
Slot registered[SlotCount];

// How many ChangingPaths sections are open, with the Cleaning bit once a
// handler has begun to remove what the slots name.
constexpr int Cleaning = 1 << 30;
std::atomic<int> changing = 0;
// The signal that came while a section was open, for the last one to take up.
std::atomic<int> pending = 0;
bool onTerminal = false;

void writeMessage(const char* text)
{
    for (std::size_t left = std::strlen(text); left > 0;) {
        const ssize_t written = ::write(STDERR_FILENO, text, left);
        if (written <= 0)
            return;
        text += written;
        left -= static_cast<std::size_t>(written);
    }
}

// Everything in the folder (frames only: no subfolders), then the folder.
void removeFolder(const char* path)
{
    const int folder = ::open(path, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder >= 0) {
        alignas(8) char buffer[4096];
        for (bool removedSome = true; removedSome;) {
            removedSome = false;
            ::lseek(folder, 0, SEEK_SET);
            for (ssize_t read; (read = getdents64(folder, buffer, sizeof buffer)) > 0;)
                for (ssize_t at = 0; at < read;) {
                    const auto* entry = reinterpret_cast<const dirent64*>(buffer + at);
                    at += entry->d_reclen;
                    if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0 &&
                        ::unlinkat(folder, entry->d_name, 0) == 0)
                        removedSome = true;
                }
        }
        ::close(folder);
    }
    ::rmdir(path);
}

[[noreturn]] void cleanUpAndExit(int signal)
{
    for (Slot& slot : registered) {
        if (!slot.used.load())
            continue;
        if (slot.process >= 0) {
            // Dead, it can no longer create or write the path behind us.
            ::syscall(SYS_pidfd_send_signal, slot.process, SIGKILL, nullptr, 0);
            pollfd ended = {slot.process, POLLIN, 0};
            ::poll(&ended, 1, 5000);
        }
        if (slot.kind == CleanupSlot::Kind::folder)
            removeFolder(slot.path);
        else
            ::unlink(slot.path);
    }
    writeMessage(onTerminal ? "\nInterrotto: nessun file è stato scritto.\n"
                            : "Interrotto: nessun file è stato scritto.\n");
    ::_exit(128 + signal);
}

void interrupted(int signal)
{
    // The signal is noted first and a clean-up tried after; a section that
    // ends looks the other way round, so one of the two always cleans up.
    int expected = 0;
    pending.store(signal);
    if (changing.compare_exchange_strong(expected, Cleaning))
        cleanUpAndExit(signal);
}

}  // namespace

InterruptCleanup::InterruptCleanup()
{
    onTerminal = isatty(STDERR_FILENO) == 1;
    struct sigaction action = {};
    action.sa_handler = interrupted;
    action.sa_flags = SA_RESTART;
    sigfillset(&action.sa_mask);
    for (std::size_t index = 0; index < std::size(Signals); ++index)
        sigaction(Signals[index], &action, &earlier_[index]);
}

InterruptCleanup::~InterruptCleanup()
{
    for (std::size_t index = 0; index < std::size(Signals); ++index)
        sigaction(Signals[index], &earlier_[index], nullptr);
}

ChangingPaths::ChangingPaths()
{
    for (int now = changing.load();;) {
        if (now & Cleaning) {
            // A handler is removing the paths and ends the process.
            for (;;)
                std::this_thread::yield();
        }
        if (changing.compare_exchange_weak(now, now + 1))
            return;
    }
}

ChangingPaths::~ChangingPaths()
{
    int expected = 0;
    if (changing.fetch_sub(1) == 1 && pending.load() != 0 && changing.compare_exchange_strong(expected, Cleaning))
        cleanUpAndExit(pending.load());
}

void CleanupSlot::claim(const QByteArray& path, Kind kind)
{
    release();
    if (static_cast<std::size_t>(path.size()) >= sizeof(Slot::path))
        return;
    for (int index = 0; index < SlotCount; ++index) {
        bool unused = false;
        Slot& slot = registered[index];
        if (slot.used.compare_exchange_strong(unused, true)) {
            slot.kind = kind;
            slot.process = -1;
            std::memcpy(slot.path, path.constData(), static_cast<std::size_t>(path.size()) + 1);
            index_ = index;
            return;
        }
    }
}

CleanupSlot::~CleanupSlot()
{
    release();
}

void CleanupSlot::watchProcess(pid_t process)
{
    if (index_ >= 0 && registered[index_].process < 0)
        registered[index_].process = static_cast<int>(::syscall(SYS_pidfd_open, process, 0));
}

void CleanupSlot::processEnded()
{
    if (index_ >= 0 && registered[index_].process >= 0) {
        ::close(registered[index_].process);
        registered[index_].process = -1;
    }
}

void CleanupSlot::release()
{
    processEnded();
    if (index_ >= 0)
        registered[index_].used.store(false);
    index_ = -1;
}

}  // namespace vortiquo
