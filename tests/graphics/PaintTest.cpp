#include <gtest/gtest.h>

#include "graphics/BitmapControl.h"
#include "tests/graphics/ControlTestSupport.h"

namespace {

constexpr uint32_t Red = 0xFFFF0000u;
constexpr uint32_t Green = 0xFF00FF00u;
constexpr uint32_t Blue = 0xFF0000FFu;

// An open 64 x 32 headless editor whose first full paint has been presented.
struct Window {
    RecordingPlug plug;
    std::unique_ptr<GraphicsRaster> graphics = MakeGraphics(&plug);

    ProbeControl* Add(const Rect& rect, uint32_t colour)
    {
        auto* control = new ProbeControl(&plug, rect, colour);
        graphics->AttachControl(control);
        return control;
    }
    void Open()
    {
        ASSERT_TRUE(graphics->CreateSurface());
        ASSERT_TRUE(graphics->OpenWindow(nullptr));
        ASSERT_TRUE(graphics->Tick());
    }
    void Forget(std::initializer_list<ProbeControl*> controls)
    {
        for (ProbeControl* c : controls) c->drawAreas.clear();
    }
};

}  // namespace

TEST(Paint, EdgeTouchingDirtyControlsMergeAndEachIsDrawnOnce)
{
    Window w;
    ProbeControl* a = w.Add(Rect(0, 0, 10, 10), Red);
    ProbeControl* b = w.Add(Rect(10, 0, 20, 10), Green);  // touches a's right edge
    ProbeControl* c = w.Add(Rect(30, 20, 40, 30), Blue);
    w.Open();
    EXPECT_EQ(a->drawAreas, std::vector<Rect>{Rect(0, 0, 20, 10)});
    EXPECT_EQ(b->drawAreas, std::vector<Rect>{Rect(0, 0, 20, 10)});
    EXPECT_EQ(c->drawAreas, std::vector<Rect>{Rect(30, 20, 40, 30)});
    EXPECT_EQ(Screen(w.graphics).PresentedPixel(5, 5), Red);
    EXPECT_EQ(Screen(w.graphics).PresentedPixel(15, 5), Green);
    EXPECT_EQ(Screen(w.graphics).PresentedPixel(35, 25), Blue);
    EXPECT_EQ(Screen(w.graphics).PresentedPixel(25, 5), 0u);

    // Cleaned by the paint: the next tick has nothing to do.
    Rect area;
    EXPECT_FALSE(w.graphics->IsAnyDirty(area));
    EXPECT_FALSE(w.graphics->Tick());
    EXPECT_EQ(Screen(w.graphics).PaintCount(), 1);
}

TEST(Paint, CleanControlsOverlappingADirtyAreaAreRedrawnInListOrder)
{
    Window w;
    ProbeControl* under = w.Add(Rect(0, 0, 30, 20), Red);
    ProbeControl* top = w.Add(Rect(10, 5, 20, 15), Green);
    ProbeControl* hidden = w.Add(Rect(0, 0, 30, 20), Blue);
    ProbeControl* far = w.Add(Rect(40, 0, 50, 10), Blue);
    hidden->SetHidden(true);
    w.Open();
    EXPECT_TRUE(hidden->drawAreas.empty());
    w.Forget({under, top, far});

    under->MarkDirty(false);
    ASSERT_TRUE(w.graphics->Tick());
    EXPECT_EQ(under->drawAreas, std::vector<Rect>{Rect(0, 0, 30, 20)});
    EXPECT_EQ(top->drawAreas, std::vector<Rect>{Rect(0, 0, 30, 20)});
    EXPECT_TRUE(far->drawAreas.empty());
    EXPECT_TRUE(hidden->drawAreas.empty());
    EXPECT_EQ(Screen(w.graphics).PresentedPixel(12, 7), Green) << "the later control is on top";
    EXPECT_EQ(Screen(w.graphics).PresentedPixel(2, 2), Red);
    EXPECT_EQ(Screen(w.graphics).LastPaintArea(), Rect(0, 0, 30, 20));
}

