// The built Quillograph.clap as a host sees it: loaded with dlopen and driven through the CLAP
// interface only, on the threads the format names (tools/clap/ClapChecks), its editor in an
// X window of the test's own (the test runs under its own Xvfb). Beside those, what needs the
// plug-in's own code in this program: the state against the VST build's chunk, the picture
// against the VST build's editor for the same audio, and texts in a German locale.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "graphics/GraphicsRaster.h"
#include "graphics/SystemSurface.h"
#include "plugin/PluginCore.h"
#include "tests/GermanLocale.h"
#include "tests/XUser.h"
#include "tools/clap/ClapChecks.h"

// Last: Xlib's macros (Bool, None) would rename the plug-in's own names.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace {

ClapLibrary& Library()
{
    static ClapLibrary library(QUILLOGRAPH_CLAP_FILE);
    return library;
}

// The checks' report lines go to the test's output; any failed line fails the test.
#define EXPECT_CHECKS_PASS(call)      \
    do {                              \
        Report report;                \
        call;                         \
        report.Summary();             \
        EXPECT_EQ(report.Failed(), 0); \
    } while (0)

TEST(ClapPlugin, EntryFactoryDescriptorAndPorts)
{
    EXPECT_CHECKS_PASS(CheckClapEntry(Library(), report));
    // Where the editor's corner square looks for the user guide.
    const std::string path = QUILLOGRAPH_CLAP_FILE;
    std::FILE* guide = std::fopen((path.substr(0, path.rfind('/') + 1) + "Quillograph.html").c_str(), "rb");
    EXPECT_NE(guide, nullptr) << "no user guide beside the .clap";
    if (guide) std::fclose(guide);
}

TEST(ClapPlugin, AudioPassesBitForBitAtEveryRateAndBlockSize) { EXPECT_CHECKS_PASS(CheckClapAudio(Library(), report)); }

TEST(ClapPlugin, BadHostInputIsHarmless) { EXPECT_CHECKS_PASS(CheckClapBadInput(Library(), report)); }

TEST(ClapPlugin, ParametersTextsAndHostValues) { EXPECT_CHECKS_PASS(CheckClapParams(Library(), report)); }

TEST(ClapPlugin, StateIsTheVstChunkAndBrokenStreamsChangeNothing)
{
    EXPECT_CHECKS_PASS(CheckClapState(Library(), report));
}

TEST(ClapPlugin, TheThreadChecksSeeACallOnTheWrongThread)
{
    ClapTestHost host;
    ClapInstanceUnderTest plugin(Library(), host);
    ASSERT_TRUE(plugin.Made());
    const auto* params = plugin.Ext<clap_plugin_params_t>(CLAP_EXT_PARAMS);
    host.OnAudio([&] { params->count(plugin.Plugin()); });
    ASSERT_TRUE(plugin.Activate(48000.0, 1, 64));
    clap_process_t block = {};
    block.frames_count = 0;
    plugin.Plugin()->process(plugin.Plugin(), &block);  // on the main thread
    const std::vector<std::string> problems = host.TakeProblems();
    ASSERT_EQ(problems.size(), 2u);
    EXPECT_NE(problems[0].find("params.count"), std::string::npos) << problems[0];
    EXPECT_NE(problems[1].find("process"), std::string::npos) << problems[1];
}

TEST(ClapPlugin, TextsAreTheSameInAGermanLocale)
{
    GermanLocale german;
    SKIP_WITHOUT_GERMAN_LOCALE(german);
    ClapTestHost host;
    ClapInstanceUnderTest plugin(Library(), host);
    ASSERT_TRUE(plugin.Made());
    const auto* params = plugin.Ext<clap_plugin_params_t>(CLAP_EXT_PARAMS);
    char text[32];
    ASSERT_TRUE(params->value_to_text(plugin.Plugin(), 1, 2.5, text, sizeof text));
    EXPECT_STREQ(text, "2.50 x");
    double value = 0;
    ASSERT_TRUE(params->text_to_value(plugin.Plugin(), 1, "2.50 x", &value));
    EXPECT_EQ(value, 2.5);
    ASSERT_TRUE(params->text_to_value(plugin.Plugin(), 1, "0.75", &value));
    EXPECT_EQ(value, 0.75);
    EXPECT_TRUE(host.TakeProblems().empty());
}

