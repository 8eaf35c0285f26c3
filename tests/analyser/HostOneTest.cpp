#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "../plugin/FakeHost.h"
#include "analyser/AnalyserPlugin.h"
#include "analyser/AnalyserView.h"
#include "graphics/native/HeadlessWindow.h"
#include "plugin/HostServices.h"
#include "plugin/native/HostWindowTree.h"
#include "tools/ExpectedStateChunk.h"

namespace {

int playState = 0;
void* mainWindow = nullptr;

int GetPlayState() { return playState; }
void* GetMainHwnd() { return mainWindow; }

// A host answering the lookups of its transport and main window, set up before the
// plug-in identifies it.
struct HostSetUp {
    explicit HostSetUp(const char* product)
    {
        HostWindowTree::Clear();
        FakeHost::Reset("Cockos", product);
        FakeHost::functions["GetPlayState"] = reinterpret_cast<VstIntPtr>(&GetPlayState);
        FakeHost::functions["GetMainHwnd"] = reinterpret_cast<VstIntPtr>(&GetMainHwnd);
        mainWindow = HostWindowTree::Add(nullptr, "main");
        playState = kHostPlaying;
    }
    ~HostSetUp() { HostWindowTree::Clear(); }
};

struct Instance : HostSetUp {
    explicit Instance(const char* product) : HostSetUp(product) { plugin.Dispatch(effOpen); }
    AnalyserPlugin* Analyser() const { return static_cast<AnalyserPlugin*>(PluginCore::FromRecord(plugin.get())); }
    void Pause(float value) const { plugin->setParameter(plugin.get(), AnalyserPlugin::kPause, value); }
    static std::vector<int> Posted()
    {
        std::vector<int> commands;
        for (const auto& posted : HostWindowTree::TakePosted()) commands.push_back(posted.command);
        return commands;
    }
    PluginUnderTest plugin;
};

using Commands = std::vector<int>;

}  // namespace

TEST(HostOne, OnlyTheUsersClickDrivesTheHostTransport)
{
    Instance host("REAPER");
    auto* window = HeadlessWindow::Of(host.Analyser()->GetGraphics());
    ASSERT_NE(window, nullptr);
    ASSERT_EQ(host.plugin.Dispatch(effEditOpen, 0, 0, mainWindow), 1);
    MouseKeys left;
    left.left = 1;
    auto click = [&] {
        window->MouseDown(100, 50, left);
        window->MouseUp(100, 50);
    };

    // The host's own automation, a paused state loaded with a project and the parameter
    // path itself leave the transport alone.
    host.Pause(1.0f);
    window->Tick();
    const std::vector<uint8_t> paused = host.plugin.GetChunk();
    host.Pause(0.0f);
    window->Tick();
    ASSERT_EQ(host.plugin.SetChunk(paused), 1);
    window->Tick();
    EXPECT_TRUE(host.Analyser()->View()->Paused());
    host.Analyser()->SetParameterFromEditor(AnalyserPlugin::kPause, 0.0);
    window->Tick();
    EXPECT_EQ(host.Posted(), Commands{});

    // A click pauses and plays the host with the display.
    playState = kHostPlaying;
    click();
    EXPECT_EQ(host.Posted(), Commands{kHostCommandPause});
    playState = kHostPaused;
    click();
    EXPECT_EQ(host.Posted(), Commands{kHostCommandPlay});
    // The host is where the click would take it: nothing to ask.
    click();
    EXPECT_EQ(host.Posted(), Commands{});

    for (int recording : {kHostRecording, kHostRecordPaused}) {
        playState = recording;
        click();
        click();
        EXPECT_EQ(host.Posted(), Commands{});
    }
}

TEST(HostOne, OtherHostsAreNeverAskedForTheirFunctions)
{
    for (const char* product : {"Test Host", "Cubase", "Live"}) {
        Instance host(product);
        host.Pause(1.0f);
        host.Analyser()->SetParameterFromEditor(AnalyserPlugin::kPause, 0.0);
        int parent = 0;
        host.plugin.Dispatch(effEditOpen, 0, 0, &parent);
        host.plugin.Dispatch(effEditIdle);
        EXPECT_EQ(FakeHost::Count(FakeHost::kLookupOpcode), 0u) << product;
        EXPECT_EQ(host.Posted(), Commands{}) << product;
    }
}

