#include "window/BackgroundWork.h"

#include <QThread>
#include <QThreadPool>
#include <algorithm>
#include <sched.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace vortiquo {

QThreadPool& backgroundPool()
{
    // Two jobs at most: a tool's computation and a cancelled one that is
    // still finishing; a sweep's own worker threads are started by the job.
    static QThreadPool pool;
    pool.setMaxThreadCount(std::max(2, QThread::idealThreadCount()));
    return pool;
}

int toolThreads(bool besideRun)
{
    return std::max(1, QThread::idealThreadCount() - (besideRun ? 1 : 0));
}

void lowerThreadPriority()
{
    // Idle scheduling runs the thread only on a core nothing else wants, and
    // never lets its wake-ups preempt the window's thread; the lowest nice
    // value, still preempting now and then, is the fallback.
    const sched_param none{};
    const auto thread = static_cast<pid_t>(syscall(SYS_gettid));
    if (sched_setscheduler(thread, SCHED_IDLE, &none) != 0)
        setpriority(PRIO_PROCESS, static_cast<id_t>(thread), 19);
}

}  // namespace vortiquo
