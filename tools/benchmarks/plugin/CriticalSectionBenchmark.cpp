// The plug-in lock: what a block pays to take and give it back when free, and how soon a
// waiter gets it after a holder that kept it for milliseconds lets go.
#include <benchmark/benchmark.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "plugin/CriticalSection.h"

static int64_t NowNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

static void BM_LockFree(benchmark::State& state)
{
    CriticalSection lock;
    for (auto _ : state) {
        lock.Enter();
        benchmark::ClobberMemory();
        lock.Leave();
    }
}

// Manual time: from the holder's release to the waiter holding the lock.
static void BM_LockHandOverAfterLongHold(benchmark::State& state)
{
    CriticalSection lock;
    for (auto _ : state) {
        std::atomic<bool> held{false};
        std::atomic<int64_t> releasedAt{0};
        std::thread holder([&] {
            lock.Enter();
            held = true;
            std::this_thread::sleep_for(std::chrono::milliseconds(state.range(0)));
            releasedAt = NowNs();
            lock.Leave();
        });
        while (!held) std::this_thread::yield();
        lock.Enter();
        const int64_t acquiredAt = NowNs();
        lock.Leave();
        holder.join();
        state.SetIterationTime(static_cast<double>(acquiredAt - releasedAt) * 1e-9);
    }
}

BENCHMARK(BM_LockFree);
BENCHMARK(BM_LockHandOverAfterLongHold)->Arg(2)->UseManualTime()->Iterations(300)->Unit(benchmark::kMicrosecond);