TEST(HostOne, FloatingWindowIsNamedAfterTheFxChain)
{
    Instance host("REAPER");
    void* chain = HostWindowTree::Add(nullptr, "Track 3 FX Chain: Quillograph");
    void* parent = HostWindowTree::Add(chain, "");
    auto* window = HeadlessWindow::Of(host.Analyser()->GetGraphics());
    ASSERT_NE(window, nullptr);
    ASSERT_EQ(host.plugin.Dispatch(effEditOpen, 0, 0, parent), 1);
    EXPECT_EQ(window->WindowTitle(), "Quillograph");
    host.plugin.Dispatch(effEditIdle);
    EXPECT_EQ(window->WindowTitle(), "Quillograph : Track 3");
    EXPECT_EQ(host.Analyser()->WindowTitle(), "Quillograph : Track 3");
    EXPECT_FALSE(host.Analyser()->TitlePending());

    // Reopened, the window is named again at once; the name is not looked for again.
    host.plugin.Dispatch(effEditClose);
    void* otherChain = HostWindowTree::Add(nullptr, "Track 4 FX Chain");
    ASSERT_EQ(host.plugin.Dispatch(effEditOpen, 0, 0, otherChain), 1);
    EXPECT_EQ(window->WindowTitle(), "Quillograph : Track 3");
    host.plugin.Dispatch(effEditIdle);
    EXPECT_EQ(window->WindowTitle(), "Quillograph : Track 3");
}

// A host that loads states on a worker thread: the windows are still made and named only on
// the thread of the editor, at its next tick or when it opens.
TEST(HostOne, StatesLoadedOnAnotherThreadLeaveTheWindowsToTheEditorsThread)
{
    Instance host("REAPER");
    HeadlessWindow* window = HeadlessWindow::Of(host.Analyser()->GetGraphics());
    const double values[4] = {2.0, 3.0, 1.0, 0.0};
    const int32_t colours[4][4] = {{255, 1, 2, 3}, {255, 4, 5, 6}, {255, 7, 8, 9}, {255, 10, 11, 12}};
    auto state = [&](const char* title, int32_t left, int32_t top, int32_t right, int32_t bottom) {
        ChunkBytes bytes = WindowSectionBytes("Host", title, left, top, right, bottom);
        const ChunkBytes section = ValueSectionBytes(values, colours);
        bytes.insert(bytes.end(), section.begin(), section.end());
        return bytes;
    };
    const ChunkBytes titled = state("Quillograph : Bus 2", 300, 200, 532, 296);
    const int32_t windows = HeadlessWindow::OpenWindowCount();
    std::thread([&] { EXPECT_EQ(host.plugin.SetChunk(titled), 1); }).join();
    EXPECT_EQ(HeadlessWindow::OpenWindowCount(), windows) << "no window made by the loading thread";
    ASSERT_EQ(host.plugin.Dispatch(effEditOpen, 0, 0, mainWindow), 1);
    EXPECT_EQ(window->FloatingRect(), Rect(300, 200, 532, 296));
    EXPECT_EQ(window->WindowTitle(), "Quillograph : Bus 2");

    // Open already: the worker's load renames nothing until the editor's next tick does.
    const ChunkBytes renamed = state("Quillograph : Bus 3", 0, 0, 0, 0);
    std::thread([&] { EXPECT_EQ(host.plugin.SetChunk(renamed), 1); }).join();
    EXPECT_EQ(window->WindowTitle(), "Quillograph : Bus 2");
    window->Tick();
    EXPECT_EQ(window->WindowTitle(), "Quillograph : Bus 3");
    EXPECT_EQ(window->FloatingRect(), Rect(300, 200, 532, 296)) << "an open window keeps its place";
}