// The VST build's object, made in this program: its chunk through the VST dispatcher.
struct VstPlugin {
    VstPlugin() : core(CreatePluginInstance(NoHost::Shared())) {}
    ~VstPlugin() { delete core; }
    std::vector<uint8_t> Chunk()
    {
        void* data = nullptr;
        AEffect* effect = core->Record();
        const VstIntPtr size = effect->dispatcher(effect, effGetChunk, 0, 0, &data, 0.0f);
        const auto* bytes = static_cast<const uint8_t*>(data);
        return size > 0 && bytes ? std::vector<uint8_t>(bytes, bytes + size) : std::vector<uint8_t>();
    }
    PluginCore* core;
};

TEST(ClapPlugin, StateBytesAreTheVstBuildsBothWays)
{
    const double values[][4] = {{1, 1, 0, 0}, {0, 0.1, 6, 1}, {3, 19.99, 2, 0}, {2, 7.25, 4, 1}};
    for (const auto& v : values) {
        VstPlugin vst;
        ClapTestHost host;
        ClapInstanceUnderTest clap(Library(), host);
        ASSERT_TRUE(clap.Made());
        ClapEventList events;
        ClapOutputList sent;
        for (int i = 0; i < 4; ++i) {
            vst.core->SetPlainFromHost(i, v[i]);
            events.AddParamValue(static_cast<clap_id>(i), v[i]);
        }
        clap.Flush(events, sent);
        const std::vector<uint8_t> chunk = vst.Chunk();
        ASSERT_FALSE(chunk.empty());
        EXPECT_EQ(clap.Save(), chunk) << "values " << v[0] << " " << v[1] << " " << v[2] << " " << v[3];

        // The VST chunk into a fresh CLAP instance, and its save back into a fresh VST object.
        ClapTestHost otherHost;
        ClapInstanceUnderTest other(Library(), otherHost);
        ClapMemoryIn stream(chunk);
        ASSERT_TRUE(other.Load(stream));
        for (int i = 0; i < 4; ++i) EXPECT_EQ(other.Value(static_cast<clap_id>(i)), v[i]);
        const std::vector<uint8_t> back = other.Save();
        VstPlugin fresh;
        AEffect* effect = fresh.core->Record();
        ASSERT_EQ(effect->dispatcher(effect, effSetChunk, 0, static_cast<VstIntPtr>(back.size()),
                                     const_cast<uint8_t*>(back.data()), 0.0f),
                  1);
        for (int i = 0; i < 4; ++i) EXPECT_EQ(fresh.core->ParamAt(i).Value(), v[i]);
        EXPECT_TRUE(host.TakeProblems().empty());
        EXPECT_TRUE(otherHost.TakeProblems().empty());
    }
}

// ---------------------------------------------------------------------------------------------
// The editor in X windows

int IgnoreXErrors(Display*, XErrorEvent*) { return 0; }

