// A recursive lock: a Win32 critical section in the DLL, a recursive mutex natively.
#pragma once

#include <cstddef>

class CriticalSection {
public:
    CriticalSection();
    ~CriticalSection();
    CriticalSection(const CriticalSection&) = delete;
    CriticalSection& operator=(const CriticalSection&) = delete;

    void Enter();
    void Leave();

private:
    alignas(16) unsigned char storage[64];
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
