#include <gtest/gtest.h>

#include <cmath>
#include <utility>

#include "graphics/Line.h"
#include "tests/graphics/GraphicsTestSupport.h"

namespace {
constexpr uint32_t Black = 0xFF000000u;
constexpr uint32_t White = 0xFFFFFFFFu;
}

TEST(DrawLine, ClippedLineRunsAlongRowFive)
{
    FilledSurface s(232, 96, Black);
    DrawLine(s, White, -10.0f, 5.0f, 300.0f, 5.0f, RasterCopy, 1.0f, false);
    for (int x = 0; x < 232; ++x) ASSERT_EQ(Pixel(s, x, 5), White) << x;
    EXPECT_EQ(CountPixelsNot(s, Black), 232);
}

TEST(DrawLine, ClipLineMovesEndsOntoTheEdges)
{
    float x1 = -10.0f, y1 = 5.0f, x2 = 300.0f, y2 = 5.0f;
    ASSERT_TRUE(ClipLine(x1, y1, x2, y2, 232, 96));
    EXPECT_EQ(x1, 0.0f);
    EXPECT_EQ(x2, 231.0f);
    EXPECT_EQ(y1, 5.0f);
    float a = 10.0f, b = -10.0f, c = 10.0f, d = 200.0f;  // vertical, through top and bottom
    ASSERT_TRUE(ClipLine(a, b, c, d, 232, 96));
    EXPECT_EQ(b, 0.0f);
    EXPECT_EQ(d, 95.0f);
    float e = -5.0f, f = -5.0f, g = -1.0f, h = 50.0f;  // both left of the surface
    EXPECT_FALSE(ClipLine(e, f, g, h, 232, 96));
}

TEST(DrawLine, OpaqueFullWeightOverwritesWhateverTheOperation)
{
    FilledSurface s(10, 3, 0xFF404040u);
    DrawLine(s, 0xFF101010u, 0.0f, 1.0f, 9.0f, 1.0f, RasterAdd | UseSourceAlpha, 1.0f, false);
    for (int x = 0; x < 10; ++x) EXPECT_EQ(Pixel(s, x, 1), 0xFF101010u);
    // Not opaque: blended by the operation instead.
    DrawLine(s, 0x80101010u, 0.0f, 0.0f, 9.0f, 0.0f, RasterAdd | UseSourceAlpha, 1.0f, false);
    EXPECT_EQ(Pixel(s, 4, 0), 0xFF484848u);  // 64 + 16 * 128 / 256; alpha 255 + 64 clamps
}

TEST(DrawLine, DegenerateLinesDrawOneOrFourPixels)
{
    FilledSurface s(8, 8, Black);
    DrawLine(s, White, 3.2f, 4.1f, 3.4f, 4.3f, RasterCopy, 1.0f, false);
    EXPECT_EQ(CountPixelsNot(s, Black), 1);
    EXPECT_EQ(Pixel(s, 3, 4), White);

    FilledSurface b(8, 8, Black);  // blended: one pixel at full weight whatever the line's weight
    DrawLine(b, 0xFF00FF00u, 2.0f, 2.0f, 2.0f, 2.0f, RasterCopy, 0.25f, false);
    EXPECT_EQ(Pixel(b, 2, 2), 0xFF00FF00u);
    EXPECT_EQ(CountPixelsNot(b, Black), 1);

    FilledSurface a(8, 8, 0x00000000u);  // anti-aliased: four pixels at (0.5 + 0.5) / 4
    DrawLine(a, White, 2.5f, 5.5f, 2.6f, 5.6f, RasterCopy, 1.0f, true);
    EXPECT_EQ(CountPixelsNot(a, 0), 4);
    for (auto [x, y] : {std::pair{2, 5}, {3, 5}, {2, 6}, {3, 6}}) EXPECT_EQ(Pixel(a, x, y), 0x3F3F3F3Fu);

    FilledSurface c(4, 4, 0);  // at the corner only the pixel on the surface is touched
    DrawLine(c, White, 3.4f, 3.4f, 3.4f, 3.4f, RasterAdd, 1.0f, true);
    EXPECT_EQ(CountPixelsNot(c, 0), 1);
}

