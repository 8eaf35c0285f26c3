#include <gtest/gtest.h>

#include "graphics/BitmapControl.h"
#include "tests/graphics/ControlTestSupport.h"

namespace {

struct Editor {
    RecordingPlug plug;
    std::unique_ptr<GraphicsRaster> graphics = MakeGraphics(&plug);

    ProbeControl* Add(const Rect& rect, int32_t paramIdx = -1)
    {
        auto* control = new ProbeControl(&plug, rect, 0xFF000000u, paramIdx);
        graphics->AttachControl(control);
        return control;
    }
};

}  // namespace

TEST(Graphics, AttachKeepsOrderAndRefusesNullAndRepeats)
{
    Editor e;
    ProbeControl* a = e.Add(Rect(0, 0, 10, 10));
    EXPECT_EQ(e.graphics->AttachControl(nullptr), 1);
    EXPECT_EQ(e.graphics->AttachControl(a), 1);
    ProbeControl* b = e.Add(Rect(0, 0, 10, 10));
    EXPECT_EQ(e.graphics->ControlCount(), 2);
    EXPECT_EQ(e.graphics->ControlAtIndex(0), a);
    EXPECT_EQ(e.graphics->ControlAtIndex(1), b);
    EXPECT_EQ(e.graphics->ControlAtIndex(2), nullptr);
    EXPECT_EQ(e.graphics->ControlAtIndex(-1), nullptr);
}

TEST(Graphics, DestructionDeletesEveryControl)
{
    int deletions = 0;
    {
        Editor e;
        e.Add(Rect(0, 0, 5, 5))->deletions = &deletions;
        e.Add(Rect(5, 0, 9, 5))->deletions = &deletions;
    }
    EXPECT_EQ(deletions, 2);
}

TEST(Graphics, HitTestingPrefersLaterControlsAndSkipsHiddenAndDisabled)
{
    Editor e;
    e.Add(Rect(0, 0, 40, 20));   // 0
    e.Add(Rect(10, 5, 30, 15));  // 1, on top of 0
    ProbeControl* zero = e.Add(Rect(0, 0, 0, 0));
    zero->SetTargetRect(Rect());
    EXPECT_EQ(e.graphics->ControlAt(12, 6), 1);
    EXPECT_EQ(e.graphics->ControlAt(5, 6), 0);
    EXPECT_EQ(e.graphics->ControlAt(30, 6), 0) << "right edge is exclusive";
    EXPECT_EQ(e.graphics->ControlAt(10, 5), 1) << "left and top edges are inside";
    EXPECT_EQ(e.graphics->ControlAt(40, 0), -1);
    EXPECT_EQ(e.graphics->ControlAt(0, 0), 0) << "an all-zero target is never hit";

    e.graphics->ControlAtIndex(1)->SetHidden(true);
    EXPECT_EQ(e.graphics->ControlAt(12, 6), 0);
    e.graphics->ControlAtIndex(1)->SetHidden(false);
    e.graphics->ControlAtIndex(1)->SetDisabled(true);
    EXPECT_EQ(e.graphics->ControlAt(12, 6), 0);
    e.graphics->ControlAtIndex(0)->SetDisabled(true);
    EXPECT_EQ(e.graphics->ControlAt(12, 6), -1);
}

TEST(Graphics, ReleaseOutsideReachesThePressedControlAndDragsCarryDeltas)
{
    Editor e;
    ProbeControl* a = e.Add(Rect(0, 0, 20, 20));
    ProbeControl* b = e.Add(Rect(30, 0, 50, 20));
    e.graphics->OnMouseDown(5, 6, Keys(true));
    e.graphics->OnMouseDrag(8, 4, Keys(true));
    e.graphics->OnMouseDrag(35, 10, Keys(true));  // over b, still a's
    e.graphics->OnMouseUp(100, 100);              // outside every control
    EXPECT_EQ(a->events, (std::vector<std::string>{"down 5 6", "drag 8 4 3 -2", "drag 35 10 27 6", "up 100 100"}));
    EXPECT_TRUE(b->events.empty());

    // The capture is gone: the next release outside reaches nobody, a drag outside neither.
    e.graphics->OnMouseUp(100, 100);
    e.graphics->OnMouseDrag(100, 100, Keys(true));
    EXPECT_EQ(a->events.size(), 4u);

    // A press outside every control captures nothing.
    e.graphics->OnMouseDown(25, 5, Keys(true));
    EXPECT_EQ(e.graphics->ControlAt(35, 5), 1);
}

