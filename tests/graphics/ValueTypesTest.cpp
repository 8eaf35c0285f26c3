#include <gtest/gtest.h>

#include <climits>

#include "graphics/Blend.h"
#include "graphics/Colour.h"
#include "graphics/Rect.h"
#include "graphics/TextStyle.h"

TEST(Colour, PacksLowBytesOfEachChannel)
{
    EXPECT_EQ(PackColour(Colour(255, 1, 2, 3)), 0xFF010203u);
    EXPECT_EQ(PackColour(Colour(128, 0x1FF, 0x100, -1)), 0x80FF00FFu);
    EXPECT_EQ(UnpackColour(0x80FF10EEu), Colour(128, 255, 16, 238));
    EXPECT_EQ(UnpackColour(PackColour(Colour(7, 8, 9, 10))), Colour(7, 8, 9, 10));
}

TEST(Rect, EmptyOnlyWhenAllZero)
{
    EXPECT_TRUE(Rect().IsEmpty());
    EXPECT_FALSE(Rect(5, 5, 5, 5).IsEmpty());
    EXPECT_FALSE(Rect(10, 0, 0, 10).IsEmpty());
    EXPECT_EQ(Rect(INT32_MIN, 0, INT32_MAX, 1).Width(), int64_t(UINT32_MAX));
}

TEST(Rect, UnionSkipsEmptySides)
{
    const Rect a(10, 20, 30, 40), b(0, 25, 15, 50);
    EXPECT_EQ(RectUnion(a, Rect()), a);
    EXPECT_EQ(RectUnion(Rect(), b), b);
    EXPECT_EQ(RectUnion(a, b), Rect(0, 20, 30, 50));
}

TEST(Rect, TouchingRightOrBottomEdgeOverlaps)
{
    const Rect a(0, 0, 10, 10);
    EXPECT_TRUE(RectsOverlap(a, Rect(10, 0, 20, 10)));   // a's right edge touches
    EXPECT_TRUE(RectsOverlap(a, Rect(0, 10, 10, 20)));   // a's bottom edge touches
    EXPECT_FALSE(RectsOverlap(Rect(10, 0, 20, 10), a));  // but not the other way round
    EXPECT_FALSE(RectsOverlap(a, Rect(11, 0, 20, 10)));
    EXPECT_FALSE(RectsOverlap(a, Rect()));
    EXPECT_FALSE(RectsOverlap(Rect(), Rect()));
}

TEST(Rect, IntersectionOfOverlappingAndSeparateRects)
{
    EXPECT_EQ(RectIntersection(Rect(0, 0, 10, 10), Rect(5, -5, 20, 8)), Rect(5, 0, 10, 8));
    EXPECT_EQ(RectIntersection(Rect(0, 0, 10, 10), Rect(10, 0, 20, 10)), Rect(10, 0, 10, 10));
    EXPECT_EQ(RectIntersection(Rect(0, 0, 10, 10), Rect(50, 50, 60, 60)), Rect());
}

TEST(Blend, KindsSelectRasterModes)
{
    EXPECT_EQ(RasterModeFor(Blend()), RasterCopy | UseSourceAlpha);
    EXPECT_EQ(RasterModeFor(BlendKind::Copy), 0u);
    EXPECT_EQ(RasterModeFor(BlendKind::Add), 0x10001u);
    EXPECT_EQ(RasterModeFor(BlendKind::Dodge), 0x10002u);
    EXPECT_EQ(RasterModeFor(static_cast<BlendKind>(7)), 0x10000u);
    EXPECT_EQ(RasterModeFor(static_cast<BlendKind>(-1)), 0x10000u);
    EXPECT_EQ(Blend().weight, 1.0f);
    EXPECT_EQ(ChannelCopyMode(3, 0), 0xF3u);
    EXPECT_EQ(ChannelCopyMode(0, 3), 0xFCu);
}

TEST(TextStyle, Defaults)
{
    const TextStyle s;
    EXPECT_EQ(s.face, "Arial");
    EXPECT_EQ(s.size, 14);
    EXPECT_EQ(s.colour, Colour(255, 0, 0, 0));
    EXPECT_EQ(s.style, 0);
    EXPECT_EQ(s.align, 1);
    EXPECT_EQ(s.orientation, 0);
}
