#include "window/BackgroundWork.h"

#include <QThread>
#include <QThreadPool>
#include <algorithm>
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

void lowerThreadPriority()
{
    setpriority(PRIO_PROCESS, static_cast<id_t>(syscall(SYS_gettid)), 19);
}

}  // namespace vortiquo
