// Cost per stereo block of the audio callbacks against a plain copy of the same audio.
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "analyser/AnalyserPlugin.h"
#include "plugin/VstShell.h"

static VstIntPtr VSTCALLBACK SilentHost(AEffect*, VstInt32, VstInt32, VstIntPtr, void*, float) { return 0; }

template <typename T>
struct StereoBlock {
    std::vector<T> l, r, ol, orr;
    T* in[2];
    T* out[2];
    explicit StereoBlock(int n) : l(n, T(0.1)), r(n, T(-0.1)), ol(n), orr(n)
    {
        in[0] = l.data();
        in[1] = r.data();
        out[0] = ol.data();
        out[1] = orr.data();
    }
};

// Staging stops when full; the editor empties it at every redraw. Taking into one-sample
// rings empties it at almost no cost, so the loop measures blocks that really stage.
class Drain {
public:
    explicit Drain(AEffect* effect) : plugin(static_cast<AnalyserPlugin*>(PluginCore::FromRecord(effect)))
    {
        left.Resize(1, true);
        right.Resize(1, true);
    }
    void WhenFull()
    {
        if (plugin->StagedCount() == AnalyserPlugin::kHistoryLength) plugin->TakeStagedSamples(left, right, nullptr);
    }

private:
    AnalyserPlugin* plugin;
    SampleRing left, right;
};

static AEffect* NewEffect()
{
    AEffect* effect = VSTPluginMain(SilentHost);
    effect->dispatcher(effect, effOpen, 0, 0, nullptr, 0.0f);
    return effect;
}

static void BM_CopyTwice(benchmark::State& state)
{
    const int n = static_cast<int>(state.range(0));
    StereoBlock<double> block(n);
    std::vector<double> staging(2 * n);
    for (auto _ : state) {
        std::memcpy(block.ol.data(), block.l.data(), n * sizeof(double));
        std::memcpy(block.orr.data(), block.r.data(), n * sizeof(double));
        std::memcpy(staging.data(), block.l.data(), n * sizeof(double));
        std::memcpy(staging.data() + n, block.r.data(), n * sizeof(double));
        benchmark::DoNotOptimize(staging.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * n);
}

// The same two copies with the second one walking through staging buffers as long as the
// plug-in's: what the copies cost once the staging no longer sits in the first-level cache.
static void BM_CopyTwiceIntoStaging(benchmark::State& state)
{
    const int n = static_cast<int>(state.range(0));
    StereoBlock<double> block(n);
    std::vector<double> left(AnalyserPlugin::kHistoryLength), right(AnalyserPlugin::kHistoryLength);
    int staged = 0;
    for (auto _ : state) {
        std::memcpy(block.ol.data(), block.l.data(), n * sizeof(double));
        std::memcpy(block.orr.data(), block.r.data(), n * sizeof(double));
        const int room = AnalyserPlugin::kHistoryLength - staged;
        const int m = n < room ? n : room;
        std::memcpy(left.data() + staged, block.l.data(), m * sizeof(double));
        std::memcpy(right.data() + staged, block.r.data(), m * sizeof(double));
        staged += m;
        if (staged == AnalyserPlugin::kHistoryLength) staged = 0;
        benchmark::DoNotOptimize(left.data());
        benchmark::DoNotOptimize(right.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * n);
}

static void BM_ProcessDoubleReplacing(benchmark::State& state)
{
    const int n = static_cast<int>(state.range(0));
    StereoBlock<double> block(n);
    AEffect* effect = NewEffect();
    Drain drain(effect);
    for (auto _ : state) {
        effect->processDoubleReplacing(effect, block.in, block.out, n);
        drain.WhenFull();
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * n);
    effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.0f);
}

static void BM_ProcessReplacing(benchmark::State& state)
{
    const int n = static_cast<int>(state.range(0));
    StereoBlock<float> block(n);
    AEffect* effect = NewEffect();
    Drain drain(effect);
    for (auto _ : state) {
        effect->processReplacing(effect, block.in, block.out, n);
        drain.WhenFull();
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * n);
    effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.0f);
}

BENCHMARK(BM_CopyTwice)->Arg(32)->Arg(64)->Arg(512)->Arg(4096);
BENCHMARK(BM_CopyTwiceIntoStaging)->Arg(32)->Arg(64)->Arg(512)->Arg(4096);
BENCHMARK(BM_ProcessDoubleReplacing)->Arg(32)->Arg(64)->Arg(512)->Arg(4096);
BENCHMARK(BM_ProcessReplacing)->Arg(32)->Arg(64)->Arg(512)->Arg(4096);
