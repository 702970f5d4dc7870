#include "AllocationCounter.h"

#include <atomic>
#include <cerrno>
#include <cstddef>

// glibc's own allocator, under the names it exports for programs that
// interpose malloc. Defining malloc and its relatives in the executable makes
// every library of the process, Qt included, call these.
extern "C" {
void* __libc_malloc(std::size_t size) noexcept;
void* __libc_calloc(std::size_t count, std::size_t size) noexcept;
void* __libc_realloc(void* pointer, std::size_t size) noexcept;
void* __libc_memalign(std::size_t alignment, std::size_t size) noexcept;
void __libc_free(void* pointer) noexcept;
}

namespace {

std::atomic<bool> counting{false};
std::atomic<std::uint64_t> markedCount{0};
std::atomic<std::uint64_t> otherCount{0};
// Plain thread-local flag of the executable: reading it allocates nothing.
thread_local bool markedThread = false;

inline void countAllocation()
{
    if (!counting.load(std::memory_order_relaxed))
        return;
    if (markedThread)
        markedCount.fetch_add(1, std::memory_order_relaxed);
    else
        otherCount.fetch_add(1, std::memory_order_relaxed);
}

}  // namespace

extern "C" {

void* malloc(std::size_t size) noexcept
{
    countAllocation();
    return __libc_malloc(size);
}

void* calloc(std::size_t count, std::size_t size) noexcept
{
    countAllocation();
    return __libc_calloc(count, size);
}

void* realloc(void* pointer, std::size_t size) noexcept
{
    countAllocation();
    return __libc_realloc(pointer, size);
}

void free(void* pointer) noexcept
{
    __libc_free(pointer);
}

void* memalign(std::size_t alignment, std::size_t size) noexcept
{
    countAllocation();
    return __libc_memalign(alignment, size);
}

void* aligned_alloc(std::size_t alignment, std::size_t size) noexcept
{
    countAllocation();
    return __libc_memalign(alignment, size);
}

int posix_memalign(void** result, std::size_t alignment, std::size_t size) noexcept
{
    if (alignment % sizeof(void*) != 0 || (alignment & (alignment - 1)) != 0)
        return EINVAL;
    countAllocation();
    void* pointer = __libc_memalign(alignment, size);
    if (!pointer && size != 0)
        return ENOMEM;
    *result = pointer;
    return 0;
}

}  // extern "C"

namespace AllocationCounter {

bool available()
{
    return true;
}

void markCountingThread()
{
    markedThread = true;
}

void start()
{
    markedCount.store(0, std::memory_order_relaxed);
    otherCount.store(0, std::memory_order_relaxed);
    counting.store(true, std::memory_order_seq_cst);
}

Counts stop()
{
    counting.store(false, std::memory_order_seq_cst);
    return {markedCount.load(std::memory_order_relaxed), otherCount.load(std::memory_order_relaxed)};
}

}  // namespace AllocationCounter
