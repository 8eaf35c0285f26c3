#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

#include "FakeHost.h"
#include "graphics/Graphics.h"
#include "plugin/PluginCore.h"
#include "plugin/VstShell.h"
#include "tools/MidiThroughBlock.h"

namespace {

class Dispatcher : public ::testing::Test {
protected:
    void SetUp() override { FakeHost::Reset(); }
};

std::string Text(const PluginUnderTest& p, VstInt32 opcode, VstInt32 index = 0)
{
    char buffer[128];
    std::memset(buffer, 0x55, sizeof buffer);
    p.Dispatch(opcode, index, 0, buffer);
    buffer[sizeof buffer - 1] = '\0';
    return buffer;
}

}  // namespace

TEST_F(Dispatcher, RecordIdentity)
{
    PluginUnderTest p;
    ASSERT_NE(p.get(), nullptr);
    EXPECT_EQ(p->magic, 0x56737450);
    EXPECT_EQ(p->numPrograms, 0);
    EXPECT_EQ(p->numParams, 4);
    EXPECT_EQ(p->numInputs, 2);
    EXPECT_EQ(p->numOutputs, 2);
    EXPECT_EQ(p->flags, 0x1039);  // replacing, double, chunks, mono and an editor
    EXPECT_EQ(p->initialDelay, 0);
    EXPECT_EQ(p->version, 1000);
    EXPECT_EQ(p->uniqueID, ('q' << 24) | ('l' << 16) | ('g' << 8) | 'p');
    EXPECT_EQ(p->ioRatio, 1.0f);
    EXPECT_NE(p->processReplacing, nullptr);
    EXPECT_NE(p->processDoubleReplacing, nullptr);
    EXPECT_NE(p->process, nullptr);
}

TEST_F(Dispatcher, HostIsAskedAndIdentifiedAtConstruction)
{
    FakeHost::Reset("Cockos", "REAPER");
    PluginUnderTest reaper;
    auto* core = PluginCore::FromRecord(reaper.get());
    EXPECT_EQ(core->HostId(), 1);
    EXPECT_EQ(core->HostVersion(), 4321);
    ASSERT_GE(FakeHost::calls.size(), 3u);
    EXPECT_EQ(FakeHost::calls[0].opcode, audioMasterGetVendorString);
    EXPECT_EQ(FakeHost::calls[1].opcode, audioMasterGetProductString);
    EXPECT_EQ(FakeHost::calls[2].opcode, audioMasterGetVendorVersion);

    FakeHost::Reset("", "");
    PluginUnderTest silent;
    core = PluginCore::FromRecord(silent.get());
    EXPECT_EQ(core->HostId(), 0);
    EXPECT_EQ(core->HostVersion(), 0);
    EXPECT_EQ(FakeHost::Count(audioMasterGetVendorVersion), 0u);
}

TEST_F(Dispatcher, FixedAnswers)
{
    PluginUnderTest p;
    EXPECT_EQ(p.Dispatch(effOpen), 0);
    EXPECT_EQ(p.Dispatch(effGetVstVersion), 2400);
    EXPECT_EQ(p.Dispatch(effGetPlugCategory), 1);
    EXPECT_EQ(p.Dispatch(effIdentify), 0x4E764566);
    EXPECT_EQ(p.Dispatch(effCanBeAutomated, 3), 1);
    EXPECT_EQ(p.Dispatch(effCanBeAutomated, -7), 1);
    EXPECT_EQ(p.Dispatch(effGetProgram), 0);
    for (VstInt32 op : {27, 44, 52, 56, 69, 71, 72, 77, 9, 16, 65, 67, 100, -1, 0x7fffffff})
        EXPECT_EQ(p.Dispatch(op, 1, 1, nullptr, 1.0f), 0) << op;
    EXPECT_EQ(p.Dispatch(effEditIdle), 0);
    EXPECT_EQ(p.Dispatch(effIdle), 0);
}