TEST(Paint, OnlyTheInvalidatedAreaReachesTheWindow)
{
    Window w;
    ProbeControl* small = w.Add(Rect(4, 4, 8, 8), Red);
    w.Open();
    // A control that draws beyond its own rectangle changes the surface everywhere, but the
    // window only takes its dirty area.
    small->duringDraw = [&] { w.graphics->FillRect(UnpackColour(Blue), Rect(0, 0, 64, 32), Blend()); };
    small->MarkDirty(false);
    ASSERT_TRUE(w.graphics->Tick());
    EXPECT_EQ(w.graphics->GetPixel(20, 20), UnpackColour(Blue));
    EXPECT_EQ(Screen(w.graphics).PresentedPixel(5, 5), Blue);
    EXPECT_EQ(Screen(w.graphics).PresentedPixel(20, 20), 0u);
    EXPECT_EQ(Screen(w.graphics).PresentedPixel(8, 8), 0u);

    // An expose brings the rest.
    w.graphics->Invalidate(Rect(-10, -10, 100, 100));
    ASSERT_TRUE(w.graphics->Tick());
    EXPECT_EQ(Screen(w.graphics).PresentedPixel(20, 20), Blue);
    EXPECT_EQ(Screen(w.graphics).LastPaintArea(), Rect(0, 0, 64, 32));
}

TEST(Paint, AMarkMadeWhileDrawingIsKeptForTheNextTick)
{
    Window w;
    ProbeControl* a = w.Add(Rect(0, 0, 10, 10), Red);
    ProbeControl* b = w.Add(Rect(30, 0, 40, 10), Green);
    w.Open();
    // As when new audio arrives from another thread while the editor draws.
    a->duringDraw = [&] { b->MarkDirty(false); a->MarkDirty(false); };
    a->MarkDirty(false);
    ASSERT_TRUE(w.graphics->Tick());
    EXPECT_TRUE(a->IsDirty());
    EXPECT_TRUE(b->IsDirty());
    a->duringDraw = nullptr;
    w.Forget({a, b});
    ASSERT_TRUE(w.graphics->Tick());
    EXPECT_EQ(a->drawAreas.size(), 1u);
    EXPECT_EQ(b->drawAreas.size(), 1u);
    EXPECT_FALSE(w.graphics->Tick());
}

TEST(Paint, ControlsAttachedAfterTheSurfaceAreStillPainted)
{
    Window w;
    w.Add(Rect(0, 0, 4, 4), Red);
    w.Open();
    ProbeControl* late = w.Add(Rect(10, 10, 20, 20), Green);
    ASSERT_TRUE(w.graphics->Tick());
    EXPECT_EQ(late->drawAreas.size(), 1u);
    EXPECT_EQ(Screen(w.graphics).PresentedPixel(15, 15), Green);
}

TEST(Paint, PaintingWithoutAWindowDrawsButPresentsNothing)
{
    Window w;
    ProbeControl* a = w.Add(Rect(0, 0, 10, 10), Red);
    EXPECT_FALSE(w.graphics->Paint()) << "before the surface exists";
    EXPECT_TRUE(a->drawAreas.empty());
    a->MarkDirty(false);
    ASSERT_TRUE(w.graphics->CreateSurface());
    EXPECT_FALSE(w.graphics->Paint());
    EXPECT_EQ(a->drawAreas.size(), 1u);
    EXPECT_FALSE(a->IsDirty());
    EXPECT_EQ(w.graphics->GetPixel(3, 3), UnpackColour(Red));
    EXPECT_FALSE(w.graphics->Tick());
    EXPECT_EQ(w.graphics->PaintArea(), Rect()) << "no paint area outside the paint";
}

TEST(Paint, DrawBitmapDrawsOnlyInsideTheAreaBeingRepainted)
{
    Window w;
    ProbeControl* a = w.Add(Rect(0, 0, 8, 8), 0xFF000000u);
    Screen(w.graphics).AddImageResource(5, RowsPng(16, std::vector<uint32_t>(16, Green)));
    const BitmapInfo image = w.graphics->LoadBitmap(5, 1);
    w.Open();

    // Outside any paint there is no area at all.
    EXPECT_TRUE(w.graphics->DrawBitmap(image, Rect(0, 0, 16, 16), 0, 0, Blend()));
    EXPECT_EQ(w.graphics->GetPixel(2, 2), UnpackColour(0xFF000000u));

    a->duringDraw = [&] {
        const Blend copy(BlendKind::Copy, 1.0f);
        EXPECT_TRUE(w.graphics->DrawBitmap(image, Rect(20, 0, 36, 16), 0, 0, copy));  // elsewhere
        EXPECT_TRUE(w.graphics->DrawBitmap(image, Rect(4, 4, 20, 20), 0, 0, copy));   // partly inside
    };
    a->MarkDirty(false);
    ASSERT_TRUE(w.graphics->Tick());
    EXPECT_EQ(w.graphics->GetPixel(25, 5), Colour()) << "the surface starts cleared";
    EXPECT_EQ(w.graphics->GetPixel(5, 5), UnpackColour(Green));
    EXPECT_EQ(w.graphics->GetPixel(3, 5), UnpackColour(0xFF000000u));
    EXPECT_EQ(w.graphics->GetPixel(8, 8), Colour());

    EXPECT_FALSE(w.graphics->DrawBitmap(BitmapInfo{99, 4, 4, 1}, Rect(0, 0, 4, 4), 0, 0, Blend()));
}

