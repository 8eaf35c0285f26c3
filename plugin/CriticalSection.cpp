#include "plugin/CriticalSection.h"

#include <chrono>
#include <thread>

void CriticalSection::WaitAndTake(uintptr_t self)
{
    // Holders keep the lock for microseconds at most: a short spin usually wins it, yielding
    // lets a holder on this core finish, and napping stops a long wait from burning a core.
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
        if (attempt < 2000) std::this_thread::yield();
        else std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
}