TEST(DrawLine, StepsWithErrorTerm)
{
    FilledSurface s(8, 4, Black);
    DrawLine(s, White, 0.0f, 0.0f, 7.0f, 3.0f, RasterCopy, 1.0f, false);
    const char* expected[] = {"XX......", "..XX....", "....XX..", "......XX"};
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 8; ++x) EXPECT_EQ(Pixel(s, x, y) == White, expected[y][x] == 'X') << x << "," << y;
}

TEST(DrawLine, MinorOvershootStaysOnTheSurface)
{
    // Rounding both ends out gives three steps for 1.2 pixels of rise: the third step would
    // land on row 2 of a two-row surface.
    FilledSurface s(3, 2, Black);
    DrawLine(s, White, 0.4f, 0.0f, 1.6f, 1.2f, RasterCopy, 1.0f, false);
    DrawLine(s, 0x80FFFFFFu, 0.4f, 0.0f, 1.6f, 1.2f, RasterCopy | UseSourceAlpha, 1.0f, false);
    EXPECT_EQ(Pixel(s, 0, 0) != Black, true);
    EXPECT_EQ(Pixel(s, 1, 1) != Black, true);
}

TEST(DrawLine, AntiAliasedEndsNearEdgesStayOnTheSurface)
{
    FilledSurface s(6, 4, 0);
    // The first end's row extrapolates above row 0 and the last one below row 3.
    DrawLine(s, White, 0.0f, 0.0f, 5.9f, 3.49f, RasterAdd, 1.0f, true);
    DrawLine(s, White, 5.9f, 0.0f, 0.0f, 3.49f, RasterAdd, 1.0f, true);
    DrawLine(s, White, 0.0f, 3.49f, 3.0f, 0.0f, RasterAdd, 1.0f, true);
    EXPECT_GT(CountPixelsNot(s, 0), 8);
}

TEST(DrawLine, AntiAliasedHorizontalLineSplitsCoverage)
{
    FilledSurface s(10, 5, 0);
    DrawLine(s, White, 0.0f, 2.25f, 9.0f, 2.25f, RasterAdd, 1.0f, true);
    // Row 2 gets 1 - 0.25 and row 3 gets 0.25 of full strength in the middle columns.
    EXPECT_EQ(Pixel(s, 4, 2), 0xBFBFBFBFu);
    EXPECT_EQ(Pixel(s, 4, 3), 0x3F3F3F3Fu);
    EXPECT_EQ(Pixel(s, 4, 1), 0u);
}

TEST(DrawLine, NonFiniteAndHugeCoordinates)
{
    FilledSurface s(20, 10, Black);
    for (float bad : {NAN, INFINITY, -INFINITY})
        for (bool aa : {false, true}) {
            DrawLine(s, White, bad, 1.0f, 5.0f, 5.0f, RasterCopy, 1.0f, aa);
            DrawLine(s, White, 1.0f, 1.0f, 5.0f, bad, RasterCopy, 1.0f, aa);
        }
    EXPECT_EQ(CountPixelsNot(s, Black), 0);
    DrawLine(s, White, -3e38f, 4.0f, 3e38f, 4.0f, RasterCopy, 1.0f, false);
    DrawLine(s, White, -3e38f, -3e38f, 3e38f, 3e38f, RasterCopy, 1.0f, true);
    DrawLine(s, White, 1e30f, 1e30f, 2e30f, 1e30f, RasterCopy, 1.0f, true);
    for (int x = 0; x < 20; ++x) EXPECT_EQ(Pixel(s, x, 4), White);
}

