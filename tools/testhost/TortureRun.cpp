#include "tools/testhost/TortureRun.h"

#include <windows.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <limits>
#include <mutex>
#include <random>
#include <string>
#include <thread>
#include <memory>
#include <vector>

#include "tools/testhost/EditorHost.h"
#include "tools/testhost/PluginInstance.h"

namespace {

constexpr int kInstances = 16;
constexpr int kAudioThreads = 4;
constexpr int kMaxBlock = 8192;
constexpr int kWatchdogSeconds = 50;

// The callback of this host may be entered from every thread at once: it answers the
// identity queries and counts automation from the editors.
std::atomic<long> automations{0};
// Some automation calls are slow, as in a host that records them to disk: the audio threads
// must go on meanwhile, since the plug-in holds nothing of theirs through the call.
constexpr long kSlowAutomationEvery = 4;
constexpr long kMostSlowAutomations = 40;

VstIntPtr VSTCALLBACK TortureCallback(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void* ptr, float)
{
    switch (opcode) {
    case audioMasterVersion:
        return 2400;
    case audioMasterGetVendorString:
        if (ptr) std::snprintf(static_cast<char*>(ptr), kVstMaxVendorStrLen, "%s", "Quillograph");
        return ptr ? 1 : 0;
    case audioMasterGetProductString:
        if (ptr) std::snprintf(static_cast<char*>(ptr), kVstMaxProductStrLen, "%s", "Torture Host");
        return ptr ? 1 : 0;
    case audioMasterGetVendorVersion:
        return 1;
    case audioMasterAutomate: {
        const long n = ++automations;
        if (n % kSlowAutomationEvery == 0 && n / kSlowAutomationEvery <= kMostSlowAutomations) Sleep(15);
        return 0;
    }
    default:
        return 0;
    }
}

struct Tally {
    std::atomic<long> blocks{0};
    std::atomic<long> frames{0};
    std::atomic<long> altered{0};      // blocks whose output differed from their input
    std::atomic<long> stateTrips{0};
    std::atomic<long> stateRefused{0};
    std::atomic<long> rateChanges{0};
    std::atomic<long> editorSessions{0};
    std::atomic<long> mouseMessages{0};  // sent to editors by the user's thread
    std::atomic<bool> statesSupported{false};
};

// Input samples: mostly music-like values, now and then the odd ones a host may carry.
template <typename T>
T Sample(std::mt19937& rng)
{
    const uint32_t r = rng();
    switch (r % 97) {
    case 0: return std::numeric_limits<T>::quiet_NaN();
    case 1: return std::numeric_limits<T>::infinity();
    case 2: return std::numeric_limits<T>::denorm_min() * T(r % 5 + 1);
    case 3: return -std::numeric_limits<T>::max();
    default: return static_cast<T>(static_cast<int32_t>(r) / 2147483648.0);
    }
}

bool Same(const void* a, const void* b, size_t bytes) { return std::memcmp(a, b, bytes) == 0; }

// One block through one of the three audio callbacks; the outputs must equal the inputs.
void Block(const PluginInstance& p, std::mt19937& rng, Tally& tally)
{
    AEffect* e = p.get();
    const int frames = static_cast<int>(rng() % (kMaxBlock + 1));
    const int variant = static_cast<int>(rng() % 3);
    const size_t n = static_cast<size_t>(frames);
    bool exact = true;
    if (variant == 2) {
        std::vector<double> in[2], out[2];
        for (int c = 0; c < 2; ++c) {
            in[c].resize(n);
            out[c].assign(n, 0.5);
            for (double& x : in[c]) x = Sample<double>(rng);
        }
        const std::vector<double> keep[2] = {in[0], in[1]};
        double* inputs[2] = {in[0].data(), in[1].data()};
        double* outputs[2] = {out[0].data(), out[1].data()};
        e->processDoubleReplacing(e, inputs, outputs, frames);
        for (int c = 0; c < 2; ++c)
            exact = exact && Same(out[c].data(), keep[c].data(), n * sizeof(double)) &&
                    Same(in[c].data(), keep[c].data(), n * sizeof(double));
    } else {
        // The accumulating callback adds to silence, so plain values must come back exact;
        // the replacing one must carry even NaN, infinity and denormals bit for bit.
        std::vector<float> in[2], out[2];
        for (int c = 0; c < 2; ++c) {
            in[c].resize(n);
            out[c].assign(n, variant == 0 ? 0.0f : 0.25f);
            for (float& x : in[c])
                x = variant == 0 ? static_cast<float>(static_cast<int32_t>(rng() | 1) / 2147483648.0)
                                 : Sample<float>(rng);
        }
        const std::vector<float> keep[2] = {in[0], in[1]};
        float* inputs[2] = {in[0].data(), in[1].data()};
        float* outputs[2] = {out[0].data(), out[1].data()};
        if (variant == 0)
            e->process(e, inputs, outputs, frames);
        else
            e->processReplacing(e, inputs, outputs, frames);
        for (int c = 0; c < 2; ++c)
            exact = exact && Same(out[c].data(), keep[c].data(), n * sizeof(float)) &&
                    Same(in[c].data(), keep[c].data(), n * sizeof(float));
    }
    ++tally.blocks;
    tally.frames += frames;
    if (!exact) ++tally.altered;
}

// All four parameters, many times, with the values automation curves and broken hosts send.
void AutomationStorm(const PluginInstance& p, std::mt19937& rng)
{
    AEffect* e = p.get();
    static const float odd[] = {0.0f, 1.0f, -0.5f, 1.5f, std::numeric_limits<float>::quiet_NaN(),
                                std::numeric_limits<float>::infinity(), 1e-30f};
    for (int k = 0; k < 8; ++k)
        for (VstInt32 p = 0; p < 4; ++p) {
            const float v = rng() % 8 == 0 ? odd[rng() % (sizeof odd / sizeof odd[0])]
                                           : static_cast<float>(rng() % 10001) / 10000.0f;
            e->setParameter(e, p, v);
            (void)e->getParameter(e, p);
        }
}

void AudioThread(const std::vector<const PluginInstance*>& mine, int rounds, unsigned seed, Tally& tally)
{
    std::mt19937 rng(seed);
    for (int round = 0; round < rounds; ++round) {
        for (const PluginInstance* p : mine) {
            AutomationStorm(*p, rng);
            Block(*p, rng, tally);
            if (rng() % 4 == 0) {
                const std::vector<uint8_t> state = p->GetChunk();
                if (!state.empty()) {
                    tally.statesSupported = true;
                    ++tally.stateTrips;
                    if (p->SetChunk(state) != 1) ++tally.stateRefused;
                }
            }
        }
        // A host's audio thread waits for the next period of its device.
        std::this_thread::sleep_for(std::chrono::milliseconds(2 + rng() % 8));
    }
}

// What a user and the host's own thread do to one editor while the audio threads run.
void EditorSession(const PluginInstance& p, HWND frame, std::mt19937& rng, Tally& tally)
{
    AEffect* e = p.get();
    if (p.Dispatch(effEditOpen, 0, 0, frame) != 1) return;
    HWND editor = FindWindowExA(frame, nullptr, "VireoWndClass", nullptr);
    if (!editor) {
        for (HWND top = FindWindowExA(nullptr, nullptr, "VireoWndClass", nullptr); top;
             top = FindWindowExA(nullptr, top, "VireoWndClass", nullptr))
            if (GetWindow(top, GW_OWNER) == frame) editor = top;
    }
    EditorHost::Pump(60);
    auto send = [&](UINT message, WPARAM w, LPARAM l) {
        SendMessageA(editor, message, w, l);
        ++tally.mouseMessages;
    };
    for (int k = 0; editor && k < 12; ++k) {
        const int x = static_cast<int>(rng() % 260) - 10;
        int y = static_cast<int>(rng() % 120) - 10;
        // The bottom-right corner opens the user guide in a browser: not here.
        if (x >= 200 && y >= 70) y -= 50;
        switch (rng() % 7) {
        case 0:
            send(WM_LBUTTONDOWN, MK_LBUTTON, Point(x, y));
            send(WM_MOUSEMOVE, MK_LBUTTON, Point(x + 3, y - 7));
            send(WM_LBUTTONUP, 0, Point(x + 3, y - 7));
            break;
        case 1:
            send(WM_LBUTTONDBLCLK, MK_LBUTTON, Point(x, y));
            send(WM_LBUTTONUP, 0, Point(x, y));
            break;
        case 2: {
            RECT r = {};
            GetWindowRect(editor, &r);
            const WORD keys = rng() % 2 ? MK_CONTROL : 0;
            send(WM_MOUSEWHEEL, MAKEWPARAM(keys, rng() % 2 ? 120 : -240), Point(r.left + x, r.top + y));
            break;
        }
        case 3:
            send(WM_LBUTTONDOWN, MK_LBUTTON | MK_SHIFT, Point(x, y));
            send(WM_MOUSEMOVE, MK_LBUTTON | MK_SHIFT, Point(x, y + 20));
            send(WM_LBUTTONUP, MK_SHIFT, Point(x, y + 20));
            break;
        case 4:
            send(WM_MOUSELEAVE, 0, 0);
            break;
        case 5:
            // A plain right click; with modifiers it would open the modal colour chooser.
            send(WM_RBUTTONDOWN, MK_RBUTTON, Point(x, y));
            send(WM_RBUTTONUP, 0, Point(x, y));
            break;
        default:
            send(WM_MOUSEMOVE, 0, Point(x, y));
            break;
        }
        if (rng() % 3 == 0) {
            static const float rates[] = {22050.0f, 44100.0f, 48000.0f, 96000.0f, 192000.0f};
            p.Dispatch(effSetSampleRate, 0, 0, nullptr, rates[rng() % 5]);
            ++tally.rateChanges;
        }
        e->setParameter(e, static_cast<VstInt32>(rng() % 4), static_cast<float>(rng() % 101) / 100.0f);
        p.Dispatch(effEditIdle);
        EditorHost::Pump(rng() % 2 ? 45 : 5);
    }
    if (rng() % 4 == 0) {
        // A host that suspends, changes rate and block size, and resumes mid-stream.
        p.Dispatch(effMainsChanged, 0, 0);
        p.Start(rng() % 2 ? 48000.0f : 44100.0f, kMaxBlock);
        ++tally.rateChanges;
    }
    p.Dispatch(effEditClose);
    ++tally.editorSessions;
}

class Watchdog {
public:
    explicit Watchdog(int seconds)
        : thread([this, seconds] {
              std::unique_lock<std::mutex> hold(mutex);
              if (!done.wait_for(hold, std::chrono::seconds(seconds), [this] { return finished; })) {
                  std::printf("FAIL torture: not finished within %d s (a deadlock or a hang)\n", seconds);
                  std::fflush(stdout);
                  TerminateProcess(GetCurrentProcess(), 3);
              }
          })
    {
    }
    ~Watchdog()
    {
        {
            std::lock_guard<std::mutex> hold(mutex);
            finished = true;
        }
        done.notify_all();
        thread.join();
    }

private:
    std::mutex mutex;
    std::condition_variable done;
    bool finished = false;
    std::thread thread;
};

}  // namespace

