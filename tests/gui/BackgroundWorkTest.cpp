// A tool's computation leaves the cores to the window's thread: its threads
// run under idle scheduling, and only they.
#include <QTest>
#include <sched.h>
#include <thread>

#include "window/BackgroundWork.h"

using namespace vortiquo;

class BackgroundWorkTest : public QObject {
    Q_OBJECT
private slots:
    void lowersOnlyTheCallingThread();
};

void BackgroundWorkTest::lowersOnlyTheCallingThread()
{
    int lowered = -1;
    std::thread worker([&lowered] {
        lowerThreadPriority();
        lowered = sched_getscheduler(0);
    });
    worker.join();
    QCOMPARE(lowered, SCHED_IDLE);
    QCOMPARE(sched_getscheduler(0), SCHED_OTHER);
}

QTEST_MAIN(BackgroundWorkTest)
#include "BackgroundWorkTest.moc"