struct XHost {
    XHost() : display(XOpenDisplay(nullptr))
    {
        if (display) XSetErrorHandler(IgnoreXErrors);
    }
    ~XHost()
    {
        if (display) XCloseDisplay(display);
    }
    ClapWindowHooks Hooks()
    {
        ClapWindowHooks hooks;
        hooks.api = CLAP_WINDOW_API_X11;
        hooks.needsTimer = true;
        hooks.makeParent = [this] {
            const Window w = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 700, 300, 0, 0, 0);
            XMapWindow(display, w);
            XSync(display, False);
            clap_window_t window;
            window.api = CLAP_WINDOW_API_X11;
            window.x11 = w;
            return window;
        };
        hooks.destroyParent = [this](const clap_window_t& w) {
            XDestroyWindow(display, w.x11);
            XSync(display, False);
        };
        hooks.childOf = [this](const clap_window_t& w) -> uintptr_t {
            XSync(display, False);
            Window root = 0, parent = 0, *children = nullptr;
            unsigned count = 0;
            if (!XQueryTree(display, w.x11, &root, &parent, &children, &count)) return 0;
            const uintptr_t first = count > 0 ? children[0] : 0;
            if (children) XFree(children);
            return first;
        };
        hooks.serve = [this](int ms) {
            XSync(display, False);
            std::this_thread::sleep_for(std::chrono::milliseconds(ms));
        };
        hooks.click = [this](uintptr_t editor, int x, int y, bool ctrl) {
            const unsigned state = ctrl ? ControlMask : 0;
            SendButton(display, editor, ButtonPress, Button1, x, y, state);
            SendButton(display, editor, ButtonRelease, Button1, x, y, state | Button1Mask);
            XSync(display, False);
        };
        hooks.drag = [this](uintptr_t editor, int x, int y, int dy, bool shift) {
            const unsigned state = shift ? ShiftMask : 0;
            SendButton(display, editor, ButtonPress, Button1, x, y, state);
            for (int step = 1; step <= 3; ++step) SendMotion(display, editor, x, y + dy * step / 3, state | Button1Mask);
            SendButton(display, editor, ButtonRelease, Button1, x, y + dy, state | Button1Mask);
            XSync(display, False);
        };
        return hooks;
    }
    Display* display;
};

std::vector<uint32_t> WindowPixels(Display* display, Window window)
{
    XSync(display, False);
    XImage* image = XGetImage(display, window, 0, 0, 232, 96, AllPlanes, ZPixmap);
    std::vector<uint32_t> pixels;
    if (!image) return pixels;
    for (int y = 0; y < 96; ++y)
        for (int x = 0; x < 232; ++x) pixels.push_back(static_cast<uint32_t>(XGetPixel(image, x, y)) & 0xFFFFFFu);
    XDestroyImage(image);
    return pixels;
}

TEST(ClapPlugin, EditorEmbedsSendsGesturesAndAsksForRoom)
{
    XHost x;
    ASSERT_NE(x.display, nullptr) << "no X server (the test runs under tests/with-xvfb.sh)";
    EXPECT_CHECKS_PASS(CheckClapEditor(Library(), x.Hooks(), report));
}

TEST(ClapPlugin, WithoutTheHostsTimerOrWatchThereIsNoEditorOnLinux)
{
    ClapTestHost host;
    host.offerTimers = false;
    ClapInstanceUnderTest plugin(Library(), host);
    ASSERT_TRUE(plugin.Made());
    const auto* gui = plugin.Ext<clap_plugin_gui_t>(CLAP_EXT_GUI);
    EXPECT_FALSE(gui->create(plugin.Plugin(), CLAP_WINDOW_API_X11, false));
    EXPECT_TRUE(host.TakeProblems().empty());
}

// A host whose timers are slow (Qtractor's run five times a second) or absent but that
// watches file descriptors: the editor's own timer file keeps it at its frame rate.
TEST(ClapPlugin, AWatchedTimerFileDrivesTheEditor)
{
    XHost x;
    ASSERT_NE(x.display, nullptr);
    for (bool timersToo : {false, true}) {
        ClapTestHost host;
        host.offerTimers = timersToo;
        host.offerFds = true;
        ClapInstanceUnderTest plugin(Library(), host);
        ASSERT_TRUE(plugin.Made());
        const auto* gui = plugin.Ext<clap_plugin_gui_t>(CLAP_EXT_GUI);
        ClapWindowHooks hooks = x.Hooks();
        const clap_window_t parent = hooks.makeParent();
        ASSERT_TRUE(gui->create(plugin.Plugin(), CLAP_WINDOW_API_X11, false));
        EXPECT_EQ(host.fds.size(), 1u);
        EXPECT_EQ(host.timers.size(), timersToo ? 1u : 0u);
        ASSERT_TRUE(gui->set_parent(plugin.Plugin(), &parent));
        const Window editor = static_cast<Window>(hooks.childOf(parent));
        // Only the watch serves the editor here: its first picture shows within a few frames.
        std::map<clap_id, uint32_t> timers;
        timers.swap(host.timers);
        int lit = 0;
        for (int round = 0; round < 20 && lit < 500; ++round) {
            RunClapTimers(plugin, hooks, 30);
            lit = 0;
            for (uint32_t p : WindowPixels(x.display, editor)) lit += p != 0;
        }
        EXPECT_GE(lit, 500) << "the editor drew its picture";
        host.timers.swap(timers);
        gui->destroy(plugin.Plugin());
        EXPECT_TRUE(host.fds.empty());
        EXPECT_TRUE(host.timers.empty());
        hooks.destroyParent(parent);
        EXPECT_TRUE(host.TakeProblems().empty());
    }
}

