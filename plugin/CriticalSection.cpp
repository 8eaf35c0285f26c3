#include "plugin/CriticalSection.h"

#include <thread>

void CriticalSection::WaitAndTake(uintptr_t self)
{
    // Holders keep the lock for microseconds as a rule: a short spin usually wins it, and
    // yielding lets a holder on this core finish. A longer wait sleeps in the kernel, to be
    // woken by the release itself rather than after a timer tick: on Windows a nap lasts a
    // whole tick, long enough to miss an audio block.
    for (int attempt = 0;; ++attempt) {
        uintptr_t free = 0;
        if (owner.load(std::memory_order_relaxed) == 0 &&
            owner.compare_exchange_weak(free, self, std::memory_order_acquire, std::memory_order_relaxed))
            return;
        if (attempt < 100) {
#if defined(__i386__) || defined(__x86_64__)
            __builtin_ia32_pause();
#endif
            continue;
        }
        if (attempt < 2000) {
            std::this_thread::yield();
            continue;
        }
        const uint32_t seen = releases.load(std::memory_order_acquire);
        sleepers.fetch_add(1, std::memory_order_seq_cst);
        // A release after `seen` was read changes the word, so the wait returns at once. The
        // releaser reads `sleepers` without a fence; should that read miss this sleeper, the
        // wait's time limit ends the sleep.
        if (owner.load(std::memory_order_seq_cst) != 0) SleepWhileUnchanged(releases, seen);
        sleepers.fetch_sub(1, std::memory_order_relaxed);
    }
}

void CriticalSection::WakeSleepers()
{
    releases.fetch_add(1, std::memory_order_release);
    WakeAll(releases);
}