TEST(Graphics, DoubleClickDropsTheCaptureAndWheelReachesTheControlUnderThePointer)
{
    Editor e;
    ProbeControl* a = e.Add(Rect(0, 0, 20, 20));
    ProbeControl* b = e.Add(Rect(30, 0, 50, 20));
    e.graphics->OnMouseDown(5, 5, Keys(true));
    e.graphics->OnMouseDblClick(35, 5, Keys(true));
    e.graphics->OnMouseWheel(40, 5, Keys(), -2);
    EXPECT_EQ(a->events, std::vector<std::string>{"down 5 5"});
    EXPECT_EQ(b->events, (std::vector<std::string>{"dbl 35 5", "wheel -2"}));
    EXPECT_EQ(b->Value(), 0.0);
}

TEST(Graphics, HoverMovesBetweenControlsOnlyWhenEnabled)
{
    Editor e;
    ProbeControl* a = e.Add(Rect(0, 0, 20, 20));
    ProbeControl* b = e.Add(Rect(30, 0, 50, 20));
    EXPECT_FALSE(e.graphics->OnMouseOver(5, 5, Keys()));
    EXPECT_TRUE(a->events.empty());

    e.graphics->mouseOverEnabled = true;
    EXPECT_TRUE(e.graphics->OnMouseOver(5, 5, Keys()));
    EXPECT_TRUE(e.graphics->OnMouseOver(6, 5, Keys()));
    EXPECT_TRUE(e.graphics->OnMouseOver(25, 5, Keys()));  // between the two: nothing changes
    EXPECT_TRUE(e.graphics->OnMouseOver(31, 2, Keys()));
    e.graphics->OnMouseOut();
    e.graphics->OnMouseOut();
    EXPECT_EQ(a->events, (std::vector<std::string>{"over 5 5", "over 6 5", "out"}));
    EXPECT_EQ(b->events, (std::vector<std::string>{"over 31 2", "out"}));
}

TEST(Graphics, ValuesFromThePlugReachOnlyBoundControlsUnderTheLock)
{
    Editor e;
    ProbeControl* first = e.Add(Rect(0, 0, 5, 5), 1);
    ProbeControl* other = e.Add(Rect(0, 0, 5, 5), 2);
    ProbeControl* second = e.Add(Rect(0, 0, 5, 5), 1);
    // The lock is entered again inside; it must allow that.
    e.graphics->SetControlFromPlug(1, 0.625, &e.plug.Lock());
    EXPECT_EQ(first->Value(), 0.625);
    EXPECT_EQ(second->Value(), 0.625);
    EXPECT_EQ(first->DefaultValue(), 0.625);
    EXPECT_EQ(other->Value(), 0.0);
    EXPECT_LT(other->DefaultValue(), 0.0);
    e.graphics->SetControlFromPlug(-1, 0.5, nullptr);  // unbound controls are not "bound to -1"
    EXPECT_EQ(first->Value(), 0.625);
}

TEST(Graphics, AttachingToThePlugPushesEveryParameter)
{
    auto* plug = new RecordingPlug(3);
    plug->ParamAt(2).SetNormalized(0.5f);
    Graphics* graphics = CreateGraphics(plug, 64, 32, 24.0);
    auto* c = new ProbeControl(plug, Rect(0, 0, 5, 5), 0xFF000000u, 2);
    graphics->AttachControl(c);
    plug->AttachGraphics(graphics);
    EXPECT_EQ(c->DefaultValue(), 0.5);
    EXPECT_EQ(GraphicsOf(plug), graphics);
    delete plug;  // and with it the graphics object and the control
}

