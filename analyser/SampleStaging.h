// The hand-over of audio from the host's audio thread to the editor's redraw: a wait-free
// ring with one writer (whichever thread the host runs audio on, one block at a time) and
// one reader (the view's draw). The writer keeps what fits and drops the rest, so the
// reader always takes the oldest samples since its last take, the view's whole history at most.
#pragma once

#include <atomic>
#include <cstdint>
#include <cstring>

#include "analyser/AnalyserLayout.h"
#include "analyser/SampleBuffer.h"
#include "dsp/SampleRing.h"

class SampleStaging {
public:
    SampleStaging();
    SampleStaging(const SampleStaging&) = delete;
    SampleStaging& operator=(const SampleStaging&) = delete;

    // False when the buffers could not be had; nothing is staged then.
    bool Ready() const { return ready; }

    // The writer: the first frames of both channels, as far as there is room (a null
    // channel stages silence). Answers the samples staged per channel.
    template <typename Sample>
    int Write(const Sample* left, const Sample* right, int frames);

    // The reader: appends everything staged to the rings, oldest first, and answers how
    // many samples per channel that was.
    int TakeInto(SampleRing& left, SampleRing& right);

    // Samples waiting; exact on the writer's and the reader's threads, a recent value elsewhere.
    int Count() const;

private:
    // Positions run up to twice the capacity and wrap there, so that full and empty differ.
    static constexpr uint32_t kWrap = 2u * AnalyserLayout::kHistoryLength;
    static int Index(uint32_t position)
    {
        constexpr uint32_t capacity = AnalyserLayout::kHistoryLength;
        return static_cast<int>(position < capacity ? position : position - capacity);
    }
    static uint32_t Advance(uint32_t position, int n)
    {
        const uint32_t next = position + static_cast<uint32_t>(n);
        return next >= kWrap ? next - kWrap : next;
    }
    static int Distance(uint32_t from, uint32_t to) { return static_cast<int>(to >= from ? to - from : to + kWrap - from); }

    template <typename Sample>
    static void Stage(const Sample* in, double* stage, int n);

    SampleBuffer leftBuffer;
    SampleBuffer rightBuffer;
    bool ready = false;
    // Each side writes its own position only; apart, so that they share no cache line.
    alignas(64) std::atomic<uint32_t> written{0};
    alignas(64) std::atomic<uint32_t> taken{0};
};

template <typename Sample>
inline void SampleStaging::Stage(const Sample* in, double* stage, int n)
{
    if (!in) {
        std::memset(stage, 0, sizeof(double) * n);
    } else if (sizeof(Sample) == sizeof(double)) {
        std::memcpy(stage, in, sizeof(double) * n);
    } else {
        for (int i = 0; i < n; ++i) stage[i] = in[i];
    }
}

template <typename Sample>
inline int SampleStaging::Write(const Sample* left, const Sample* right, int frames)
{
    if (!ready || frames <= 0) return 0;
    const uint32_t w = written.load(std::memory_order_relaxed);
    const uint32_t t = taken.load(std::memory_order_acquire);
    const int room = AnalyserLayout::kHistoryLength - Distance(t, w);
    const int n = frames < room ? frames : room;
    if (n <= 0) return 0;
    const int at = Index(w);
    const int first = AnalyserLayout::kHistoryLength - at < n ? AnalyserLayout::kHistoryLength - at : n;
    double* const l = leftBuffer.Data();
    double* const r = rightBuffer.Data();
    Stage(left, l + at, first);
    Stage(right, r + at, first);
    if (first < n) {
        Stage(left ? left + first : left, l, n - first);
        Stage(right ? right + first : right, r, n - first);
    }
    written.store(Advance(w, n), std::memory_order_release);
    return n;
}