TEST(DrawLine, ZeroWeightAndUnknownOperationDrawNothing)
{
    FilledSurface s(8, 8, Black);
    DrawLine(s, White, 0.0f, 0.0f, 7.0f, 7.0f, RasterCopy, 0.0f, false);
    DrawLine(s, White, 0.0f, 0.0f, 7.0f, 7.0f, RasterCopy, -1.0f, true);
    DrawLine(s, White, 0.0f, 0.0f, 7.0f, 7.0f, RasterAdd, 0.0f, true);
    DrawLine(s, White, 0.0f, 0.0f, 7.0f, 7.0f, 5, 1.0f, false);
    DrawLine(s, White, 0.0f, 0.0f, 7.0f, 7.0f, 0xF3, 1.0f, true);
    EXPECT_EQ(CountPixelsNot(s, Black), 0);
}

TEST(DrawLine, PolylinesDrawAsLinesInTurn)
{
    // Two crossing curves that leave the surface, with a point that is no number, blended at
    // part strength so that the order of drawing shows where they cross.
    const float x[] = {-3.0f, 2.5f, 7.25f, 11.0f, 16.5f, 23.0f, 27.75f, 35.0f};
    const float a[] = {4.0f, 1.2f, 9.7f, 14.3f, NAN, 3.5f, 17.9f, 21.0f};
    const float b[] = {12.0f, 15.6f, 2.4f, 8.8f, 6.1f, 19.5f, -2.0f, 4.4f};
    for (bool aa : {true, false})
        for (const float* second : {static_cast<const float*>(nullptr), b}) {
            FilledSurface lines(32, 18, 0xFF203040u), whole(32, 18, 0xFF203040u);
            for (int i = 0; i + 1 < 8; ++i) {
                DrawLine(lines, 0xFFE0C0A0u, x[i], a[i], x[i + 1], a[i + 1], RasterCopy, 0.6f, aa);
                if (second) DrawLine(lines, 0xFFE0C0A0u, x[i], b[i], x[i + 1], b[i + 1], RasterCopy, 0.6f, aa);
            }
            DrawPolylines(whole, 0xFFE0C0A0u, x, a, second, 8, RasterCopy, 0.6f, aa);
            for (int y = 0; y < 18; ++y)
                for (int c = 0; c < 32; ++c) ASSERT_EQ(Pixel(whole, c, y), Pixel(lines, c, y)) << c << "," << y;
            EXPECT_GT(CountPixelsNot(whole, 0xFF203040u), 20);
        }
}

TEST(DrawLine, VerticalLinesDrawAsLinesInTurn)
{
    // Columns on, beside and just past the edges; ends inside, above, below, across both
    // edges, inside one pixel, reversed, huge and no number; overlapping so the order shows.
    const float x[] = {0.0f, 3.4f, 3.6f, -0.2f, 31.4f, 31.6f, 7.0f, 7.0f, 9.5f, 12.0f, NAN, 15.0f, 18.0f, 20.0f, 22.0f, 25.0f};
    const float a[] = {2.0f, -5.0f, 17.4f, 4.0f, 1.0f, 3.0f, 3.2f, 15.0f, -3.0f, 30.0f, 2.0f, 3e38f, -INFINITY, 17.6f, 8.0f, -0.4f};
    const float b[] = {9.0f, 6.3f, 30.0f, 8.0f, 12.0f, 9.0f, 3.9f, 2.5f, -1.0f, 20.0f, 9.0f, -3e38f, 5.0f, 17.4f, 8.0f, 0.4f};
    for (uint32_t colour : {0xFFE0C0A0u, 0x80E0C0A0u})
        for (RasterMode mode : {RasterMode(RasterCopy), RasterMode(RasterAdd), RasterMode(RasterCopy | UseSourceAlpha)})
            for (float weight : {1.0f, 0.6f}) {
                FilledSurface lines(32, 18, 0xFF203040u), whole(32, 18, 0xFF203040u);
                for (int i = 0; i < 16; ++i) DrawLine(lines, colour, x[i], a[i], x[i], b[i], mode, weight, false);
                DrawVerticalLines(whole, colour, x, a, b, 16, mode, weight);
                for (int y = 0; y < 18; ++y)
                    for (int c = 0; c < 32; ++c) ASSERT_EQ(Pixel(whole, c, y), Pixel(lines, c, y)) << c << "," << y;
                EXPECT_GT(CountPixelsNot(whole, 0xFF203040u), 40);
            }
}
