#include "analyser/SampleStaging.h"

SampleStaging::SampleStaging()
{
    ready = leftBuffer.Resize(AnalyserLayout::kHistoryLength, false) &&
            rightBuffer.Resize(AnalyserLayout::kHistoryLength, false);
}

int SampleStaging::TakeInto(SampleRing& left, SampleRing& right)
{
    const uint32_t t = taken.load(std::memory_order_relaxed);
    const uint32_t w = written.load(std::memory_order_acquire);
    const int n = Distance(t, w);
    if (n <= 0) return 0;
    const int at = Index(t);
    const int first = AnalyserLayout::kHistoryLength - at < n ? AnalyserLayout::kHistoryLength - at : n;
    // Two appends of the two stretches fill a ring as one append of the whole would.
    left.Append(leftBuffer.Data() + at, first);
    right.Append(rightBuffer.Data() + at, first);
    if (first < n) {
        left.Append(leftBuffer.Data(), n - first);
        right.Append(rightBuffer.Data(), n - first);
    }
    taken.store(Advance(t, n), std::memory_order_release);
    return n;
}

int SampleStaging::Count() const
{
    return Distance(taken.load(std::memory_order_acquire), written.load(std::memory_order_acquire));
}
