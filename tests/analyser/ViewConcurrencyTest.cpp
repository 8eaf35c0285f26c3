// The editor under load: audio blocks, host automation and the window timer's paints with
// the user's mouse gestures on three threads at once. Built with ThreadSanitizer this must report no race; in every
// build it must neither deadlock nor crash, and the view must end up in the state last asked.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <future>
#include <limits>
#include <mutex>
#include <random>
#include <thread>
#include <vector>

#include "../plugin/FakeHost.h"
#include "analyser/AnalyserPlugin.h"
#include "analyser/AnalyserView.h"
#include "graphics/native/HeadlessWindow.h"

namespace {

constexpr auto kRunTime = std::chrono::milliseconds(1500);
constexpr auto kDeadlockLimit = std::chrono::seconds(30);

void WaitOrAbort(std::future<void>& task, const char* name)
{
    if (task.wait_for(kDeadlockLimit) == std::future_status::ready) return;
    std::fprintf(stderr, "the %s thread did not finish: deadlock\n", name);
    std::abort();  // the hung threads cannot be joined
}

}  // namespace

TEST(ViewConcurrency, AudioAutomationAndPaintingTogether)
{
    FakeHost::Reset();
    PluginUnderTest p;
    auto* plugin = static_cast<AnalyserPlugin*>(PluginCore::FromRecord(p.get()));
    auto* window = HeadlessWindow::Of(plugin->GetGraphics());
    ASSERT_NE(window, nullptr);
    p.Dispatch(effOpen);
    p.Dispatch(effSetSampleRate, 0, 0, nullptr, 44100.0f);
    p.Dispatch(effSetBlockSize, 0, 512);

    std::atomic<bool> stop{false};
    std::atomic<long> blocks{0}, changes{0}, paints{0};

    // The host moves its audio between two threads over the session; it never runs two blocks
    // of one instance at once.
    std::mutex audioTurn;
    auto audioOn = [&](unsigned seed) {
        // Blocks of the announced 512 frames, now and then empty or four times as long.
        constexpr int kLongest = 2048;
        std::vector<double> l(kLongest), r(kLongest), ol(kLongest), orr(kLongest);
        std::vector<float> fl(kLongest), fr(kLongest), fol(kLongest), forr(kLongest);
        double phase = seed;
        while (!stop.load()) {
            std::lock_guard<std::mutex> turn(audioTurn);
            const long block = blocks++;
            const int frames = block % 5 == 4 ? 0 : block % 7 == 6 ? kLongest : 512;
            for (int i = 0; i < frames; ++i, phase += 0.05) {
                l[i] = std::sin(phase);
                r[i] = 0.5 * std::cos(phase * 1.3);
                fl[i] = static_cast<float>(l[i]);
                fr[i] = static_cast<float>(r[i]);
            }
            float* fin[2] = {fl.data(), fr.data()};
            float* fout[2] = {fol.data(), forr.data()};
            double* in[2] = {l.data(), r.data()};
            double* out[2] = {ol.data(), orr.data()};
            switch (block % 4) {
            case 3: p->processReplacing(p.get(), fin, fout, frames); break;
            case 2: p->process(p.get(), fin, fout, frames); break;
            default: p->processDoubleReplacing(p.get(), in, out, frames); break;
            }
        }
    };
    auto audio = std::async(std::launch::async, audioOn, 1u);
    auto audioElsewhere = std::async(std::launch::async, audioOn, 2u);

    auto automation = std::async(std::launch::async, [&] {
        std::mt19937 rng(1234);
        // Beyond 0..1 too: the host path has no lower clamp.
        std::uniform_real_distribution<float> value(-0.25f, 1.25f);
        const float rates[] = {44100.0f, 48000.0f, 22050.0f, std::numeric_limits<float>::quiet_NaN(), 96000.0f,
                               0.0f, 8000.0f, -1.0f, 44100.0f};
        long n = 0;
        while (!stop.load()) {
            for (int i = 0; i < AnalyserPlugin::kParamCount; ++i) p->setParameter(p.get(), i, value(rng));
            p->getParameter(p.get(), static_cast<int>(n % 4));
            if (n % 3 == 0) p.Dispatch(effSetSampleRate, 0, 0, nullptr, rates[n % 9]);
            if (n % 50 == 0) p.Dispatch(effMainsChanged, 0, n % 100 == 0 ? 1 : 0);
            if (n % 70 == 0) p.Dispatch(effSetBlockSize, 0, 256 + n % 1024);
            // State saved and loaded on this (worker) thread, as hosts do when they autosave.
            if (n % 20 == 0) p.SetChunk(p.GetChunk());
            ++n;
            ++changes;
        }
    });

    auto painter = std::async(std::launch::async, [&] {
        std::mt19937 rng(99);
        std::uniform_int_distribution<int> x(-5, 240), y(-5, 100), bits(0, 31), notches(-3, 3);
        int parent = 0;
        p.Dispatch(effEditOpen, 0, 0, &parent);
        long n = 0;
        while (!stop.load()) {
            if (window->Tick()) ++paints;
            window->MouseMove(x(rng), y(rng), MouseKeys());
            // The user's gestures on the same parameters the host automates meanwhile.
            const int b = bits(rng);
            MouseKeys keys;
            keys.left = (b & 1) == 0;
            keys.right = !keys.left;
            keys.shift = (b & 2) != 0;
            keys.ctrl = (b & 4) != 0;
            keys.alt = (b & 8) != 0;
            const int gx = x(rng), gy = y(rng);
            switch (n % 5) {
            case 0:
                if (b & 16) window->AnswerColourPrompt(true, Colour(0, b * 8, 255 - b, b));
                window->MouseDown(gx, gy, keys);
                window->MouseUp(gx, gy);
                break;
            case 1:
                window->MouseDown(gx, gy, keys);
                window->MouseMove(gx, y(rng), keys);
                window->MouseUp(gx, gy);
                break;
            case 2:
                window->MouseWheel(gx, gy, keys, 120 * notches(rng));
                break;
            case 3:
                window->MouseDoubleClick(gx, gy, keys);
                break;
            default:
                window->AnswerColourPrompt(false, Colour());
                break;
            }
            if (n % 7 == 0) window->MouseLeave();
            if (n % 25 == 0) plugin->View()->SetViewColours(Colour(255, static_cast<int>(n % 256), 0, 0), Colour(),
                                                            Colour(), Colour());
            if (n % 40 == 0) {
                p.Dispatch(effEditClose);
                p.Dispatch(effEditOpen, 0, 0, &parent);
            }
            p.Dispatch(effEditIdle);
            ++n;
        }
        p.Dispatch(effEditClose);
    });

    std::this_thread::sleep_for(kRunTime);
    stop.store(true);
    WaitOrAbort(audio, "audio");
    WaitOrAbort(audioElsewhere, "second audio");
    WaitOrAbort(automation, "automation");
    WaitOrAbort(painter, "painter");
    EXPECT_GT(blocks.load(), 0);
    EXPECT_GT(changes.load(), 0);
    EXPECT_GT(paints.load(), 0);

    // The last request wins, whatever the threads did before.
    p->setParameter(p.get(), AnalyserPlugin::kDomain, 0.0f);
    p->setParameter(p.get(), AnalyserPlugin::kVScale, 1.0f);
    p->setParameter(p.get(), AnalyserPlugin::kFftZoom, 1.0f);
    p->setParameter(p.get(), AnalyserPlugin::kPause, 0.0f);
    p.Dispatch(effSetSampleRate, 0, 0, nullptr, 48000.0f);
    int parent = 0;
    ASSERT_EQ(p.Dispatch(effEditOpen, 0, 0, &parent), 1);
    EXPECT_TRUE(window->Tick());
    AnalyserView* view = plugin->View();
    EXPECT_EQ(view->Domain(), 0);
    EXPECT_EQ(view->VScale(), 20.0f);
    EXPECT_EQ(view->FftZoom(), 6);
    EXPECT_FALSE(view->Paused());
    EXPECT_EQ(view->SampleRate(), 48000.0);
    EXPECT_EQ(view->Time().FirstCurve().Size(), 232);
    EXPECT_EQ(plugin->StagedCount(), 0);
}

namespace {

class Knob : public Control {
public:
    Knob() : Control(nullptr, Rect(0, 0, 10, 10), -1, Blend(BlendKind::Copy, 1.0f)) {}
    bool Draw(Graphics&) override { return true; }
};

}  // namespace

// A control's value belongs to the window thread, whose wheel writes it without a lock; a
// mark from another thread only raises the dirty flag.
TEST(ViewConcurrency, MarksFromOtherThreadsLeaveTheValueAlone)
{
    Knob knob;
    std::atomic<bool> stop{false};
    auto audio = std::async(std::launch::async, [&] {
        while (!stop.load()) knob.SetDirty();
    });
    MouseKeys keys;
    for (int i = 0; i < 20000; ++i) {
        knob.OnMouseWheel(0, 0, keys, i % 3 - 1);
        if (knob.IsDirty()) knob.SetClean();
    }
    stop.store(true);
    WaitOrAbort(audio, "audio");
    EXPECT_GE(knob.Value(), 0.0);
    EXPECT_LE(knob.Value(), 1.0);
}
