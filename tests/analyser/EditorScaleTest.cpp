#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "../plugin/FakeHost.h"
#include "analyser/AnalyserPlugin.h"
#include "analyser/AnalyserView.h"
#include "graphics/GraphicsRaster.h"
#include "graphics/native/HeadlessWindow.h"
#include "tests/analyser/PluginFolder.h"

namespace {

constexpr int32_t W = 232, H = 96;

AnalyserPlugin* Analyser(const PluginUnderTest& p) { return static_cast<AnalyserPlugin*>(PluginCore::FromRecord(p.get())); }
HeadlessWindow* Window(const PluginUnderTest& p) { return HeadlessWindow::Of(Analyser(p)->GetGraphics()); }

// Two tones, enough for every display to draw something.
void Feed(const PluginUnderTest& p, int frames)
{
    std::vector<double> left(static_cast<size_t>(frames)), right(left.size()), outL(left.size()), outR(left.size());
    for (int i = 0; i < frames; ++i) {
        left[static_cast<size_t>(i)] = 0.5 * std::sin(i * 0.0627);
        right[static_cast<size_t>(i)] = 0.3 * std::sin(i * 0.0941);
    }
    double* in[2] = {left.data(), right.data()};
    double* out[2] = {outL.data(), outR.data()};
    p->processDoubleReplacing(p.get(), in, out, frames);
}

std::pair<int, int> EditRect(const PluginUnderTest& p)
{
    ERect* r = nullptr;
    if (p.Dispatch(effEditGetRect, 0, 0, &r) != 1 || !r) return {0, 0};
    return {r->right - r->left, r->bottom - r->top};
}

// The last size the host was asked for, or {0, 0}.
std::pair<int, int> LastSizeRequest()
{
    for (auto call = FakeHost::calls.rbegin(); call != FakeHost::calls.rend(); ++call)
        if (call->opcode == audioMasterSizeWindow) return {call->index, static_cast<int>(call->value)};
    return {0, 0};
}

// True when the window shows `picture` (W x H) as blocks of `scale`, black beyond it.
::testing::AssertionResult ShowsAsBlocks(const HeadlessWindow& window, const std::vector<uint32_t>& picture,
                                         int32_t scale)
{
    for (int32_t y = 0; y < window.ClientHeight(); ++y)
        for (int32_t x = 0; x < window.ClientWidth(); ++x) {
            const bool inside = x < W * scale && y < H * scale;
            const uint32_t expected = inside ? picture[static_cast<size_t>(y / scale * W + x / scale)] : 0u;
            if (window.PresentedPixel(x, y) != expected)
                return ::testing::AssertionFailure() << "pixel " << x << "," << y << " at scale " << scale;
        }
    return ::testing::AssertionSuccess();
}

MouseKeys CtrlLeft()
{
    MouseKeys keys;
    keys.left = keys.ctrl = 1;
    return keys;
}

struct Editor {
    PluginUnderTest p;
    HeadlessWindow* window = Window(p);
    int parent = 0;
    std::vector<uint32_t> picture;  // the 1x picture

    explicit Editor(int32_t screenScale = 1)
    {
        p.Dispatch(effOpen);
        p.Dispatch(effSetSampleRate, 0, 0, nullptr, 44100.0f);
        window->SetScreenScale(screenScale);
        EditRect(p);
        p.Dispatch(effEditOpen, 0, 0, &parent);
        Feed(p, 9000);
        window->Tick();
        Snapshot();
    }
    // The surface holds the 1x picture whatever the scale.
    void Snapshot()
    {
        const SystemSurface* s = dynamic_cast<GraphicsRaster*>(&window->Editor())->DrawingSurface();
        picture.clear();
        for (int32_t y = 0; y < H; ++y)
            for (int32_t x = 0; x < W; ++x) picture.push_back(SurfaceRow(*s, y)[x]);
    }
    // A ctrl + left click in the corner square, where the window shows it.
    void CtrlClickCorner()
    {
        const int32_t s = window->Editor().ShownScale();
        window->MouseDown(220 * s + s - 1, 90 * s, CtrlLeft());
        window->MouseUp(220 * s + s - 1, 90 * s);
        window->Tick();
    }
};

}  // namespace

TEST(EditorScale, EveryPixelIsAnSxSBlockAndTheMouseReachesTheViewUnscaled)
{
    FakeHost::Reset();
    Editor e;
    ASSERT_EQ(e.window->ClientWidth(), W);
    EXPECT_TRUE(ShowsAsBlocks(*e.window, e.picture, 1));
    for (int32_t s : {2, 3}) {
        e.window->SetScreenScale(s);  // the screen's DPI changed under the open window
        EXPECT_EQ(LastSizeRequest(), std::make_pair(W * s, H * s));
        EXPECT_EQ(EditRect(e.p), std::make_pair(W * s, H * s));
        e.window->Tick();
        ASSERT_EQ(e.window->ClientWidth(), W * s);
        ASSERT_EQ(e.window->ClientHeight(), H * s);
        EXPECT_EQ(e.window->Editor().ShownScale(), s);
        EXPECT_TRUE(ShowsAsBlocks(*e.window, e.picture, s)) << s;
        // Every window pixel of a block is the same surface point for the view.
        e.window->MouseMove(100 * s + s - 1, 40 * s, MouseKeys());
        EXPECT_EQ(e.p->getParameter(e.p.get(), 3), 0.0f);
        EXPECT_EQ(Analyser(e.p)->View()->MouseX(), 100);
        EXPECT_EQ(Analyser(e.p)->View()->MouseY(), 40);
        e.window->MouseLeave();
        // The caption box {212, 0, 232, 10} where the window shows it: its far corner pixel
        // steps the fft zoom (freq display), the pixel left of it toggles pause.
        const float zoom = e.p->getParameter(e.p.get(), 2);
        e.window->MouseDown(232 * s - 1, 10 * s - 1, MouseKeys{1, 0, 0, 0, 0});
        e.window->MouseUp(232 * s - 1, 10 * s - 1);
        EXPECT_NEAR(e.p->getParameter(e.p.get(), 2), zoom + 1.0f / 6.0f, 1e-6) << s;
        e.window->MouseDown(212 * s - 1, 0, MouseKeys{1, 0, 0, 0, 0});
        e.window->MouseUp(212 * s - 1, 0);
        EXPECT_EQ(e.p->getParameter(e.p.get(), 3), 1.0f) << s;
        e.p->setParameter(e.p.get(), 3, 0.0f);
        e.window->Tick();
        e.Snapshot();
    }
}