TEST_F(Dispatcher, EditorRequests)
{
    PluginUnderTest p;
    ERect* rect = nullptr;
    EXPECT_EQ(p.Dispatch(effEditGetRect, 0, 0, &rect), 1);
    ASSERT_NE(rect, nullptr);
    EXPECT_EQ(rect->top, 0);
    EXPECT_EQ(rect->left, 0);
    EXPECT_EQ(rect->bottom, 96);
    EXPECT_EQ(rect->right, 232);
    // Every instance hands out the same rectangle.
    PluginUnderTest second;
    ERect* other = nullptr;
    EXPECT_EQ(second.Dispatch(effEditGetRect, 0, 0, &other), 1);
    EXPECT_EQ(other, rect);
    EXPECT_EQ(p.Dispatch(effEditGetRect, 0, 0, nullptr), 0);

    auto* core = PluginCore::FromRecord(p.get());
    int parent = 0;
    EXPECT_EQ(p.Dispatch(effEditOpen, 0, 0, &parent), 1);
    EXPECT_TRUE(GraphicsOf(core)->IsWindowOpen());
    EXPECT_EQ(core->EditorParent(), &parent);
    EXPECT_EQ(p.Dispatch(effEditIdle), 0);
    EXPECT_EQ(p.Dispatch(effEditClose), 1);
    EXPECT_FALSE(GraphicsOf(core)->IsWindowOpen());
    // Closed with the window open: the window goes first.
    EXPECT_EQ(p.Dispatch(effEditOpen, 0, 0, &parent), 1);
}

TEST_F(Dispatcher, CanDo)
{
    PluginUnderTest p;
    auto canDo = [&](const char* text) { return p.Dispatch(effCanDo, 0, 0, const_cast<char*>(text)); };
    EXPECT_EQ(canDo("receiveVstTimeInfo"), 1);
    EXPECT_EQ(canDo("ReceiveVstTimeInfo"), 0);
    EXPECT_EQ(canDo("receiveVstMidiEvent"), 0);
    EXPECT_EQ(canDo("sendVstEvents"), 0);
    EXPECT_EQ(canDo(""), 0);
    EXPECT_EQ(p.Dispatch(effCanDo, 0, 0, nullptr), 0);
}

TEST_F(Dispatcher, NamesAndTexts)
{
    PluginUnderTest p;
    EXPECT_EQ(Text(p, effGetEffectName), "Quillograph");
    EXPECT_EQ(Text(p, effGetVendorString), "Veksa");
    EXPECT_EQ(Text(p, effGetProductString), "");
    EXPECT_EQ(Text(p, effGetProgramName), "");
    EXPECT_EQ(Text(p, effGetParamName, 0), "domain");
    EXPECT_EQ(Text(p, effGetParamName, 1), "v scale");
    EXPECT_EQ(Text(p, effGetParamName, 2), "fft zoom");
    EXPECT_EQ(Text(p, effGetParamName, 3), "pause");
    EXPECT_EQ(Text(p, effGetParamLabel, 1), "x");
    EXPECT_EQ(Text(p, effGetParamLabel, 0), "");
    EXPECT_EQ(Text(p, effGetParamDisplay, 0), "freq");
    EXPECT_EQ(Text(p, effGetParamDisplay, 1), "1.00");
    EXPECT_EQ(Text(p, effGetParamDisplay, 2), "0-18k");
    EXPECT_EQ(Text(p, effGetParamDisplay, 3), "off");
    // Out-of-range indices read the shared default parameter.
    for (VstInt32 index : {-1, 4, 1 << 30}) {
        EXPECT_EQ(Text(p, effGetParamDisplay, index), "0");
        EXPECT_EQ(Text(p, effGetParamName, index), "");
    }
    // The effect-name copy is a 32-byte bounded copy: zero-padded.
    char padded[40];
    std::memset(padded, 0x55, sizeof padded);
    p.Dispatch(effGetEffectName, 0, 0, padded);
    for (int i = 11; i < 32; ++i) EXPECT_EQ(padded[i], 0);
    EXPECT_EQ(padded[32], 0x55);
    // Program names: the current name is whole on the way in, bounded on the way out by
    // the 24 bytes a host promises, terminator included.
    std::string longName(40, 'n');
    EXPECT_EQ(p.Dispatch(effSetProgramName, 0, 0, const_cast<char*>(longName.c_str())), 1);
    std::memset(padded, 0x55, sizeof padded);
    EXPECT_EQ(p.Dispatch(effGetProgramName, 0, 0, padded), 1);
    EXPECT_EQ(std::string(padded, 24), std::string(23, 'n') + '\0');
    EXPECT_EQ(std::string(padded + 24, 16), std::string(16, 0x55));
    EXPECT_EQ(padded[32], 0x55);
    EXPECT_EQ(p.Dispatch(effSetProgramName, 0, 0, const_cast<char*>("short")), 1);
    std::memset(padded, 0x55, sizeof padded);
    p.Dispatch(effGetProgramName, 0, 0, padded);
    EXPECT_EQ(std::string(padded, 24), std::string("short") + std::string(19, '\0'));
    EXPECT_EQ(std::string(padded + 24, 16), std::string(16, 0x55));
}

