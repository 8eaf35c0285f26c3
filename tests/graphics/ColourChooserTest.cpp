// The colour chooser driven as a window would drive it, headless: its pictures compared whole
// with stored ones, and the colour that keyboard and mouse sessions leave behind.
#include <gtest/gtest.h>

#include "graphics/ColourChooser.h"
#include "graphics/MemorySurface.h"
#include "tests/graphics/GraphicsTestSupport.h"

namespace {

using Key = ColourChooser::Key;

int32_t MiddleX(const Rect& r) { return (r.left + r.right) / 2; }
int32_t MiddleY(const Rect& r) { return (r.top + r.bottom) / 2; }

void Click(ColourChooser& c, const Rect& r)
{
    c.MouseDown(MiddleX(r), MiddleY(r));
    c.MouseUp(MiddleX(r), MiddleY(r));
}

void ExpectRgb(const Colour& c, int32_t r, int32_t g, int32_t b)
{
    EXPECT_EQ(c.r, r);
    EXPECT_EQ(c.g, g);
    EXPECT_EQ(c.b, b);
}

}  // namespace

TEST(ColourChooser, FreshPictureAndItsEnlargement)
{
    ColourChooser chooser(Colour(255, 40, 96, 160), "Background Color");
    EXPECT_EQ(chooser.Title(), "Background Color");
    EXPECT_TRUE(chooser.Dirty());
    const Surface& picture = chooser.Picture();
    EXPECT_FALSE(chooser.Dirty());
    ExpectPicture(picture, "chooser-fresh");

    // What a window at 3x shows: every pixel a 3 x 3 block of the 1x picture.
    MemorySurface window(ColourChooser::Width * 3, ColourChooser::Height * 3);
    chooser.Present(RowsOf(window), 3);
    int differing = 0;
    for (int32_t y = 0; y < window.height(); ++y)
        for (int32_t x = 0; x < window.width(); ++x) differing += Pixel(window, x, y) != Pixel(picture, x / 3, y / 3);
    EXPECT_EQ(differing, 0);
}

TEST(ColourChooser, KeyboardSessions)
{
    ColourChooser chooser(Colour(200, 10, 20, 30), "Graph Edge Color");
    EXPECT_EQ(chooser.Focused(), ColourChooser::Focus::Red);
    for (int i = 0; i < 3; ++i) chooser.Press(Key::Right);   // R 13
    chooser.Press(Key::Tab);
    chooser.Press(Key::PageUp);                              // G 36
    chooser.Press(Key::Down);
    chooser.Press(Key::End);
    chooser.Press(Key::Left);                                // B 254
    chooser.Press(Key::Down);
    chooser.Press(Key::Down);                                // stays on the preset row
    EXPECT_EQ(chooser.Focused(), ColourChooser::Focus::Presets);
    chooser.Press(Key::Tab);                                 // wraps to R
    chooser.Press(Key::PageDown);                            // clamps at 0
    chooser.Press(Key::ShiftTab);
    chooser.Press(Key::ShiftTab);
    chooser.Press(Key::ShiftTab);                            // G
    for (char c : std::string("128")) chooser.Type(c);
    chooser.Press(Key::Up);
    chooser.Press(Key::Up);
    EXPECT_EQ(chooser.Focused(), ColourChooser::Focus::Red);
    for (char c : std::string("2x5")) chooser.Type(c);       // 25: other characters are ignored
    chooser.Type('9');                                       // 259 is too much: a new number
    chooser.Type('9');
    chooser.Press(Key::Backspace);
    chooser.Type('7');                                       // R 97
    ExpectRgb(chooser.Editing(), 97, 128, 254);
    ExpectRgb(chooser.Result(), 10, 20, 30);
    EXPECT_FALSE(chooser.Finished());
    chooser.Press(Key::Enter);
    EXPECT_TRUE(chooser.Finished());
    EXPECT_TRUE(chooser.Confirmed());
    EXPECT_EQ(chooser.Result(), Colour(200, 97, 128, 254));  // alpha untouched
    chooser.Press(Key::Home);                                // finished: nothing moves any more
    EXPECT_EQ(chooser.Result(), Colour(200, 97, 128, 254));

    // The preset row walks its swatches and takes each; Escape gives the start colour back.
    ColourChooser cancelled(Colour(255, 1, 2, 3), "Caption Font Color");
    cancelled.Press(Key::ShiftTab);
    cancelled.Press(Key::Home);
    ExpectRgb(cancelled.Editing(), 0, 0, 0);
    cancelled.Press(Key::Right);
    cancelled.Press(Key::Right);
    EXPECT_EQ(cancelled.Editing(), Colour(255, 255, 255, 255));
    cancelled.Press(Key::End);
    cancelled.Press(Key::Right);
    EXPECT_EQ(cancelled.Editing(), ColourChooser::Preset(ColourChooser::PresetCount - 1));
    cancelled.Press(Key::Escape);
    EXPECT_TRUE(cancelled.Finished());
    EXPECT_FALSE(cancelled.Confirmed());
    EXPECT_EQ(cancelled.Result(), Colour(255, 1, 2, 3));
}