void RunTorture(const PluginModule& module, int rounds, Report& report)
{
    Watchdog watchdog(kWatchdogSeconds);
    const DWORD start = GetTickCount();
    std::vector<std::unique_ptr<PluginInstance>> instances;
    for (int i = 0; i < kInstances; ++i) {
        std::unique_ptr<PluginInstance> p(new PluginInstance(module.Entry(), TortureCallback));
        if (!*p) break;
        p->Start(44100.0f, kMaxBlock);
        instances.push_back(std::move(p));
    }
    if (!report.Check(instances.size() == kInstances, std::to_string(kInstances) + " instances made")) return;

    HWND frame = CreateWindowExA(0, "STATIC", "Quillograph torture host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40, 400,
                                 240, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    Tally tally;
    std::atomic<int> running{kAudioThreads};
    std::vector<std::thread> audio;
    for (int t = 0; t < kAudioThreads; ++t) {
        std::vector<const PluginInstance*> mine;
        for (int i = t * (kInstances / kAudioThreads); i < (t + 1) * (kInstances / kAudioThreads); ++i)
            mine.push_back(instances[static_cast<size_t>(i)].get());
        audio.emplace_back([mine, rounds, t, &tally, &running] {
            AudioThread(mine, rounds, 1000u + static_cast<unsigned>(t), tally);
            --running;
        });
    }
    std::mt19937 rng(7);
    for (int k = 0; running > 0; ++k) {
        if (frame) EditorSession(*instances[static_cast<size_t>(k) % instances.size()], frame, rng, tally);
        else EditorHost::Pump(20);
    }
    for (std::thread& t : audio) t.join();
    EditorHost::Pump(50);
    const DWORD elapsed = GetTickCount() - start;

    std::printf("torture: %d rounds on %d threads, %ld blocks (%ld frames), %ld editor sessions, %ld rate changes, "
                "%ld state round trips, %ld automation messages from editors, %lu ms\n",
                rounds, kAudioThreads, tally.blocks.load(), tally.frames.load(), tally.editorSessions.load(),
                tally.rateChanges.load(), tally.stateTrips.load(), automations.load(),
                static_cast<unsigned long>(elapsed));
    // How well the user's thread keeps working while the audio threads are busy.
    const double seconds = elapsed / 1000.0;
    std::printf("torture: the editor thread sent %ld mouse messages and opened %ld editors: %.1f and %.1f a second\n",
                tally.mouseMessages.load(), tally.editorSessions.load(), tally.mouseMessages / seconds,
                tally.editorSessions / seconds);
    report.Check(tally.blocks == static_cast<long>(rounds) * kInstances, "every block of every round was processed");
    report.Check(tally.altered == 0, std::to_string(tally.altered.load()) + " blocks came out altered");
    report.Check(tally.editorSessions > 0, "editors opened, clicked and closed while the audio ran");
    if (!tally.statesSupported) {
        std::printf("note the plug-in answers no state: save/load and reload not checked\n");
    } else {
        report.Check(tally.stateRefused == 0, "every state saved between blocks loaded again");
        // Each final state loads into a new instance, which then shows the host the same
        // parameters and saves a state that itself reloads unchanged. (Host values below 0
        // leave plain values below the range, which a load clamps: such states are equal to
        // the host, not byte for byte.)
        int reloaded = 0;
        int identical = 0;
        for (const auto& p : instances) {
            const std::vector<uint8_t> state = p->GetChunk();
            PluginInstance fresh(module.Entry(), TortureCallback);
            if (!fresh) continue;
            fresh.Dispatch(effOpen);
            bool same = !state.empty() && fresh.SetChunk(state) == 1;
            for (VstInt32 i = 0; i < 4; ++i)
                same = same && fresh->getParameter(fresh.get(), i) == (*p)->getParameter(p->get(), i);
            const std::vector<uint8_t> again = fresh.GetChunk();
            identical += same && again == state;
            same = same && fresh.SetChunk(again) == 1 && fresh.GetChunk() == again;
            reloaded += same;
        }
        report.Check(reloaded == kInstances, std::to_string(reloaded) + " of " + std::to_string(kInstances) +
                                                 " final states reload into new instances (" +
                                                 std::to_string(identical) + " byte for byte)");
    }
    for (const auto& p : instances) p->Dispatch(effMainsChanged, 0, 0);
    instances.clear();
    if (frame) DestroyWindow(frame);
}