// The editor's clicks reach the host through the blocks of an audio thread that runs all the
// while: every gesture whole and in order, none lost, and the audio thread never waits.
TEST(ClapPlugin, ConcurrencyEditsReachTheHostThroughRunningAudio)
{
    XHost x;
    ASSERT_NE(x.display, nullptr);
    ClapTestHost host;
    ClapInstanceUnderTest plugin(Library(), host);
    ASSERT_TRUE(plugin.Made());
    const auto* gui = plugin.Ext<clap_plugin_gui_t>(CLAP_EXT_GUI);
    ClapWindowHooks hooks = x.Hooks();
    const clap_window_t parent = hooks.makeParent();
    ASSERT_TRUE(gui->create(plugin.Plugin(), CLAP_WINDOW_API_X11, false));
    ASSERT_TRUE(gui->set_parent(plugin.Plugin(), &parent));
    const uintptr_t editor = hooks.childOf(parent);
    ASSERT_TRUE(plugin.Activate(48000.0, 1, 64));
    RunClapTimers(plugin, hooks, 60);

    std::atomic<bool> stop{false};
    ClapOutputList sent;
    sent.room = 0;  // the host takes one event a block, at most
    std::thread audio([&] {
        host.OnAudio([&] {
            const clap_plugin_t* p = plugin.Plugin();
            p->start_processing(p);
            std::vector<float> in(64, 0.25f), out(64);
            float* ins[2] = {in.data(), in.data()};
            float* outs[2] = {out.data(), out.data()};
            ClapEventList none;
            ClapStereoBlock block(ins, outs, 64, none.List(), sent.List());
            while (!stop.load()) {
                ++sent.room;
                p->process(p, &block.process);
                std::this_thread::sleep_for(std::chrono::microseconds(300));
            }
            p->stop_processing(p);
        });
    });
    const int kClicks = 12;
    for (int i = 0; i < kClicks; ++i) {
        // Apart by more than the double-click box.
        hooks.click(editor, i % 2 ? 150 : 100, 50, false);
        RunClapTimers(plugin, hooks, 40);
    }
    RunClapTimers(plugin, hooks, 100);
    stop = true;
    audio.join();
    plugin.Deactivate();

    std::string expected;
    for (int i = 0; i < kClicks; ++i)
        expected += std::string(i ? " " : "") + "begin(3) value(3=" + (i % 2 ? "0" : "1") + ") end(3)";
    std::string got;
    for (const ClapSentEvent& e : sent.sent) {
        got += got.empty() ? "" : " ";
        got += e.type == CLAP_EVENT_PARAM_GESTURE_BEGIN ? "begin(" + std::to_string(e.param) + ")"
               : e.type == CLAP_EVENT_PARAM_GESTURE_END ? "end(" + std::to_string(e.param) + ")"
                                                        : "value(" + std::to_string(e.param) + "=" +
                                                              std::to_string(static_cast<int>(e.value)) + ")";
    }
    EXPECT_EQ(got, expected);
    gui->destroy(plugin.Plugin());
    hooks.destroyParent(parent);
    EXPECT_TRUE(host.TakeProblems().empty());
}

// The same audio through the CLAP plug-in and through the VST build's object: the editors
// show the same pixels.
std::vector<float> Signal(int frames, int channel)
{
    std::vector<float> s(static_cast<size_t>(frames));
    uint32_t noise = 12345u + static_cast<uint32_t>(channel);
    for (int i = 0; i < frames; ++i) {
        noise = noise * 1664525u + 1013904223u;
        const double n = (static_cast<double>(noise >> 8) / 16777216.0 - 0.5) * 0.05;
        s[static_cast<size_t>(i)] = static_cast<float>(0.5 * std::sin(i * (channel ? 0.031 : 0.0123)) + n);
    }
    return s;
}