TEST(Paint, BitmapControlShowsTheFrameOfItsValue)
{
    Window w;
    // Five frames of two rows each, one colour per frame.
    const std::vector<uint32_t> frames = {0xFF000010u, 0xFF000020u, 0xFF000030u, 0xFF000040u, 0xFF000050u};
    std::vector<uint32_t> rows;
    for (uint32_t c : frames) rows.insert(rows.end(), {c, c});
    Screen(w.graphics).AddImageResource(11, RowsPng(6, rows));
    auto* knob = new BitmapControl(&w.plug, 10, 3, -1, w.graphics->LoadBitmap(11, 5), BlendKind::Copy);
    w.graphics->AttachControl(knob);
    knob->SetValue(0.5);
    w.Open();
    EXPECT_EQ(knob->DrawRect(), Rect(10, 3, 16, 5));
    EXPECT_EQ(Screen(w.graphics).PresentedPixel(10, 3), frames[2]);
    EXPECT_EQ(Screen(w.graphics).PresentedPixel(15, 4), frames[2]);
    EXPECT_EQ(Screen(w.graphics).PresentedPixel(10, 5), 0u);
    knob->SetValueFromUserInput(1.0);
    ASSERT_TRUE(w.graphics->Tick());
    EXPECT_EQ(Screen(w.graphics).PresentedPixel(12, 4), frames[4]);
}

TEST(Paint, RotatedImagesNeedEveryImageInTheCache)
{
    Window w;
    Screen(w.graphics).AddImageResource(1, RowsPng(4, std::vector<uint32_t>(4, Red)));
    const BitmapInfo image = w.graphics->LoadBitmap(1, 1);
    const BitmapInfo missing = w.graphics->LoadBitmap(2, 1);
    w.Open();
    EXPECT_FALSE(w.graphics->DrawRotatedMasked(image, missing, image, 0, 0, 0.0, Blend()));
    EXPECT_FALSE(w.graphics->DrawRotatedBitmap(missing, 10, 10, 0.0, 0, Blend()));
    // Unturned, the image lands centred on the point (filtered: full red comes out as 254).
    EXPECT_TRUE(w.graphics->DrawRotatedBitmap(image, 10, 10, 0.0, 0, Blend(BlendKind::Copy, 1.0f)));
    EXPECT_GE(w.graphics->GetPixel(8, 8).r, 254);
    EXPECT_GE(w.graphics->GetPixel(11, 11).r, 254);
    EXPECT_EQ(w.graphics->GetPixel(7, 7), Colour());
    EXPECT_EQ(w.graphics->GetPixel(12, 12), Colour());
    EXPECT_TRUE(w.graphics->DrawRotatedMasked(image, image, image, 30, 0, 90.0, Blend(BlendKind::Copy, 1.0f)));
    EXPECT_NE(w.graphics->GetPixel(31, 1), Colour());
}

TEST(HeadlessWindow, OpensClosesAndReopensInPlace)
{
    RecordingPlug plug;
    auto graphics = MakeGraphics(&plug, 40, 30);
    const int32_t before = HeadlessWindow::OpenWindowCount();
    EXPECT_FALSE(graphics->Tick()) << "no timer without a window";
    EXPECT_TRUE(Screen(graphics).PresentedPixels().empty());
    int parent = 0;
    ASSERT_TRUE(graphics->OpenWindow(&parent));
    EXPECT_EQ(graphics->HostParent(), &parent);
    EXPECT_NE(graphics->GetWindowHandle(), nullptr);
    EXPECT_EQ(Screen(graphics).PresentedPixels().size(), 1200u);
    EXPECT_EQ(HeadlessWindow::OpenWindowCount(), before + 1);
    ASSERT_TRUE(graphics->OpenWindow(&parent));
    EXPECT_EQ(HeadlessWindow::OpenWindowCount(), before + 1);
    EXPECT_EQ(Screen(graphics).WindowRect(), Rect(0, 0, 40, 30));
    graphics->SetWindowTitle("Quillograph : Bus 1");
    EXPECT_EQ(Screen(graphics).WindowTitle(), "Quillograph : Bus 1");
    graphics->CloseWindow();
    graphics->CloseWindow();
    EXPECT_EQ(HeadlessWindow::OpenWindowCount(), before);
    EXPECT_FALSE(graphics->IsWindowOpen());
    EXPECT_EQ(graphics->GetFloatingWindowRect(), Rect());
}

