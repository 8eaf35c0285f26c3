#include <gtest/gtest.h>

#include <vector>

#include "../plugin/FakeHost.h"
#include "analyser/AnalyserPlugin.h"
#include "analyser/AnalyserView.h"
#include "graphics/GraphicsRaster.h"
#include "graphics/native/HeadlessWindow.h"
#include "plugin/VstShell.h"

namespace {

struct Block {
    std::vector<double> left, right;
    double* channels[2];
    Block(int frames, double l, double r) : left(frames, l), right(frames, r)
    {
        channels[0] = left.data();
        channels[1] = right.data();
    }
};

AnalyserPlugin* Analyser(const PluginUnderTest& p) { return static_cast<AnalyserPlugin*>(PluginCore::FromRecord(p.get())); }

}  // namespace

TEST(AnalyserPlugin, StagesUpToTheFreeRoomAndPassesEverything)
{
    FakeHost::Reset();
    PluginUnderTest p;
    AnalyserPlugin* plugin = Analyser(p);
    Block in(30000, 0.25, -0.5), out(30000, 0, 0);
    p->processDoubleReplacing(p.get(), in.channels, out.channels, 30000);
    EXPECT_EQ(plugin->StagedCount(), 24000);
    EXPECT_EQ(out.left, in.left);

    SampleRing left, right;
    left.Resize(24000, true);
    right.Resize(24000, true);
    EXPECT_EQ(plugin->TakeStagedSamples(left, right, nullptr), 24000);
    EXPECT_EQ(plugin->StagedCount(), 0);
    EXPECT_EQ(left.At(-1), 0.25);
    EXPECT_EQ(right.At(0), -0.5);

    Block fill(23990, 1, 1), fillOut(23990, 0, 0);
    p->processDoubleReplacing(p.get(), fill.channels, fillOut.channels, 23990);
    Block small(64, 2, 3), smallOut(64, 0, 0);
    p->processDoubleReplacing(p.get(), small.channels, smallOut.channels, 64);
    EXPECT_EQ(plugin->StagedCount(), 24000);
    EXPECT_EQ(smallOut.right, small.right);
    EXPECT_EQ(plugin->TakeStagedSamples(left, right, nullptr), 24000);
    EXPECT_EQ(left.At(-1), 2.0);  // the last 10 staged came from the small block
    EXPECT_EQ(left.At(-11), 1.0);
}

TEST(AnalyserPlugin, MonoInputStagesSilenceOnTheRight)
{
    FakeHost::Reset();
    PluginUnderTest p;
    VstSpeakerArrangement mono{};
    mono.numChannels = 1;
    VstSpeakerArrangement single{};
    single.numChannels = 1;
    p.Dispatch(effSetSpeakerArrangement, 0, reinterpret_cast<VstIntPtr>(&mono), &single);
    Block in(100, 0.5, 0.75), out(100, -1, -1);
    p->processDoubleReplacing(p.get(), in.channels, out.channels, 100);
    EXPECT_EQ(out.left, in.left);
    EXPECT_EQ(out.right, std::vector<double>(100, -1));  // only output 0 is written
    SampleRing left, right;
    left.Resize(200, true);
    right.Resize(200, false);
    right.SetWritePosition(0);
    for (int i = 0; i < 200; ++i) *(right.Data() + i) = 9.0;
    EXPECT_EQ(Analyser(p)->TakeStagedSamples(left, right, nullptr), 100);
    EXPECT_EQ(left.At(99), 0.5);
    EXPECT_EQ(right.At(99), 0.0);
}

TEST(AnalyserPlugin, FloatPathStagesToo)
{
    FakeHost::Reset();
    PluginUnderTest p;
    std::vector<float> l(300, 0.5f), r(300, 0.25f), ol(300), orr(300);
    float* in[2] = {l.data(), r.data()};
    float* out[2] = {ol.data(), orr.data()};
    p->processReplacing(p.get(), in, out, 300);
    p->process(p.get(), in, out, 300);
    EXPECT_EQ(Analyser(p)->StagedCount(), 600);
}

