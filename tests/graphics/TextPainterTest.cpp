#include <gtest/gtest.h>

#include <algorithm>

#include "graphics/Fill.h"
#include "graphics/SystemSurface.h"
#include "graphics/TextPainter.h"
#include "tests/graphics/GraphicsTestSupport.h"

namespace {

constexpr uint32_t White = 0xFFFFFFFFu;

struct Ink {
    int left = 1 << 30, top = 1 << 30, right = -1, bottom = -1;  // inclusive bounds
    int count = 0;
    int width() const { return right - left + 1; }
    int height() const { return bottom - top + 1; }
};

Ink InkOf(const Surface& s, uint32_t background)
{
    Ink ink;
    for (int y = 0; y < s.height(); ++y)
        for (int x = 0; x < s.width(); ++x)
            if (Pixel(s, x, y) != background) {
                ink.left = std::min(ink.left, x);
                ink.right = std::max(ink.right, x);
                ink.top = std::min(ink.top, y);
                ink.bottom = std::max(ink.bottom, y);
                ++ink.count;
            }
    return ink;
}

struct Canvas {
    SystemSurface surface{232, 96};
    TextPainter painter;
    Canvas() { FillRect(surface, White, Rect(0, 0, 232, 96), RasterCopy, 1.0f); }
};

TextStyle Caption(int align, int size = 12, Colour colour = Colour(255, 0, 128, 255))
{
    return TextStyle("Arial", size, colour, TextNormal, align, 0);
}

}  // namespace

TEST(TextPainter, DrawsInTheStyleColourOnTheFirstLine)
{
    Canvas c;
    ASSERT_TRUE(c.painter.DrawText(c.surface, Caption(AlignCentre), "1.0x", Rect(100, 40, 140, 60)));
    const Ink ink = InkOf(c.surface, White);
    ASSERT_GT(ink.count, 10);
    // Cell height 12: the digits sit within the first 12 rows of the rectangle.
    EXPECT_GE(ink.top, 40);
    EXPECT_LE(ink.bottom, 40 + 12);
    EXPECT_GE(ink.height(), 7);
    bool full = false;  // somewhere the glyph covers a pixel fully: the exact style colour
    for (int y = ink.top; y <= ink.bottom; ++y)
        for (int x = ink.left; x <= ink.right; ++x) full |= (Pixel(c.surface, x, y) & 0xFFFFFF) == 0x0080FF;
    EXPECT_TRUE(full);
    EXPECT_TRUE(c.painter.fontChosen());
}

TEST(TextPainter, AlignsLeftCentreAndRight)
{
    const Rect area(50, 10, 150, 30);
    Ink inks[3];
    for (int align : {AlignLeft, AlignCentre, AlignRight}) {
        Canvas c;
        ASSERT_TRUE(c.painter.DrawText(c.surface, Caption(align), "-24 dB", area));
        inks[align] = InkOf(c.surface, White);
    }
    EXPECT_LE(inks[AlignLeft].left - area.left, 2);
    EXPECT_LE(area.right - 1 - inks[AlignRight].right, 2);
    const int centre = (inks[AlignCentre].left + inks[AlignCentre].right) / 2;
    EXPECT_NEAR(centre, (area.left + area.right) / 2, 2);
    EXPECT_EQ(inks[AlignLeft].width(), inks[AlignCentre].width());
    EXPECT_EQ(inks[AlignLeft].top, inks[AlignRight].top);
}

TEST(TextPainter, NotClippedToTheRectangle)
{
    Canvas c;
    ASSERT_TRUE(c.painter.DrawText(c.surface, Caption(AlignCentre), "20000 Hz", Rect(110, 50, 120, 52)));
    const Ink ink = InkOf(c.surface, White);
    EXPECT_LT(ink.left, 105);
    EXPECT_GT(ink.right, 125);
    EXPECT_GT(ink.bottom, 55);
}

TEST(TextPainter, FirstStyleChoosesTheFontForGood)
{
    const std::string text = "Mix 1.5x";
    const Rect area(0, 5, 232, 40);
    Canvas bigFirst;
    TextStyle big = Caption(AlignLeft, 20);
    big.style = TextBold;
    ASSERT_TRUE(bigFirst.painter.DrawText(bigFirst.surface, big, "first", Rect(0, 60, 232, 90)));
    FillRect(bigFirst.surface, White, Rect(0, 0, 232, 96), RasterCopy, 1.0f);
    ASSERT_TRUE(bigFirst.painter.DrawText(bigFirst.surface, Caption(AlignLeft, 10), text, area));
    EXPECT_EQ(bigFirst.painter.fontStyle().size, 20);

    Canvas bold;
    ASSERT_TRUE(bold.painter.DrawText(bold.surface, big, text, area));
    Canvas small;
    ASSERT_TRUE(small.painter.DrawText(small.surface, Caption(AlignLeft, 10), text, area));

    // The later 10-pixel call drew in the bold 20-pixel font, in its own colour.
    const Ink a = InkOf(bigFirst.surface, White), b = InkOf(bold.surface, White), s = InkOf(small.surface, White);
    EXPECT_EQ(a.left, b.left);
    EXPECT_EQ(a.right, b.right);
    EXPECT_EQ(a.height(), b.height());
    EXPECT_GT(a.width(), s.width() * 3 / 2);
    for (int y = 0; y < 96; ++y)
        for (int x = 0; x < 232; ++x) ASSERT_EQ(Pixel(bigFirst.surface, x, y), Pixel(bold.surface, x, y));
}

TEST(TextPainter, ArialResolvesToLiberationSans)
{
    Canvas arial, liberation;
    TextStyle other = Caption(AlignLeft);
    other.face = "Liberation Sans";
    ASSERT_TRUE(arial.painter.DrawText(arial.surface, Caption(AlignLeft), "Abc 123", Rect(4, 4, 200, 30)));
    ASSERT_TRUE(liberation.painter.DrawText(liberation.surface, other, "Abc 123", Rect(4, 4, 200, 30)));
    for (int y = 0; y < 96; ++y)
        for (int x = 0; x < 232; ++x) ASSERT_EQ(Pixel(arial.surface, x, y), Pixel(liberation.surface, x, y));
}

TEST(TextPainter, EdgesEmptyTextAndLineBreaks)
{
    Canvas c;
    EXPECT_TRUE(c.painter.DrawText(c.surface, Caption(AlignLeft), "", Rect(0, 0, 10, 10)));
    EXPECT_EQ(InkOf(c.surface, White).count, 0);
    // Off every edge: drawn partly or not at all, never outside the pixels.
    for (const Rect& r : {Rect(-30, -8, 0, 0), Rect(225, 90, 300, 120), Rect(INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX)})
        EXPECT_TRUE(c.painter.DrawText(c.surface, Caption(AlignCentre), "Overflow\x80\xFF&&", r));
    Canvas two;
    ASSERT_TRUE(two.painter.DrawText(two.surface, Caption(AlignLeft), "8\r\n8", Rect(10, 10, 100, 50)));
    const Ink ink = InkOf(two.surface, White);
    EXPECT_GE(ink.height(), 12 + 7);  // a second line one cell below the first
}
