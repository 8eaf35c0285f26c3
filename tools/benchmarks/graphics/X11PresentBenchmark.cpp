// What a frame of the Linux editor costs on a real X server (run it under Xvfb with
// tools/bench-x11-present.sh): putting the editor's picture ordinarily (through the socket)
// and through shared memory, at scales 1 and 2, as the caller sees it and until the server
// has drawn it; a frame whose pixels did not change, which is compared and not sent; and the
// whole idle call of a host with the editor open, with a signal (every frame new) and in
// silence (frames unchanged), beside the displays' redraw alone.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <vector>

#include "analyser/AnalyserPlugin.h"
#include "analyser/AnalyserView.h"
#include "graphics/GraphicsWindow.h"
#include "graphics/SystemSurface.h"
#include "graphics/x11/X11Connection.h"
#include "graphics/x11/X11Image.h"
#include "graphics/x11/X11Window.h"
#include "plugin/VstShell.h"

#include <X11/Xlib.h>

namespace {

constexpr int kWidth = 232, kHeight = 96, kPeriod = 2000;

// A window of the editor's size at a scale, on a connection of the editor's kind.
struct Target {
    std::unique_ptr<X11Connection> x = X11Connection::Open();
    Window window = 0;
    GC gc = nullptr;
    int w, h;

    explicit Target(int scale) : w(kWidth * scale), h(kHeight * scale)
    {
        if (!x) return;
        Display* d = x->XDisplay();
        window = XCreateSimpleWindow(d, DefaultRootWindow(d), 0, 0, static_cast<unsigned>(w),
                                     static_cast<unsigned>(h), 0, 0, 0);
        XMapWindow(d, window);
        gc = XCreateGC(d, window, 0, nullptr);
        XSync(d, False);
    }
    ~Target()
    {
        if (!x) return;
        XFreeGC(x->XDisplay(), gc);
        XDestroyWindow(x->XDisplay(), window);
    }
    // Until the server has done everything asked, with the events it sent read.
    void Settle() { XSync(x->XDisplay(), False); }
};

// Puts into a target window of its own, alternating two pictures told apart in every pixel,
// as a frame of moving traces at least differs.
struct Presenter {
    Target target;
    X11Image image;
    std::vector<std::unique_ptr<SystemSurface>> pictures;

    Presenter(int scale, X11Image::Sharing sharing, bool skipUnchanged) : target(scale)
    {
        if (!target.x) return;
        Display* d = target.x->XDisplay();
        image.SetVisual(DefaultVisual(d, DefaultScreen(d)), DefaultDepth(d, DefaultScreen(d)));
        image.SetSharing(sharing);
        image.SetSkipUnchanged(skipUnchanged);
        for (uint32_t k = 0; k < 2; ++k) {
            pictures.emplace_back(new SystemSurface(target.w, target.h));
            PixelRows rows = RowsOf(*pictures.back());
            for (int y = 0; y < target.h; ++y)
                for (int x = 0; x < target.w; ++x)
                    rows.base[y * rows.span + x] = 0xFF000000u | (static_cast<uint32_t>(x * 7 + y * 3) ^ (k * 0x5A5A5A));
        }
        Put(0);
    }
    ~Presenter()
    {
        if (target.x) image.Release(*target.x);
    }
    void Put(size_t k)
    {
        image.Put(*target.x, target.window, target.gc, RowsOf(*pictures[k & 1]), Rect(0, 0, target.w, target.h),
                  target.w, target.h);
    }
};

// range(0): scale; range(1): 1 shared memory, 0 ordinary; range(2): 1 waits for the server.
void Put(benchmark::State& state)
{
    const bool shared = state.range(1) != 0, wait = state.range(2) != 0;
    Presenter p(static_cast<int>(state.range(0)), shared ? X11Image::Sharing::On : X11Image::Sharing::Off, false);
    if (!p.target.x || p.image.SharesMemory() != shared) {
        state.SkipWithError("no X server, or one that does not share memory");
        return;
    }
    size_t n = 0;
    for (auto _ : state) {
        if (!wait) {
            // The last frame's put is long done when the next comes, 41 ms later.
            state.PauseTiming();
            p.target.Settle();
            state.ResumeTiming();
        }
        p.Put(++n);
        if (wait) p.target.Settle();
    }
}

// A frame with the pixels the window already shows: compared, not sent.
void SkippedFrame(benchmark::State& state)
{
    Presenter p(static_cast<int>(state.range(0)), X11Image::Sharing::On, true);
    if (!p.target.x) {
        state.SkipWithError("no X server");
        return;
    }
    const uint64_t presented = p.image.Presented();
    for (auto _ : state) p.Put(0);
    if (p.image.Presented() != presented) state.SkipWithError("an unchanged frame was sent");
}

VstIntPtr VSTCALLBACK Host(AEffect*, VstInt32, VstInt32, VstIntPtr, void*, float) { return 0; }

// The plug-in as a host makes it, its editor open in a window of the host's, on the
// frequency display.
struct Rig {
    AEffect* effect = VSTPluginMain(Host);
    AnalyserPlugin* plugin = static_cast<AnalyserPlugin*>(PluginCore::FromRecord(effect));
    Target host{1};
    std::vector<double> left, right, out;
    long n = 0;
    bool silent;