TEST(HeadlessWindow, FloatingWindowKeepsItsPlaceAndTheFirstWindow)
{
    RecordingPlug plug;
    auto graphics = MakeGraphics(&plug, 40, 30);
    graphics->floating = true;
    ASSERT_TRUE(graphics->OpenFloatingWindow(Rect(300, 200, 340, 230)));
    EXPECT_EQ(Screen(graphics).WindowTitle(), "Probe");
    EXPECT_EQ(Screen(graphics).WindowRect(), Rect(300, 200, 346, 253));
    EXPECT_EQ(graphics->GetFloatingWindowRect(), Rect(300, 200, 340, 230));
    ASSERT_TRUE(graphics->OpenWindow(nullptr));
    EXPECT_EQ(graphics->GetFloatingWindowRect(), Rect(300, 200, 340, 230));
    graphics->CloseWindow();
    ASSERT_TRUE(graphics->OpenWindow(nullptr));
    EXPECT_EQ(graphics->GetFloatingWindowRect(), Rect(128, 128, 168, 158));
}

TEST(HeadlessWindow, MouseMessagesRouteAsTheWindowProcedureRoutesThem)
{
    Window w;
    ProbeControl* a = w.Add(Rect(0, 0, 20, 20), Red);
    ProbeControl* b = w.Add(Rect(30, 0, 50, 20), Green);
    w.graphics->mouseOverEnabled = true;
    Screen(w.graphics).MouseMove(5, 5, Keys(true));  // a button held without the capture: nothing
    Screen(w.graphics).MouseLeave();                  // no leave notice was asked for
    w.Open();
    Screen(w.graphics).MouseMove(5, 5, Keys());
    Screen(w.graphics).MouseDown(6, 6, Keys(true));
    Screen(w.graphics).MouseMove(9, 7, Keys(true));
    Screen(w.graphics).MouseUp(60, 25);
    Screen(w.graphics).MouseMove(9, 7, Keys(true));   // capture released
    Screen(w.graphics).MouseDoubleClick(7, 7, Keys(true));
    Screen(w.graphics).MouseWheel(8, 8, Keys(), 60);  // under one notch: 0 steps, still delivered
    Screen(w.graphics).MouseWheel(8, 8, Keys(), 120);
    Screen(w.graphics).MouseWheel(8, 8, Keys(), -360);
    Screen(w.graphics).MouseMove(35, 5, Keys());
    Screen(w.graphics).MouseLeave();
    Screen(w.graphics).MouseLeave();
    EXPECT_EQ(a->events, (std::vector<std::string>{"over 5 5", "down 6 6", "drag 9 7 3 1", "up 60 25", "dbl 7 7",
                                                   "wheel 0", "wheel 1", "wheel -3", "out"}));
    EXPECT_EQ(b->events, (std::vector<std::string>{"over 35 5", "out"}));
}

TEST(HeadlessWindow, DialogsAnswerCancelledAndPathsAreFolders)
{
    Window w;
    Colour colour(255, 1, 2, 3);
    EXPECT_FALSE(w.graphics->PromptForColour(colour, "Background Color")) << "no window";
    w.Open();
    EXPECT_FALSE(w.graphics->PromptForColour(colour, "Background Color"));
    EXPECT_EQ(colour, Colour(255, 1, 2, 3));
    EXPECT_EQ(Screen(w.graphics).LastColourTitle(), "Background Color");
    Screen(w.graphics).AnswerColourPrompt(true, Colour(0, 10, 20, 30));
    EXPECT_TRUE(w.graphics->PromptForColour(colour, ""));
    EXPECT_EQ(colour, Colour(255, 10, 20, 30)) << "alpha stays";

    std::string path = "old";
    EXPECT_FALSE(w.graphics->PromptForFile(path, false, "", ""));
    EXPECT_TRUE(path.empty());
    EXPECT_FALSE(w.graphics->OpenUrl("http://example.invalid/?page_id=25"));
    EXPECT_EQ(Screen(w.graphics).LastUrl(), "http://example.invalid/?page_id=25");
    EXPECT_FALSE(w.graphics->PromptParamValue(nullptr, nullptr));
    EXPECT_EQ(Screen(w.graphics).PromptCount(), 0);

    const std::string host = w.graphics->GetHostPath();
    const std::string plugin = w.graphics->GetPluginPath();
    ASSERT_FALSE(host.empty());
    EXPECT_EQ(host.back(), '/');
    ASSERT_FALSE(plugin.empty());
    EXPECT_EQ(plugin.back(), '/');
}