TEST(EditorScale, CtrlClickInTheCornerCyclesTheScaleAndARefusingHostKeepsItsRoom)
{
    FakeHost::Reset();
    Editor e(2);
    EXPECT_EQ(e.window->ClientWidth(), 2 * W) << "the room effEditGetRect asked for";
    EXPECT_EQ(e.window->Editor().ShownScale(), 2);
    EXPECT_EQ(FakeHost::Count(audioMasterSizeWindow), 0u);
    // automatic (2 here) -> 1x -> 2x -> 3x -> 4x -> automatic.
    const int32_t choices[] = {1, 2, 3, 4, 0};
    for (int32_t choice : choices) {
        const int32_t s = choice == 0 ? 2 : choice;
        e.CtrlClickCorner();
        EXPECT_EQ(e.window->Editor().ScaleChoice(), choice);
        EXPECT_EQ(LastSizeRequest(), std::make_pair(W * s, H * s));
        EXPECT_EQ(EditRect(e.p), std::make_pair(W * s, H * s));
        EXPECT_EQ(e.window->ClientWidth(), W * s);
        EXPECT_TRUE(ShowsAsBlocks(*e.window, e.picture, s)) << s;
    }
    EXPECT_EQ(e.window->Editor().ScaleChoice(), 0);
    EXPECT_EQ(e.p->getParameter(e.p.get(), 3), 0.0f) << "the view never saw the clicks";
    EXPECT_TRUE(e.window->LastUrl().empty());
    // A plain click in the corner still opens the user guide.
    const PluginFolder folder(true);
    e.window->SetPluginPath(folder.Path());
    e.window->MouseDown(2 * 231 + 1, 2 * 95 + 1, MouseKeys{1, 0, 0, 0, 0});
    e.window->MouseUp(2 * 231 + 1, 2 * 95 + 1);
    EXPECT_EQ(e.window->LastUrl(), folder.GuideUrl());
    EXPECT_EQ(e.window->Editor().ScaleChoice(), 0);
    e.window->Tick();
    e.Snapshot();

    // A host that refuses: the window keeps its room and shows the largest picture that fits.
    FakeHost::sizeWindowAnswer = 0;
    const size_t asked = FakeHost::Count(audioMasterSizeWindow);
    e.CtrlClickCorner();  // 1x: asked, refused
    EXPECT_EQ(FakeHost::Count(audioMasterSizeWindow), asked + 1);
    EXPECT_EQ(e.window->ClientWidth(), 2 * W);
    EXPECT_EQ(e.window->Editor().ShownScale(), 1);
    EXPECT_TRUE(ShowsAsBlocks(*e.window, e.picture, 1));
    e.CtrlClickCorner();  // 2x: fits the room as it is
    EXPECT_EQ(FakeHost::Count(audioMasterSizeWindow), asked + 1);
    EXPECT_EQ(e.window->Editor().ShownScale(), 2);
    e.CtrlClickCorner();  // 3x: refused, 2x still fits
    EXPECT_EQ(EditRect(e.p), std::make_pair(3 * W, 3 * H));
    EXPECT_EQ(e.window->ClientWidth(), 2 * W);
    EXPECT_TRUE(ShowsAsBlocks(*e.window, e.picture, 2));
    // The second press of two quick ctrl clicks is one more step.
    e.window->MouseDoubleClick(2 * 220, 2 * 90, CtrlLeft());
    EXPECT_EQ(e.window->Editor().ScaleChoice(), 4);
}

TEST(EditorScale, AFloatingWindowResizesItselfAndAClosedEditorTakesTheChoiceWhenItOpens)
{
    FakeHost::Reset("Cockos", "REAPER");
    Editor e(2);
    EXPECT_EQ(e.window->WindowRect(), Rect(128, 128, 128 + 2 * W + 6, 128 + 2 * H + 23));
    EXPECT_TRUE(ShowsAsBlocks(*e.window, e.picture, 2));
    e.CtrlClickCorner();
    EXPECT_EQ(e.window->WindowRect(), Rect(128, 128, 128 + W + 6, 128 + H + 23));
    EXPECT_EQ(FakeHost::Count(audioMasterSizeWindow), 0u);

    FakeHost::Reset();
    PluginUnderTest p;
    HeadlessWindow* window = Window(p);
    window->Editor().SetScaleChoice(3);  // as a loaded state would, with no window yet
    EXPECT_EQ(EditRect(p), std::make_pair(3 * W, 3 * H));
    int parent = 0;
    ASSERT_EQ(p.Dispatch(effEditOpen, 0, 0, &parent), 1);
    window->Tick();
    EXPECT_EQ(window->ClientWidth(), 3 * W);
    EXPECT_EQ(window->Editor().ShownScale(), 3);
    EXPECT_EQ(FakeHost::Count(audioMasterSizeWindow), 0u);
}
