// A recursive lock for short critical sections, shared by the audio thread and the host's
// other threads. Taking it free costs one atomic exchange and giving it back a plain store,
// so the audio callback pays for one atomic operation per block, not two; a thread that
// finds it taken spins briefly, then yields, then sleeps until a release wakes it.
#pragma once

#include <atomic>
#include <cstdint>

class CriticalSection {
public:
    CriticalSection() = default;
    CriticalSection(const CriticalSection&) = delete;
    CriticalSection& operator=(const CriticalSection&) = delete;

    void Enter()
    {
        const uintptr_t self = ThisThread();
        // Only this thread ever stores its own tag, so seeing it means holding the lock.
        if (owner.load(std::memory_order_relaxed) == self) {
            ++depth;
            return;
        }
        uintptr_t free = 0;
        if (!owner.compare_exchange_strong(free, self, std::memory_order_acquire, std::memory_order_relaxed))
            WaitAndTake(self);
        depth = 1;
    }

    void Leave()
    {
        if (--depth != 0) return;
        owner.store(0, std::memory_order_release);
        // Without sleepers, giving the lock back costs this one extra load.
        if (sleepers.load(std::memory_order_relaxed) != 0) WakeSleepers();
    }

private:
    // A non-zero tag for the calling thread: its thread pointer where the compiler reads it
    // in one instruction, the platform's thread id on Windows.
#if defined(_WIN32)
    static uintptr_t ThisThread();
#else
    static uintptr_t ThisThread() { return reinterpret_cast<uintptr_t>(__builtin_thread_pointer()); }
#endif
    void WaitAndTake(uintptr_t self);
    void WakeSleepers();
    // The platform's wait on an address: sleeps while `word` still holds `seen`, for about a
    // millisecond at most; and wakes every thread sleeping on `word`.
    static void SleepWhileUnchanged(std::atomic<uint32_t>& word, uint32_t seen);
    static void WakeAll(std::atomic<uint32_t>& word);

    std::atomic<uintptr_t> owner{0};
    std::atomic<uint32_t> releases{0};  // counts the releases that found sleepers
    std::atomic<int32_t> sleepers{0};
    int depth = 0;  // touched only by the owner
};

// Holds a lock for a scope; a null lock means "no lock" (the caller guards the data).
class ScopedLock {
public:
    explicit ScopedLock(CriticalSection* lock) : lock(lock) { if (lock) lock->Enter(); }
    ~ScopedLock() { if (lock) lock->Leave(); }
    ScopedLock(const ScopedLock&) = delete;
    ScopedLock& operator=(const ScopedLock&) = delete;

private:
    CriticalSection* lock;
};
