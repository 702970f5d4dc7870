// The benchmark's proof that a step allocates nothing is only as good as its
// counter: every way of reaching the heap must be seen, on the right thread,
// and only while counting.

#include <QByteArray>
#include <QTest>
#include <cstdlib>
#include <functional>
#include <malloc.h>
#include <new>
#include <thread>

#include "AllocationCounter.h"

namespace {

// Keeps the compiler from pairing an allocation with its release and
// removing both.
void* volatile sink = nullptr;

}  // namespace

Q_DECLARE_METATYPE(std::function<void()>)

class AllocationCounterTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { AllocationCounter::markCountingThread(); }

    void eachWayOfAllocatingCountsOnce_data()
    {
        QTest::addColumn<std::function<void()>>("allocate");
        QTest::newRow("malloc") << std::function<void()>([] {
            sink = std::malloc(48);
            std::free(sink);
        });
        QTest::newRow("calloc") << std::function<void()>([] {
            sink = std::calloc(6, 8);
            std::free(sink);
        });
        QTest::newRow("realloc") << std::function<void()>([] {
            sink = std::realloc(nullptr, 48);
            std::free(sink);
        });
        QTest::newRow("posix_memalign") << std::function<void()>([] {
            void* pointer = nullptr;
            if (posix_memalign(&pointer, 64, 48) == 0)
                sink = pointer;
            std::free(sink);
        });
        QTest::newRow("aligned_alloc") << std::function<void()>([] {
            sink = std::aligned_alloc(64, 128);
            std::free(sink);
        });
        QTest::newRow("memalign") << std::function<void()>([] {
            sink = memalign(64, 48);
            std::free(sink);
        });
        QTest::newRow("operator new") << std::function<void()>([] {
            auto* value = new double(1.0);
            sink = value;
            delete value;
        });
        QTest::newRow("aligned operator new") << std::function<void()>([] {
            struct alignas(64) Wide {
                char bytes[64];
            };
            auto* value = new Wide;
            sink = value;
            delete value;
        });
    }

    void eachWayOfAllocatingCountsOnce()
    {
        QFETCH(std::function<void()>, allocate);
        AllocationCounter::start();
        allocate();
        const auto counts = AllocationCounter::stop();
        QCOMPARE(counts.thisThread, std::uint64_t{1});
        QCOMPARE(counts.otherThreads, std::uint64_t{0});
    }

    // Qt's containers take their storage from malloc inside the Qt library.
    void allocationsInsideQtAreCounted()
    {
        AllocationCounter::start();
        QByteArray bytes(1000, 'x');
        bytes.append(QByteArray(5000, 'y'));
        const auto counts = AllocationCounter::stop();
        QVERIFY(counts.thisThread >= 2);
        QCOMPARE(bytes.size(), 6000);
    }

    void otherThreadsAreCountedApart()
    {
        std::thread worker;
        AllocationCounter::start();
        worker = std::thread([] {
            for (int index = 0; index < 100; ++index) {
                sink = std::malloc(32);
                std::free(sink);
            }
        });
        worker.join();
        const auto counts = AllocationCounter::stop();
        QVERIFY(counts.otherThreads >= 100);
        QVERIFY(counts.thisThread < 100);
    }

    void nothingIsCountedOnceStoppedOrWithoutAllocation()
    {
        AllocationCounter::start();
        double sum = 0;
        for (int index = 0; index < 1000; ++index)
            sum += index * 0.5;
        const auto idle = AllocationCounter::stop();
        QCOMPARE(idle.thisThread, std::uint64_t{0});
        QCOMPARE(sum, 249750.0);

        sink = std::malloc(64);
        std::free(sink);
        const auto later = AllocationCounter::stop();
        QCOMPARE(later.thisThread, idle.thisThread);
    }
};

QTEST_GUILESS_MAIN(AllocationCounterTest)
#include "AllocationCounterTest.moc"