TEST_F(Dispatcher, NullPointersAndBadIndicesAreHarmless)
{
    PluginUnderTest p;
    for (VstInt32 op : {4, 5, 6, 7, 8, 13, 23, 24, 25, 29, 33, 34, 42, 45, 47, 48, 51, 66})
        for (VstInt32 index : {-1, 0, 4, 1 << 30})
            EXPECT_EQ(p.Dispatch(op, index, 0, nullptr), op == 42 ? 1 : 0) << op;
    // A null object answers nothing at all.
    AEffect copy = *p.get();
    copy.object = nullptr;
    for (VstInt32 op = 0; op <= 80; ++op) EXPECT_EQ(copy.dispatcher(&copy, op, 0, 0, nullptr, 0.0f), 0);
    copy.setParameter(&copy, 0, 0.5f);
    EXPECT_EQ(copy.getParameter(&copy, 0), 0.0f);
    float* none[2] = {nullptr, nullptr};
    copy.processReplacing(&copy, none, none, 64);
    EXPECT_EQ(VstShell::GetParameter(nullptr, 0), 0.0f);
    EXPECT_EQ(VstShell::Dispatcher(nullptr, effOpen, 0, 0, nullptr, 0.0f), 0);
    // Program requests with no presets.
    EXPECT_EQ(p.Dispatch(effSetProgram, 0, 0), 0);
    EXPECT_EQ(p.Dispatch(effSetProgram, 0, -1), 0);
    char name[40];
    EXPECT_EQ(p.Dispatch(effGetProgramNameIndexed, 0, 0, name), 0);
    EXPECT_EQ(p.Dispatch(effGetProgramNameIndexed, -1, 0, name), 0);
    // Chunks: bad sizes are refused.
    void* data = reinterpret_cast<void*>(0x1);
    EXPECT_EQ(p.Dispatch(effGetChunk, 0, 0, &data), 96);
    char bytes[96] = {};
    EXPECT_EQ(p.Dispatch(effSetChunk, 0, 95, bytes), 0);
    EXPECT_EQ(p.Dispatch(effSetChunk, 0, -5, bytes), 0);
    EXPECT_EQ(p.Dispatch(effSetChunk, 0, std::numeric_limits<VstIntPtr>::max(), bytes), 0);
    EXPECT_EQ(p.Dispatch(effSetChunk, 0, 96, nullptr), 0);
}

TEST_F(Dispatcher, PinProperties)
{
    PluginUnderTest p;
    VstPinProperties pin;
    std::memset(&pin, 0, sizeof pin);
    EXPECT_EQ(p.Dispatch(effGetInputProperties, 0, 0, &pin), 1);
    EXPECT_STREQ(pin.label, "Input 0");
    EXPECT_EQ(pin.flags, 3);
    EXPECT_EQ(p.Dispatch(effGetInputProperties, 1, 0, &pin), 1);
    EXPECT_STREQ(pin.label, "Input 1");
    EXPECT_EQ(pin.flags, 1);
    EXPECT_EQ(p.Dispatch(effGetOutputProperties, 1, 0, &pin), 1);
    EXPECT_STREQ(pin.label, "Output 1");
    std::memset(&pin, 0x55, sizeof pin);
    for (VstInt32 index : {2, -1, 1 << 30}) {
        EXPECT_EQ(p.Dispatch(effGetInputProperties, index, 0, &pin), 0);
        EXPECT_EQ(p.Dispatch(effGetOutputProperties, index, 0, &pin), 0);
    }
    EXPECT_EQ(pin.flags, 0x55555555);
}