    Rig(int scale, bool silent) : left(kPeriod), right(kPeriod), out(kPeriod), silent(silent)
    {
        effect->dispatcher(effect, effOpen, 0, 0, nullptr, 0.0f);
        effect->dispatcher(effect, effSetSampleRate, 0, 0, nullptr, 48000.0f);
        plugin->View()->SetViewState(1, 1.0, false, 0, &plugin->Lock());
        XResizeWindow(host.x->XDisplay(), host.window, kWidth * 4, kHeight * 4);
        host.Settle();
        Editor().SetScaleChoice(scale);
        effect->dispatcher(effect, effEditOpen, 0, 0, reinterpret_cast<void*>(host.window), 0.0f);
        for (int i = 0; i < 12; ++i) Frame();
    }
    ~Rig()
    {
        effect->dispatcher(effect, effEditClose, 0, 0, nullptr, 0.0f);
        effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.0f);
    }
    GraphicsWindow& Editor() { return *static_cast<GraphicsWindow*>(plugin->GetGraphics()); }
    X11Window& Window() { return *X11Window::Of(plugin->GetGraphics()); }

    // One timer period of audio, then the host's idle call when the tick is due.
    void Period()
    {
        for (int i = 0; i < kPeriod; ++i, ++n) {
            const double t = n / 48000.0;
            left[i] = silent ? 0.0 : 0.3 * std::sin(2 * 3.14159265358979 * 220 * t);
            right[i] = silent ? 0.0 : 0.2 * std::sin(2 * 3.14159265358979 * 3100 * t);
        }
        double* in[2] = {left.data(), right.data()};
        double* outs[2] = {out.data(), out.data()};
        effect->processDoubleReplacing(effect, in, outs, kPeriod);
    }
    // The window's clock, run ahead so that every call has a tick due.
    uint64_t now = static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                             std::chrono::steady_clock::now().time_since_epoch())
                                             .count()) +
                   1000;
    void Idle() { Window().ServeEvents(now += 42); }
    void Frame()
    {
        Period();
        Idle();
        host.Settle();
    }
};

// range(0): scale; range(1): 1 shared memory; range(2): 1 silence (frames unchanged).
void IdleCall(benchmark::State& state)
{
    if (!std::getenv("DISPLAY")) {
        state.SkipWithError("no X server");
        return;
    }
    Rig rig(static_cast<int>(state.range(0)), state.range(2) != 0);
    rig.Window().SetSharing(state.range(1) ? X11Image::Sharing::On : X11Image::Sharing::Off);
    rig.Frame();
    const uint64_t presented = rig.Window().Image().Presented(), skipped = rig.Window().Image().Skipped();
    for (auto _ : state) {
        state.PauseTiming();
        rig.host.Settle();
        rig.Period();
        state.ResumeTiming();
        rig.Idle();
    }
    const double frames = static_cast<double>(state.iterations());
    state.counters["sent"] = static_cast<double>(rig.Window().Image().Presented() - presented) / frames;
    state.counters["skipped"] = static_cast<double>(rig.Window().Image().Skipped() - skipped) / frames;
}

// The displays' redraw of one period alone, as the tick does it.
void Redraw(benchmark::State& state)
{
    if (!std::getenv("DISPLAY")) {
        state.SkipWithError("no X server");
        return;
    }
    Rig rig(1, false);
    for (auto _ : state) {
        state.PauseTiming();
        rig.Period();
        state.ResumeTiming();
        rig.plugin->View()->Draw(*rig.plugin->GetGraphics());
    }
}

}  // namespace

BENCHMARK(Put)
    ->ArgNames({"scale", "shm", "wait"})
    ->ArgsProduct({{1, 2}, {0, 1}, {0, 1}})
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
BENCHMARK(SkippedFrame)->ArgName("scale")->Arg(1)->Arg(2)->Unit(benchmark::kMicrosecond)->Repetitions(5)
    ->ReportAggregatesOnly(true);
BENCHMARK(IdleCall)
    ->ArgNames({"scale", "shm", "silent"})
    ->ArgsProduct({{1, 2}, {0, 1}, {0, 1}})
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
BENCHMARK(Redraw)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);
