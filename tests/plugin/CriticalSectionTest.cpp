#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

#include "plugin/CriticalSection.h"

// Named for the thread-sanitizer run, which would see a race on the plain counter if the
// lock did not order the threads' accesses.
TEST(LockConcurrency, ExcludesOtherThreadsNestsAndWaitsOutALongHolder)
{
    CriticalSection lock;
    long counter = 0;  // guarded by lock, deliberately not atomic
    std::atomic<int> inside{0};
    std::atomic<bool> overlapped{false};
    constexpr int kThreads = 3, kRounds = 20000;

    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t)
        threads.emplace_back([&] {
            for (int i = 0; i < kRounds; ++i) {
                ScopedLock outer(&lock);
                ScopedLock nested(&lock);
                if (inside.fetch_add(1) != 0) overlapped = true;
                ++counter;
                inside.fetch_sub(1);
            }
        });
    // A holder that keeps the lock far longer than any spin: the others yield, then sleep.
    threads.emplace_back([&] {
        ScopedLock hold(&lock);
        if (inside.fetch_add(1) != 0) overlapped = true;
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
        ++counter;
        inside.fetch_sub(1);
    });
    for (std::thread& thread : threads) thread.join();

    EXPECT_FALSE(overlapped);
    EXPECT_EQ(counter, kThreads * kRounds + 1L);
    // Free again, and a null lock guards nothing.
    lock.Enter();
    lock.Leave();
    ScopedLock none(nullptr);
}