TEST(ColourChooser, MouseSessions)
{
    ColourChooser chooser(Colour(255, 50, 60, 70), "Graph Fill Color");
    chooser.Picture();
    const Rect green = ColourChooser::TrackRect(1);
    const int32_t y = MiddleY(green);
    // A press off everything changes nothing and needs no redraw.
    chooser.MouseDown(2, 2);
    chooser.MouseUp(2, 2);
    EXPECT_FALSE(chooser.Dirty());

    // 64 pixels into the 128-pixel track: 64 * 255 / 127 = 128.5, rounded to 129.
    chooser.MouseDown(green.left + 64, y);
    EXPECT_EQ(chooser.Focused(), ColourChooser::Focus::Green);
    EXPECT_EQ(chooser.Editing().g, 129);
    EXPECT_TRUE(chooser.Dirty());
    chooser.MouseDrag(green.left + 10, y + 40);    // follows x wherever the pointer is
    EXPECT_EQ(chooser.Editing().g, 20);
    chooser.MouseDrag(green.right + 50, y);
    EXPECT_EQ(chooser.Editing().g, 255);
    chooser.MouseUp(green.left - 30, y);
    EXPECT_EQ(chooser.Editing().g, 0);
    chooser.MouseDrag(green.left + 64, y);         // released: no longer dragging
    ExpectRgb(chooser.Editing(), 50, 0, 70);

    Click(chooser, ColourChooser::PresetRect(5));
    EXPECT_EQ(chooser.Focused(), ColourChooser::Focus::Presets);
    ExpectRgb(chooser.Editing(), 220, 220, 100);
    Click(chooser, ColourChooser::OldSwatchRect());
    ExpectRgb(chooser.Editing(), 50, 60, 70);
    Click(chooser, ColourChooser::PresetRect(8));
    ExpectRgb(chooser.Editing(), 0, 128, 255);

    // A press on Cancel that leaves the button before the release does nothing.
    const Rect cancel = ColourChooser::CancelRect();
    chooser.MouseDown(MiddleX(cancel), MiddleY(cancel));
    chooser.MouseDrag(MiddleX(cancel), cancel.top - 20);
    chooser.MouseUp(MiddleX(cancel), cancel.top - 20);
    EXPECT_FALSE(chooser.Finished());
    Click(chooser, ColourChooser::OkRect());
    EXPECT_TRUE(chooser.Finished());
    EXPECT_TRUE(chooser.Confirmed());
    ExpectRgb(chooser.Result(), 0, 128, 255);

    ColourChooser cancelled(Colour(255, 50, 60, 70), "Graph Fill Color");
    cancelled.MouseDown(ColourChooser::TrackRect(0).right - 1, MiddleY(ColourChooser::TrackRect(0)));
    cancelled.MouseUp(ColourChooser::TrackRect(0).right - 1, MiddleY(ColourChooser::TrackRect(0)));
    ExpectRgb(cancelled.Editing(), 255, 60, 70);
    Click(cancelled, cancel);
    EXPECT_TRUE(cancelled.Finished());
    EXPECT_FALSE(cancelled.Confirmed());
    ExpectRgb(cancelled.Result(), 50, 60, 70);
}

TEST(ColourChooser, PictureAfterChanges)
{
    // A new colour beside the old, the focus on the blue slider and OK held down.
    ColourChooser chooser(Colour(255, 220, 220, 100), "Graph Fill Color");
    Click(chooser, ColourChooser::PresetRect(8));
    chooser.Press(Key::Left);            // (0, 200, 200)
    chooser.Press(Key::ShiftTab);
    chooser.Press(Key::PageDown);        // blue 184
    const Rect ok = ColourChooser::OkRect();
    chooser.MouseDown(MiddleX(ok), MiddleY(ok));
    ExpectRgb(chooser.Editing(), 0, 200, 184);
    ExpectPicture(chooser.Picture(), "chooser-changed");
}