TEST(ClapPlugin, ThePictureIsTheVstBuildsForTheSameAudio)
{
    XHost x;
    ASSERT_NE(x.display, nullptr);
    // As much audio as the editor's staging holds between two pictures.
    const int kFrames = 24000, kBlock = 480;
    const std::vector<float> left = Signal(kFrames, 0), right = Signal(kFrames, 1);
    for (double domain : {1.0, 0.0, 2.0, 3.0}) {
        // The VST build's object and its editor, drawn off screen.
        VstPlugin vst;
        auto* raster = dynamic_cast<GraphicsRaster*>(GraphicsOf(vst.core));
        ASSERT_NE(raster, nullptr);
        vst.core->SetPlainFromHost(0, domain);
        vst.core->SetSampleRate(48000.0f);
        vst.core->SetBlockSize(kBlock);
        vst.core->SetActive(true);
        ASSERT_TRUE(raster->OpenWindow(nullptr));
        raster->Tick();

        ClapTestHost host;
        ClapInstanceUnderTest clap(Library(), host);
        ASSERT_TRUE(clap.Made());
        ClapEventList events;
        ClapOutputList sent;
        events.AddParamValue(0, domain);
        clap.Flush(events, sent);
        ASSERT_TRUE(clap.Activate(48000.0, kBlock, kBlock));
        ClapWindowHooks hooks = x.Hooks();
        const auto* gui = clap.Ext<clap_plugin_gui_t>(CLAP_EXT_GUI);
        const clap_window_t parent = hooks.makeParent();
        ASSERT_TRUE(gui->create(clap.Plugin(), CLAP_WINDOW_API_X11, false));
        gui->set_scale(clap.Plugin(), 1.0);
        ASSERT_TRUE(gui->set_parent(clap.Plugin(), &parent));
        const Window editor = static_cast<Window>(hooks.childOf(parent));
        ASSERT_NE(editor, 0u);
        RunClapTimers(clap, hooks, 60);

        for (int at = 0; at < kFrames; at += kBlock) {
            std::vector<float> in[2] = {std::vector<float>(left.begin() + at, left.begin() + at + kBlock),
                                        std::vector<float>(right.begin() + at, right.begin() + at + kBlock)};
            std::vector<float> out[2] = {std::vector<float>(kBlock), std::vector<float>(kBlock)};
            clap.ProcessStereo(in, out, kBlock, false);
            float* ins[2] = {in[0].data(), in[1].data()};
            float* outs[2] = {out[0].data(), out[1].data()};
            vst.core->ProcessFloats(ins, outs, kBlock);
        }
        // Both editors take up the audio and draw until their pictures stand still.
        std::vector<uint32_t> reference, shown, previous;
        for (int tick = 0; tick < 100; ++tick) {
            raster->Tick();
            const SystemSurface& surface = *raster->DrawingSurface();
            std::vector<uint32_t> now;
            for (int y = 0; y < 96; ++y)
                for (int xx = 0; xx < 232; ++xx) now.push_back(SurfaceRow(surface, y)[xx] & 0xFFFFFFu);
            if (now == reference) break;
            reference = now;
        }
        for (int round = 0; round < 40; ++round) {
            RunClapTimers(clap, hooks, 50);
            shown = WindowPixels(x.display, editor);
            if (shown == previous) break;
            previous = shown;
        }
        ASSERT_EQ(shown.size(), reference.size());
        int differ = 0;
        for (size_t i = 0; i < shown.size(); ++i) differ += shown[i] != reference[i];
        EXPECT_EQ(differ, 0) << "domain " << domain << ": pixels that differ from the VST build's editor";
        int lit = 0;
        for (uint32_t p : shown) lit += p != 0;
        EXPECT_GT(lit, 500) << "the picture shows something";
        gui->destroy(clap.Plugin());
        hooks.destroyParent(parent);
        raster->CloseWindow();
        EXPECT_TRUE(host.TakeProblems().empty());
    }
}

}  // namespace