TEST(AnalyserPlugin, EditorIsBuiltAndAttached)
{
    FakeHost::Reset();
    PluginUnderTest p;
    AnalyserPlugin* plugin = Analyser(p);
    EXPECT_EQ(p->flags, 0x1039);
    Graphics* graphics = plugin->GetGraphics();
    ASSERT_NE(graphics, nullptr);
    EXPECT_EQ(graphics->Width(), 232);
    EXPECT_EQ(graphics->Height(), 96);
    EXPECT_EQ(Graphics::FrameRate(), 24.0);
    EXPECT_TRUE(graphics->mouseOverEnabled);
    EXPECT_FALSE(graphics->floating);
    ASSERT_EQ(graphics->ControlCount(), 1);
    ASSERT_NE(plugin->View(), nullptr);
    EXPECT_EQ(graphics->ControlAtIndex(0), plugin->View());
    EXPECT_EQ(plugin->View()->Plug(), plugin);
}

TEST(AnalyserPlugin, AudioMarksTheViewDirty)
{
    FakeHost::Reset();
    PluginUnderTest p;
    auto* window = HeadlessWindow::Of(Analyser(p)->GetGraphics());
    ASSERT_NE(window, nullptr);
    int parent = 0;
    ASSERT_EQ(p.Dispatch(effEditOpen, 0, 0, &parent), 1);
    EXPECT_TRUE(window->Tick());
    EXPECT_FALSE(window->Tick());
    Block in(64, 0.1, 0.2), out(64, 0, 0);
    p->processDoubleReplacing(p.get(), in.channels, out.channels, 64);
    EXPECT_TRUE(Analyser(p)->View()->IsDirty());
    const int paints = window->PaintCount();
    EXPECT_TRUE(window->Tick());
    EXPECT_EQ(window->PaintCount(), paints + 1);
    EXPECT_EQ(Analyser(p)->StagedCount(), 0);
}

TEST(AnalyserPlugin, WindowTitleIsLookedForOnlyInHostOne)
{
    FakeHost::Reset("Cockos", "REAPER");
    PluginUnderTest reaper;
    AnalyserPlugin* plugin = Analyser(reaper);
    auto* window = HeadlessWindow::Of(plugin->GetGraphics());
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->Editor().floating);
    int parent = 0;
    ASSERT_EQ(reaper.Dispatch(effEditOpen, 0, 0, &parent), 1);
    EXPECT_TRUE(plugin->TitlePending());
    reaper.Dispatch(effEditIdle);
    // No FX chain name is found: the title is not made, and not looked for again.
    EXPECT_FALSE(plugin->TitlePending());
    EXPECT_TRUE(plugin->WindowTitle().empty());
    EXPECT_EQ(window->WindowTitle(), "Quillograph");

    FakeHost::Reset();
    PluginUnderTest other;
    EXPECT_FALSE(Analyser(other)->GetGraphics()->floating);
    ASSERT_EQ(other.Dispatch(effEditOpen, 0, 0, &parent), 1);
    EXPECT_FALSE(Analyser(other)->TitlePending());
}

// A host whose message loop runs during the modal colour chooser may close the plug-in from
// there: the window goes at once, the plug-in once the click that opened the chooser returns.
TEST(AnalyserPlugin, AHostClosingThePlugInDuringTheColourChooserEndsItAfterTheClick)
{
    FakeHost::Reset();
    AEffect* effect = VSTPluginMain(FakeHost::Callback);
    ASSERT_NE(effect, nullptr);
    effect->dispatcher(effect, effOpen, 0, 0, nullptr, 0.0f);
    int parent = 0;
    ASSERT_EQ(effect->dispatcher(effect, effEditOpen, 0, 0, &parent, 0.0f), 1);
    HeadlessWindow* window = HeadlessWindow::Of(static_cast<AnalyserPlugin*>(PluginCore::FromRecord(effect))->GetGraphics());
    const int32_t openWindows = HeadlessWindow::OpenWindowCount();
    bool closed = false;
    window->SetDuringColourPrompt([&] {
        effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.0f);
        closed = true;
    });
    window->AnswerColourPrompt(true, Colour(255, 10, 20, 30));
    MouseKeys keys;
    keys.right = keys.shift = 1;
    // Nothing of the window or the plug-in may be used after this: both are gone (the
    // sanitizer runs see any use, and any leak).
    window->MouseDown(50, 50, keys);
    EXPECT_TRUE(closed);
    EXPECT_EQ(HeadlessWindow::OpenWindowCount(), openWindows - 1);
}
