#include <gtest/gtest.h>

#include <cmath>

#include "graphics/BitmapControl.h"
#include "tests/graphics/ControlTestSupport.h"

TEST(Control, StartsDirtyVisibleWithoutDefault)
{
    PlainControl c(nullptr, Rect(1, 2, 30, 40), 3);
    EXPECT_EQ(c.TargetRect(), Rect(1, 2, 30, 40));
    EXPECT_EQ(c.Value(), 0.0);
    EXPECT_LT(c.DefaultValue(), 0.0);
    EXPECT_TRUE(c.IsDirty());
    EXPECT_FALSE(c.IsHidden());
    EXPECT_FALSE(c.IsDisabled());
}

TEST(Control, WheelStepsAndClampsUnboundValue)
{
    PlainControl c(nullptr, Rect(0, 0, 10, 10));
    c.SetValue(0.5);
    c.OnMouseWheel(0, 0, Keys(), 1);
    EXPECT_DOUBLE_EQ(c.Value(), 0.51);
    c.OnMouseWheel(0, 0, Keys(false, false, true), 1);
    EXPECT_DOUBLE_EQ(c.Value(), 0.511);
    c.SetClean();
    c.OnMouseWheel(0, 0, Keys(), 0);  // a zero-step call still marks it
    EXPECT_TRUE(c.IsDirty());
    c.OnMouseWheel(0, 0, Keys(), 100);
    EXPECT_EQ(c.Value(), 1.0);
    c.OnMouseWheel(0, 0, Keys(), -300);
    EXPECT_EQ(c.Value(), 0.0);
}

TEST(Control, FirstPushedValueIsTheDefaultRestoredByDoubleClick)
{
    RecordingPlug plug;
    PlainControl c(&plug, Rect(0, 0, 10, 10), 1);

    // Nothing known yet: a double click changes nothing.
    c.SetValue(0.3);
    c.SetClean();
    c.OnMouseDblClick(0, 0, Keys());
    EXPECT_EQ(c.Value(), 0.3);
    EXPECT_FALSE(c.IsDirty());
    EXPECT_TRUE(plug.changed.empty());

    c.SetValueFromPlug(0.25, &plug.Lock());
    c.SetValueFromPlug(0.75, &plug.Lock());
    EXPECT_EQ(c.DefaultValue(), 0.25);
    EXPECT_EQ(c.Value(), 0.75);
    EXPECT_TRUE(plug.changed.empty()) << "values from the plug-in are not pushed back";

    c.OnMouseDblClick(0, 0, Keys());
    EXPECT_EQ(c.Value(), 0.25);
    ASSERT_EQ(plug.changed, std::vector<int>{1});
    EXPECT_FLOAT_EQ(static_cast<float>(plug.ParamAt(1).GetNormalized()), 0.25f);
}

TEST(Control, SameValueFromPlugDoesNotMarkDirty)
{
    PlainControl c(nullptr, Rect(0, 0, 10, 10), 0);
    c.SetValueFromPlug(0.5, nullptr);
    c.SetClean();
    c.SetValueFromPlug(0.5, nullptr);
    EXPECT_FALSE(c.IsDirty());
    c.SetValueFromPlug(0.6, nullptr);
    EXPECT_TRUE(c.IsDirty());
    // The very first push marks even when the value does not change.
    PlainControl d(nullptr, Rect(0, 0, 10, 10), 0);
    d.SetClean();
    d.SetValueFromPlug(0.0, nullptr);
    EXPECT_TRUE(d.IsDirty());
    EXPECT_EQ(d.DefaultValue(), 0.0);
}

TEST(Control, NaNNeverBecomesTheValueOrDefault)
{
    RecordingPlug plug;
    PlainControl c(&plug, Rect(0, 0, 10, 10), 0);
    c.SetValueFromPlug(std::nan(""), nullptr);
    EXPECT_LT(c.DefaultValue(), 0.0);
    c.SetValueFromUserInput(std::nan(""));
    EXPECT_EQ(c.Value(), 0.0);
    c.SetValue(std::nan(""));
    c.MarkDirty(true);
    EXPECT_EQ(c.Value(), 0.0);
    EXPECT_EQ(plug.ParamAt(0).GetNormalized(), 0.0);
}

TEST(Control, UserInputPushesOnlyChanges)
{
    RecordingPlug plug;
    PlainControl c(&plug, Rect(0, 0, 10, 10), 2);
    c.SetValueFromUserInput(0.0);
    EXPECT_TRUE(plug.changed.empty());
    c.SetValueFromUserInput(1.7);  // clamped before it reaches the parameter
    EXPECT_EQ(c.Value(), 1.0);
    ASSERT_EQ(plug.changed, std::vector<int>{2});
    EXPECT_EQ(plug.ParamAt(2).GetNormalized(), 1.0);
}

