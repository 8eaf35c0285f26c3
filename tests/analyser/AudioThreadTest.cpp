// The audio thread against hosts that are slow or hold their own locks while the user works
// the editor: it must never wait for the editor, and nothing may deadlock.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <future>
#include <mutex>
#include <thread>
#include <vector>

#include "analyser/AnalyserPlugin.h"
#include "graphics/native/HeadlessWindow.h"
#include "plugin/VstShell.h"

namespace {

using Clock = std::chrono::steady_clock;

// What the host does when the plug-in tells it of a user's change.
struct HostBehaviour {
    std::chrono::milliseconds automateTakes{0};
    std::mutex* engine = nullptr;  // taken by the automate call, held by the host around process()
    std::atomic<int> insideAutomate{0};
    std::atomic<long> automations{0};
};
HostBehaviour* host = nullptr;

VstIntPtr VSTCALLBACK Callback(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void* ptr, float)
{
    switch (opcode) {
    case audioMasterGetVendorString:
    case audioMasterGetProductString:
        std::strcpy(static_cast<char*>(ptr), "Slow Host");
        return 1;
    case audioMasterAutomate: {
        std::unique_lock<std::mutex> engine;
        if (host->engine) engine = std::unique_lock<std::mutex>(*host->engine);
        ++host->insideAutomate;
        std::this_thread::sleep_for(host->automateTakes);
        ++host->automations;
        --host->insideAutomate;
        return 0;
    }
    default:
        return 0;
    }
}

// A plug-in with its editor open, as a host makes it.
struct Instance {
    AEffect* effect = VSTPluginMain(Callback);
    AnalyserPlugin* plugin = static_cast<AnalyserPlugin*>(PluginCore::FromRecord(effect));
    HeadlessWindow* window = HeadlessWindow::Of(plugin->GetGraphics());
    int parent = 0;

    Instance()
    {
        Dispatch(effOpen);
        Dispatch(effSetSampleRate, 0, 0, nullptr, 48000.0f);
        Dispatch(effSetBlockSize, 0, 64);
        Dispatch(effMainsChanged, 0, 1);
        Dispatch(effEditOpen, 0, 0, &parent);
    }
    ~Instance() { Dispatch(effClose); }
    VstIntPtr Dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr, float opt = 0.0f)
    {
        return effect->dispatcher(effect, opcode, index, value, ptr, opt);
    }
};

// Every gesture that tells the host: clicks, a drag of several steps, a double click (two
// changes), the wheel.
void WorkTheEditor(HeadlessWindow& window, int rounds)
{
    MouseKeys left, shiftLeft;
    left.left = shiftLeft.left = shiftLeft.shift = true;
    for (int i = 0; i < rounds; ++i) {
        window.MouseDown(100, 50, left);
        window.MouseUp(100, 50);
        window.MouseDown(60, 40, shiftLeft);
        for (int y = 38; y > 30; y -= 3) window.MouseMove(60, y, shiftLeft);
        window.MouseUp(60, 30);
        window.MouseDoubleClick(100, 50, left);
        window.MouseWheel(100, 50, MouseKeys(), 120);
        window.Tick();
    }
}

struct AudioRun {
    std::atomic<bool> stop{false};
    long blocks = 0;
    long blocksInsideAutomate = 0;
    long blocksOver100us = 0;
    Clock::duration longest{};

    // 64-frame blocks as fast as they come, each under the host's engine lock when it has one.
    void operator()(Instance& p, std::mutex* engine)
    {
        std::vector<double> l(64, 0.25), r(64, -0.25), ol(64), orr(64);
        double* in[2] = {l.data(), r.data()};
        double* out[2] = {ol.data(), orr.data()};
        while (!stop.load()) {
            std::unique_lock<std::mutex> held;
            if (engine) held = std::unique_lock<std::mutex>(*engine);
            const bool during = host->insideAutomate.load() > 0;
            const Clock::time_point start = Clock::now();
            p.effect->processDoubleReplacing(p.effect, in, out, 64);
            const Clock::duration took = Clock::now() - start;
            longest = std::max(longest, took);
            if (took > std::chrono::microseconds(100)) ++blocksOver100us;
            ++blocks;
            if (during && host->insideAutomate.load() > 0) ++blocksInsideAutomate;
            if (engine) {
                held.unlock();
                std::this_thread::yield();
            }
        }
    }
};

// Hung threads cannot be joined: the test ends the process with the reason.
void FinishWithin(std::future<void>& task, std::chrono::seconds limit, const char* what)
{
    if (task.wait_for(limit) == std::future_status::ready) return;
    std::fprintf(stderr, "%s did not finish within %lld s: a deadlock\n", what, static_cast<long long>(limit.count()));
    std::abort();
}

}  // namespace

TEST(AudioConcurrency, ASlowHostHearingOfTheUsersChangesNeverHoldsUpTheAudio)
{
    HostBehaviour slow;
    slow.automateTakes = std::chrono::milliseconds(20);
    host = &slow;
    Instance p;
    ASSERT_NE(p.window, nullptr);
    AudioRun audio;
    auto running = std::async(std::launch::async, [&] { audio(p, nullptr); });
    WorkTheEditor(*p.window, 3);
    audio.stop = true;
    FinishWithin(running, std::chrono::seconds(2), "the audio thread");

    // Each round tells the host of seven changes, each taking it 20 ms; the audio went on
    // meanwhile instead of waiting for the editor to be done with the host.
    EXPECT_GE(slow.automations.load(), 3 * 7);
    EXPECT_GT(audio.blocksInsideAutomate, 0);
    // Times are only reported: on a shared machine the scheduler alone may stall a thread.
    std::printf("%ld blocks, %ld while the host was being told, %ld over 100 us, the longest %.1f us\n",
                audio.blocks, audio.blocksInsideAutomate, audio.blocksOver100us,
                std::chrono::duration<double, std::micro>(audio.longest).count());
    host = nullptr;
}

TEST(AudioConcurrency, AHostLockAroundProcessAndAutomateNeverDeadlocks)
{
    std::mutex engine;
    HostBehaviour locking;
    locking.engine = &engine;
    host = &locking;
    Instance p;
    ASSERT_NE(p.window, nullptr);
    AudioRun audio;
    auto running = std::async(std::launch::async, [&] { audio(p, &engine); });
    auto editor = std::async(std::launch::async, [&] { WorkTheEditor(*p.window, 20); });
    FinishWithin(editor, std::chrono::seconds(2), "the editor thread");
    audio.stop = true;
    FinishWithin(running, std::chrono::seconds(2), "the audio thread");
    EXPECT_GE(locking.automations.load(), 20 * 7);
    EXPECT_GT(audio.blocks, 0);
    host = nullptr;
}
