// Cost of one redraw of each display: at steady state (one timer period of new audio at
// 48 kHz, 2000 samples, taken from the staging buffers and drawn) and right after a change
// that rebuilds the display from the whole 24000-sample history. The allocs counter is the
// number of heap allocations per redraw.
#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#include "analyser/AnalyserPlugin.h"
#include "analyser/AnalyserView.h"
#include "graphics/Graphics.h"
#include "graphics/GraphicsWindow.h"
#include "graphics/native/HeadlessWindow.h"
#include "plugin/VstShell.h"
#include "tools/AllocationCounter.h"


namespace {

constexpr int kPeriod = 2000;

VstIntPtr VSTCALLBACK Host(AEffect*, VstInt32, VstInt32, VstIntPtr, void*, float) { return 0; }

constexpr int kRate = 48000;

// Whole-hertz partials repeat every second, so one second is worked out once: the profile
// of a run then shows the redraw rather than the sine function.
struct Chord {
    std::vector<double> left, right;
    Chord() : left(kRate), right(kRate)
    {
        for (int n = 0; n < kRate; ++n) {
            const double t = n / static_cast<double>(kRate);
            left[n] = 0.3 * std::sin(2 * 3.14159265358979 * 220 * t) + 0.2 * std::sin(2 * 3.14159265358979 * 3100 * t);
            right[n] = 0.3 * std::sin(2 * 3.14159265358979 * 330 * t) + 0.1 * std::sin(2 * 3.14159265358979 * 9000 * t);
        }
    }
};

// A plug-in made as a host makes it, fed with a chord-like signal.
struct Rig {
    AEffect* effect;
    AnalyserPlugin* plugin;
    AnalyserView* view;
    Graphics* graphics;
    std::vector<double> left, right, outLeft, outRight;
    int n = 0;

    explicit Rig(int domain)
        : effect(VSTPluginMain(Host)),
          plugin(static_cast<AnalyserPlugin*>(PluginCore::FromRecord(effect))),
          view(plugin->View()),
          graphics(plugin->GetGraphics()),
          left(kPeriod), right(kPeriod), outLeft(kPeriod), outRight(kPeriod)
    {
        effect->dispatcher(effect, effOpen, 0, 0, nullptr, 0.0f);
        effect->dispatcher(effect, effSetSampleRate, 0, 0, nullptr, 48000.0f);
        view->SetViewState(domain, 1.0, false, 0, &plugin->Lock());
        for (int i = 0; i < 12; ++i) Period();
        view->Draw(*graphics);
    }
    ~Rig() { effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.0f); }

    void Period()
    {
        static const Chord chord;
        for (int i = 0; i < kPeriod; ++i, n = (n + 1) % kRate) {
            left[i] = chord.left[n];
            right[i] = chord.right[n];
        }
        double* in[2] = {left.data(), right.data()};
        double* out[2] = {outLeft.data(), outRight.data()};
        effect->processDoubleReplacing(effect, in, out, kPeriod);
    }
};

void SteadyRedraw(benchmark::State& state)
{
    Rig rig(static_cast<int>(state.range(0)));
    long allocated = 0;
    for (auto _ : state) {
        state.PauseTiming();
        rig.Period();
        state.ResumeTiming();
        AllocationCounter::Start();
        rig.view->Draw(*rig.graphics);
        allocated += AllocationCounter::Stop();
    }
    state.counters["allocs"] = benchmark::Counter(static_cast<double>(allocated), benchmark::Counter::kAvgIterations);
}

void RebuildRedraw(benchmark::State& state)
{
    Rig rig(static_cast<int>(state.range(0)));
    const int domain = static_cast<int>(state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        // The same state again rebuilds the picture from the whole history at the next draw.
        rig.view->SetViewState(domain, 1.0, false, 0, &rig.plugin->Lock());
        state.ResumeTiming();
        rig.view->Draw(*rig.graphics);
    }
}

// A whole frame of the open editor at each scale (freq display): the timer's redraw of one
// period of audio and the window's copy of it, enlarged.
void EditorFrame(benchmark::State& state)
{
    Rig rig(1);
    auto* window = HeadlessWindow::Of(rig.graphics);
    int parent = 0;
    window->Editor().SetScaleChoice(static_cast<int32_t>(state.range(0)));
    rig.effect->dispatcher(rig.effect, effEditOpen, 0, 0, &parent, 0.0f);
    // Opened without asking for its size first, the window is made at the scale chosen.
    window->Tick();
    for (auto _ : state) {
        state.PauseTiming();
        rig.Period();
        state.ResumeTiming();
        window->Tick();
    }
    state.counters["shown"] = window->Editor().ShownScale();
}

}  // namespace

BENCHMARK(EditorFrame)->ArgName("scale")->DenseRange(1, 4)->Unit(benchmark::kMicrosecond);
BENCHMARK(SteadyRedraw)->ArgName("domain")->DenseRange(0, 3)->Unit(benchmark::kMicrosecond);
BENCHMARK(RebuildRedraw)->ArgName("domain")->DenseRange(0, 3)->Unit(benchmark::kMicrosecond);
