#include <gtest/gtest.h>

#include <vector>

#include "../plugin/FakeHost.h"
#include "analyser/AnalyserPlugin.h"
#include "analyser/AnalyserView.h"
#include "graphics/native/HeadlessWindow.h"
#include "plugin/HostServices.h"
#include "plugin/native/HostWindowTree.h"

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