TEST(Graphics, AnyDirtyIsTheUnionOfDirtyControls)
{
    Editor e;
    Rect area(1, 2, 3, 4);
    EXPECT_FALSE(e.graphics->IsAnyDirty(area));
    ProbeControl* a = e.Add(Rect(10, 10, 20, 20));
    ProbeControl* b = e.Add(Rect(40, 5, 50, 12));
    ProbeControl* c = e.Add(Rect(0, 0, 2, 2));
    c->SetClean();
    ASSERT_TRUE(e.graphics->IsAnyDirty(area));
    EXPECT_EQ(area, Rect(10, 5, 50, 20));
    a->SetClean();
    b->SetClean();
    EXPECT_FALSE(e.graphics->IsAnyDirty(area));
}

TEST(Graphics, FrameRateIsSharedAndOnlyPositiveRatesReplaceIt)
{
    RecordingPlug plug;
    MakeGraphics(&plug, 8, 8, 30.0);
    EXPECT_EQ(Graphics::FrameRate(), 30.0);
    EXPECT_EQ(Graphics::TimerPeriod(), 33u);
    MakeGraphics(&plug, 8, 8, 0.0);
    MakeGraphics(&plug, 8, 8, -5.0);
    EXPECT_EQ(Graphics::FrameRate(), 30.0);
    MakeGraphics(&plug, 8, 8, 24.0);
    EXPECT_EQ(Graphics::TimerPeriod(), 41u);
}

TEST(Graphics, LoadBitmapCachesTheFirstAnswerFailuresIncluded)
{
    Editor e;
    Screen(e.graphics).AddImageResource(7, RowsPng(4, {0xFF102030u, 0xFF405060u, 0xFF708090u, 0xFFA0B0C0u, 0xFFD0E0F0u, 0xFF000000u}));
    const BitmapInfo first = e.graphics->LoadBitmap(7, 3);
    EXPECT_EQ(first.id, 7);
    EXPECT_EQ(first.width, 4);
    EXPECT_EQ(first.height, 6);
    EXPECT_EQ(first.frames, 3);
    EXPECT_EQ(e.graphics->LoadBitmap(7, 5).frames, 3);

    const BitmapInfo missing = e.graphics->LoadBitmap(9, 2);
    EXPECT_EQ(missing.width, 0);
    EXPECT_EQ(missing.height, 0);
    Screen(e.graphics).AddImageResource(9, RowsPng(2, {0xFFFFFFFFu}));
    EXPECT_EQ(e.graphics->LoadBitmap(9, 1).width, 0) << "a failed load stays cached";

    int32_t w = -1, h = -1;
    EXPECT_TRUE(e.graphics->LoadImageResource(9, w, h));
    EXPECT_EQ(w, 2);
    EXPECT_EQ(h, 1);
    EXPECT_FALSE(e.graphics->LoadImageResource(10, w, h));
    EXPECT_EQ(w, 0);
    EXPECT_EQ(h, 0);
}

TEST(Graphics, BackgroundGoesToTheFrontUnbound)
{
    Editor e;
    ProbeControl* a = e.Add(Rect(0, 0, 10, 10));
    Screen(e.graphics).AddImageResource(3, RowsPng(64, std::vector<uint32_t>(32, 0xFF336699u)));
    e.graphics->AttachBackground(3);
    ASSERT_EQ(e.graphics->ControlCount(), 2);
    auto* background = dynamic_cast<BitmapControl*>(e.graphics->ControlAtIndex(0));
    ASSERT_NE(background, nullptr);
    EXPECT_EQ(background->DrawRect(), Rect(0, 0, 64, 32));
    EXPECT_EQ(background->ParamIdx(), -1);
    EXPECT_EQ(background->GetBlend().kind, BlendKind::Copy);
    EXPECT_EQ(e.graphics->ControlAtIndex(1), a);
    EXPECT_EQ(e.graphics->ControlAt(5, 5), 1);
    EXPECT_EQ(e.graphics->ControlAt(50, 5), 0);
}
