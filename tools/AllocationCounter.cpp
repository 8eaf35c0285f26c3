#include "tools/AllocationCounter.h"

#include <atomic>
#include <cstdlib>
#include <new>

static std::atomic<bool> counting{false};
static std::atomic<bool> failing{false};
static std::atomic<long> allocations{0};

void AllocationCounter::Start()
{
    allocations = 0;
    counting = true;
}

void AllocationCounter::StartFailing()
{
    Start();
    failing = true;
}

long AllocationCounter::Stop()
{
    counting = false;
    failing = false;
    return allocations.load();
}

// Every replaceable form, so that no allocation pairs our free with a library's new.
static void* CountedAllocation(size_t size) noexcept
{
    if (counting) ++allocations;
    if (failing) return nullptr;
    return std::malloc(size ? size : 1);
}
void* operator new(size_t size)
{
    if (void* p = CountedAllocation(size)) return p;
    throw std::bad_alloc();
}
void* operator new[](size_t size) { return operator new(size); }
void* operator new(size_t size, const std::nothrow_t&) noexcept { return CountedAllocation(size); }
void* operator new[](size_t size, const std::nothrow_t&) noexcept { return CountedAllocation(size); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, size_t) noexcept { std::free(p); }
void operator delete[](void* p, size_t) noexcept { std::free(p); }