TEST_F(Dispatcher, ParameterAccessors)
{
    PluginUnderTest p;
    EXPECT_FLOAT_EQ(p->getParameter(p.get(), 0), 1.0f / 3.0f);
    EXPECT_FLOAT_EQ(p->getParameter(p.get(), 1), float(0.9 / 19.9));
    p->setParameter(p.get(), 1, 1.0f);
    EXPECT_EQ(p->getParameter(p.get(), 1), 1.0f);
    EXPECT_EQ(Text(p, effGetParamDisplay, 1), "20.00");
    for (float bad : {std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity(),
                      -std::numeric_limits<float>::infinity()})
        p->setParameter(p.get(), 1, bad);
    EXPECT_EQ(p->getParameter(p.get(), 1), 1.0f);
    p->setParameter(p.get(), 1, 1e30f);
    EXPECT_EQ(p->getParameter(p.get(), 1), 1.0f);
    p->setParameter(p.get(), 4, 0.0f);
    p->setParameter(p.get(), -1, 0.0f);
    EXPECT_EQ(p->getParameter(p.get(), 4), 0.0f);
    EXPECT_EQ(p->getParameter(p.get(), -1), 0.0f);
    EXPECT_EQ(Text(p, effGetParamDisplay, 4), "0");
    // The editor path tells the host first, and never touches the shared default.
    auto* core = PluginCore::FromRecord(p.get());
    core->SetParameterFromEditor(3, 1.0);
    ASSERT_EQ(FakeHost::Count(audioMasterAutomate), 1u);
    EXPECT_EQ(FakeHost::calls.back().index, 3);
    EXPECT_EQ(FakeHost::calls.back().opt, 1.0f);
    EXPECT_EQ(Text(p, effGetParamDisplay, 3), "on");
    core->SetParameterFromEditor(9, 1.0);
    EXPECT_EQ(p->getParameter(p.get(), 9), 0.0f);
}

TEST_F(Dispatcher, MidiThroughAndOtherEventsForwarded)
{
    PluginUnderTest p;
    MidiThroughBlock events;
    FakeHost::calls.clear();
    EXPECT_EQ(p.Dispatch(effProcessEvents, 0, 0, events.Events()), 1);
    ASSERT_EQ(FakeHost::Count(audioMasterProcessEvents), 2u);
    ASSERT_EQ(FakeHost::calls[0].events.size(), 1u);
    EXPECT_TRUE(MidiThroughBlock::IsTheNote(FakeHost::calls[0].events[0]));
    ASSERT_EQ(FakeHost::calls[1].events.size(), 1u);
    EXPECT_TRUE(MidiThroughBlock::IsTheSysEx(FakeHost::calls[1].events[0]));
    // A block that claims no events (or fewer than none) sends nothing.
    events.block.numEvents = -3;
    FakeHost::calls.clear();
    EXPECT_EQ(p.Dispatch(effProcessEvents, 0, 0, events.Events()), 1);
    EXPECT_TRUE(FakeHost::calls.empty());
    // MIDI key names: the base has none.
    MidiKeyName key;
    std::memset(&key, 0x55, sizeof key);
    key.thisKeyNumber = 60;
    EXPECT_EQ(p.Dispatch(effGetMidiKeyName, 0, 0, &key), 0);
    EXPECT_EQ(key.keyName[0], 0);
}

TEST_F(Dispatcher, TwoInstancesKeepSeparateState)
{
    PluginUnderTest a;
    PluginUnderTest b;
    ASSERT_NE(a.get(), b.get());
    a->setParameter(a.get(), 0, 0.0f);
    b->setParameter(b.get(), 0, 1.0f);
    EXPECT_EQ(Text(a, effGetParamDisplay, 0), "time");
    EXPECT_EQ(Text(b, effGetParamDisplay, 0), "spectro");
    EXPECT_NE(&PluginCore::FromRecord(a.get())->Lock(), &PluginCore::FromRecord(b.get())->Lock());
}

TEST_F(Dispatcher, SpeakerArrangementSetsChannelCounts)
{
    PluginUnderTest p;
    auto* core = PluginCore::FromRecord(p.get());
    VstSpeakerArrangement mono{};
    mono.numChannels = 1;
    VstSpeakerArrangement bad{};
    bad.numChannels = -4;
    EXPECT_EQ(p.Dispatch(effSetSpeakerArrangement, 0, reinterpret_cast<VstIntPtr>(&mono), &bad), 1);
    EXPECT_EQ(core->InputCount(), 1);
    EXPECT_EQ(core->OutputCount(), 0);
    EXPECT_EQ(p->numInputs, 2);  // the record keeps what the host was first told
}

TEST_F(Dispatcher, SampleRateBlockSizeAndMains)
{
    PluginUnderTest p;
    auto* core = PluginCore::FromRecord(p.get());
    EXPECT_EQ(core->SampleRate(), 44100.0);
    p.Dispatch(effSetSampleRate, 0, 0, nullptr, 48000.0f);
    EXPECT_EQ(core->SampleRate(), 48000.0);
    p.Dispatch(effSetBlockSize, 0, 512);
    EXPECT_EQ(core->BlockSize(), 512);
    p.Dispatch(effSetBlockSize, 0, -3);
    EXPECT_EQ(core->BlockSize(), 0);
    EXPECT_EQ(p.Dispatch(effMainsChanged, 0, 1), 0);
    EXPECT_EQ(p.Dispatch(effMainsChanged, 0, 0), 0);
}