TEST(Control, LinkedControlsMirrorEvenInARing)
{
    RecordingPlug plug;
    PlainControl a(&plug, Rect(0, 0, 10, 10), 0);
    PlainControl b(&plug, Rect(10, 0, 20, 10), 1);
    a.SetLinked(&b);
    a.SetClean();
    b.SetClean();
    a.SetValue(0.4);
    a.MarkDirty(false);
    EXPECT_EQ(b.Value(), 0.4);
    EXPECT_TRUE(b.IsDirty());
    EXPECT_EQ(plug.changed, std::vector<int>{1}) << "the linked control pushes its own parameter";

    // Linked both ways: marking either ends.
    b.SetLinked(&a);
    b.SetValue(0.9);
    b.MarkDirty(true);
    EXPECT_EQ(a.Value(), 0.9);
    EXPECT_EQ(b.Value(), 0.9);
}

TEST(Control, HideAndDisableMarkWithoutPushAndDimTheBlend)
{
    RecordingPlug plug;
    PlainControl c(&plug, Rect(0, 0, 10, 10), 0);
    c.SetClean();
    c.SetDisabled(true);
    EXPECT_TRUE(c.IsDirty());
    EXPECT_EQ(c.GetBlend().weight, 0.25f);
    c.SetDisabled(false);
    EXPECT_EQ(c.GetBlend().weight, 1.0f);
    c.SetClean();
    c.SetHidden(true);
    EXPECT_TRUE(c.IsDirty());
    EXPECT_TRUE(plug.changed.empty());
}

TEST(Control, RightClickPromptsOnlyForABoundControl)
{
    RecordingPlug plug;
    auto* graphics = static_cast<GraphicsRaster*>(CreateGraphics(&plug, 64, 32, 24.0));
    auto* bound = new PlainControl(&plug, Rect(0, 0, 10, 10), 2);
    auto* unbound = new PlainControl(&plug, Rect(10, 0, 20, 10));
    auto* noPrompt = new PlainControl(&plug, Rect(20, 0, 30, 10), 1);
    noPrompt->SetPromptDisabled(true);
    graphics->AttachControl(bound);
    graphics->AttachControl(unbound);
    graphics->AttachControl(noPrompt);
    plug.AttachGraphics(graphics);  // the plug-in owns it from here

    graphics->OnMouseDown(5, 5, Keys(true));
    EXPECT_EQ(Screen(graphics).PromptCount(), 0);
    graphics->OnMouseDown(5, 5, Keys(false, true));
    EXPECT_EQ(Screen(graphics).PromptCount(), 1);
    EXPECT_EQ(Screen(graphics).PromptedControl(), bound);
    EXPECT_EQ(Screen(graphics).PromptedParam(), &plug.ParamAt(2));
    graphics->OnMouseDown(15, 5, Keys(false, true));
    graphics->OnMouseDown(25, 5, Keys(false, true));
    EXPECT_EQ(Screen(graphics).PromptCount(), 1);
}

TEST(BitmapControl, IsOneFrameHighAndPicksTheFrameByValue)
{
    const BitmapInfo image{7, 20, 50, 5};
    BitmapControl c(nullptr, 3, 4, -1, image, BlendKind::Copy);
    EXPECT_EQ(c.DrawRect(), Rect(3, 4, 23, 14));
    EXPECT_EQ(c.TargetRect(), c.DrawRect());
    EXPECT_EQ(c.GetBlend().kind, BlendKind::Copy);
    EXPECT_EQ(c.GetBlend().weight, 1.0f);

    EXPECT_EQ(c.Frame(), 1);
    EXPECT_EQ(c.FrameTop(), 0);
    c.SetValue(0.5);
    EXPECT_EQ(c.Frame(), 3);
    EXPECT_EQ(c.FrameTop(), 20);  // 2 x 50 / 5
    c.SetValue(0.37);             // 1.48 + 0.5 truncates to 1: frame 2
    EXPECT_EQ(c.Frame(), 2);
    c.SetValue(1.0);
    EXPECT_EQ(c.Frame(), 5);
    EXPECT_EQ(c.FrameTop(), 40);
    c.SetValue(7.0);
    EXPECT_EQ(c.Frame(), 5);
    c.SetValue(std::nan(""));
    EXPECT_EQ(c.Frame(), 1);

    // Odd heights round the frame top: 3 x 7 / 4 + 0.5.
    BitmapControl odd(nullptr, 0, 0, -1, BitmapInfo{1, 4, 7, 4}, BlendKind::None);
    odd.SetValue(1.0);
    EXPECT_EQ(odd.FrameTop(), 5);

    // A frame count of 0 is one frame, not a division by zero.
    BitmapControl none(nullptr, 0, 0, -1, BitmapInfo{2, 8, 9, 0}, BlendKind::None);
    EXPECT_EQ(none.DrawRect(), Rect(0, 0, 8, 9));
    none.SetValue(1.0);
    EXPECT_EQ(none.Frame(), 1);
}
