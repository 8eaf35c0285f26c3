#include "plugin/CriticalSection.h"

#include <linux/futex.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <ctime>

// A 32-bit atomic is a plain int in memory, which is what a futex waits on.
static int* FutexWord(std::atomic<uint32_t>& word) { return reinterpret_cast<int*>(&word); }

void CriticalSection::SleepWhileUnchanged(std::atomic<uint32_t>& word, uint32_t seen)
{
    const timespec limit = {0, 1000000};
    syscall(SYS_futex, FutexWord(word), FUTEX_WAIT_PRIVATE, static_cast<int>(seen), &limit, nullptr, 0);
}

void CriticalSection::WakeAll(std::atomic<uint32_t>& word)
{
    syscall(SYS_futex, FutexWord(word), FUTEX_WAKE_PRIVATE, 0x7fffffff, nullptr, nullptr, 0);
}
