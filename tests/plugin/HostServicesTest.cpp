#include <gtest/gtest.h>

#include <string>

#include "FakeHost.h"
#include "plugin/HostServices.h"
#include "plugin/Module.h"
#include "plugin/PluginCore.h"
#include "plugin/native/HostWindowTree.h"

namespace {

int playState = 0;
void* mainWindow = nullptr;

int GetPlayState() { return playState; }
void* GetMainHwnd() { return mainWindow; }

VstIntPtr Address(int (*function)()) { return reinterpret_cast<VstIntPtr>(function); }
VstIntPtr Address(void* (*function)()) { return reinterpret_cast<VstIntPtr>(function); }

// The host is set up before the plug-in identifies it.
struct HostSetUp {
    HostSetUp(const char* product, bool offersFunctions)
    {
        HostWindowTree::Clear();
        FakeHost::Reset("Cockos", product);
        if (offersFunctions) {
            FakeHost::functions["GetPlayState"] = Address(GetPlayState);
            FakeHost::functions["GetMainHwnd"] = Address(GetMainHwnd);
        }
        mainWindow = HostWindowTree::Add(nullptr, "main");
        playState = 0;
    }
};

// A host posing as `product` whose transport is in playState, with a main window.
struct TransportHost : HostSetUp {
    explicit TransportHost(const char* product = "REAPER", bool offersFunctions = true)
        : HostSetUp(product, offersFunctions)
    {
    }
    ~TransportHost() { HostWindowTree::Clear(); }
    const PluginCore& Core() const { return *PluginCore::FromRecord(plugin.get()); }
    // The commands posted to the main window since the last look.
    std::vector<int> Posted() const
    {
        std::vector<int> commands;
        for (const auto& posted : HostWindowTree::TakePosted()) {
            EXPECT_EQ(posted.window, mainWindow);
            commands.push_back(posted.command);
        }
        return commands;
    }
    PluginUnderTest plugin;
};

}  // namespace

TEST(HostServices, LookupAsksTheHostCallbackByName)
{
    TransportHost host;
    FakeHost::calls.clear();
    EXPECT_EQ(LookupHostFunction("GetPlayState"), reinterpret_cast<void*>(Address(GetPlayState)));
    ASSERT_EQ(FakeHost::calls.size(), 1u);
    const HostCall& call = FakeHost::calls[0];
    EXPECT_EQ(call.effect, nullptr);
    EXPECT_EQ(static_cast<uint32_t>(call.opcode), 0xDEADBEEFu);
    EXPECT_EQ(static_cast<uint32_t>(call.index), 0xDEADF00Du);
    EXPECT_EQ(call.value, 0);
    EXPECT_EQ(call.opt, 0.0f);
    EXPECT_EQ(call.name, "GetPlayState");

    EXPECT_EQ(LookupHostFunction("GetSomethingElse"), nullptr);
    EXPECT_EQ(LookupHostFunction(nullptr), nullptr);
    const audioMasterCallback saved = HostCallbackRef();
    HostCallbackRef() = nullptr;
    EXPECT_EQ(LookupHostFunction("GetPlayState"), nullptr);
    HostCallbackRef() = saved;
}

TEST(HostServices, TransportCommandForEveryStateAndRequest)
{
    TransportHost host;
    const int states[] = {kHostStopped, kHostPlaying, kHostPaused, kHostRecording, kHostRecordPaused};
    const int commands[] = {kHostCommandStop, kHostCommandPlay, kHostCommandPause};
    for (int state : states) {
        for (int request = -1; request <= 3; ++request) {
            playState = state;
            EXPECT_EQ(SetHostTransport(host.Core(), request), state);
            const bool known = request >= 0 && request <= 2;
            const bool recording = state == kHostRecording || state == kHostRecordPaused;
            std::vector<int> expected;
            if (known && !recording && state != request) expected.push_back(commands[request]);
            EXPECT_EQ(host.Posted(), expected) << "state " << state << " request " << request;
        }
    }
}

TEST(HostServices, TransportIsLeftAloneWithoutTheHostsFunctionsOrWindow)
{
    {
        // Most hosts answer the lookup with 0.
        TransportHost host("REAPER", false);
        playState = kHostPlaying;
        EXPECT_EQ(SetHostTransport(host.Core(), kHostPause), 0);
        PostHostCommand(kHostCommandPause);
        EXPECT_TRUE(host.Posted().empty());
    }
    {
        TransportHost host;
        playState = kHostPlaying;
        FakeHost::functions.erase("GetMainHwnd");
        SetHostTransport(host.Core(), kHostPause);
        EXPECT_TRUE(host.Posted().empty());
        FakeHost::functions["GetMainHwnd"] = Address(GetMainHwnd);
        for (void* notWindow : {static_cast<void*>(nullptr), reinterpret_cast<void*>(0xBAD0)}) {
            mainWindow = notWindow;
            SetHostTransport(host.Core(), kHostPause);
            PostHostCommand(kHostCommandStop);
            EXPECT_TRUE(host.Posted().empty());
        }
    }
    {
        // A host that would answer is never asked unless it is host id 1.
        TransportHost host("Cubase");
        playState = kHostPlaying;
        FakeHost::calls.clear();
        EXPECT_EQ(SetHostTransport(host.Core(), kHostPause), 0);
        EXPECT_EQ(FakeHost::Count(FakeHost::kLookupOpcode), 0u);
        EXPECT_TRUE(host.Posted().empty());
    }
}

TEST(HostServices, FxChainNameFromTheTitlesUpTheWindowTree)
{
    HostWindowTree::Clear();
    auto nameUnder = [](const std::string& title) {
        return FindFxChainName(HostWindowTree::Add(HostWindowTree::Add(nullptr, title), ""));
    };
    EXPECT_EQ(nameUnder("Track 1 FX Chain"), "Track 1");
    EXPECT_EQ(nameUnder("Track 3 FX Chain: Quillograph"), "Track 3");
    EXPECT_EQ(nameUnder("Bus FX chain"), "Bus");
    EXPECT_EQ(nameUnder("A FX chain B FX Chain"), "A FX chain B");
    EXPECT_EQ(nameUnder("FX Chain: Bus"), "FX Chain: Bus");  // 13 characters
    EXPECT_EQ(nameUnder("FX Chain - 1 Lead vox"), "Lead vox");
    EXPECT_EQ(nameUnder("FX Chain"), "FX Chain");
    EXPECT_EQ(nameUnder(" FX Chain"), "");
    EXPECT_EQ(nameUnder("Track 1 fx chain"), "");
    EXPECT_EQ(nameUnder("Mixer"), "");
    // Only the first 255 characters of a title are read.
    EXPECT_EQ(nameUnder(std::string(240, 'y') + " FX Chain" + std::string(51, 'z')), std::string(240, 'y'));
    EXPECT_EQ(nameUnder(std::string(250, 'x') + " FX Chain" + std::string(41, 'z')), "");

    // Empty, unreadable and non-matching titles are passed over on the way up.
    void* top = HostWindowTree::Add(nullptr, "Track 7 FX Chain");
    void* unreadable = HostWindowTree::Add(top, "Track 9 FX Chain", false);
    void* mixer = HostWindowTree::Add(unreadable, "Mixer");
    EXPECT_EQ(FindFxChainName(HostWindowTree::Add(mixer, "")), "Track 7");
    EXPECT_EQ(FindFxChainName(nullptr), "");
    EXPECT_EQ(FindFxChainName(reinterpret_cast<void*>(0xBAD0)), "");
    HostWindowTree::Clear();
}
