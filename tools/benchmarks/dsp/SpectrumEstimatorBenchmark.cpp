// One analysis frame as the displays ask for it: ComputeFrame, then MapToLogFrequency on
// its result. 8192 samples per redraw for "freq", 1024 per block for "spectro".
#include <benchmark/benchmark.h>

#include <random>

#include "dsp/SpectrumEstimator.h"

namespace {

void BM_ComputeAndRespaceFrame(benchmark::State& state)
{
    const int n = static_cast<int>(state.range(0));
    SpectrumEstimator estimator;
    estimator.samples.Resize(n, true);
    estimator.samples.SetWritePosition(0);
    std::mt19937 random(42);
    std::uniform_real_distribution<double> uniform(-1.0, 1.0);
    for (int i = 0; i < n; ++i) estimator.samples.Data()[i] = uniform(random);
    for (auto _ : state) {
        GrowableArray<double>& magnitudes = estimator.ComputeFrame();
        estimator.MapToLogFrequency(magnitudes);
        benchmark::DoNotOptimize(magnitudes.Data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations());
}

} // namespace

BENCHMARK(BM_ComputeAndRespaceFrame)->Arg(8192)->Arg(1024);
