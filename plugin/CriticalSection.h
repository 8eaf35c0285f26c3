// A recursive lock between the host's non-audio requests, the editor and the view: a plain
// OS lock (a critical section on Windows, a mutex natively), which queues its waiters and
// wakes them itself. The audio thread never takes it; whoever waits here may wait.
#pragma once

#if !defined(_WIN32)
#include <mutex>
#endif

class CriticalSection {
public:
    CriticalSection();
    ~CriticalSection();
    CriticalSection(const CriticalSection&) = delete;
    CriticalSection& operator=(const CriticalSection&) = delete;

    void Enter();
    void Leave();

private:
#if defined(_WIN32)
    // A CRITICAL_SECTION, opaque here so that this header needs no Windows headers.
    alignas(void*) unsigned char section[sizeof(void*) == 8 ? 40 : 24];
#else
    std::recursive_mutex mutex;
#endif
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
