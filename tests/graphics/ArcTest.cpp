#include <gtest/gtest.h>

#include <cmath>
#include <tuple>

#include "graphics/Arc.h"
#include "tests/graphics/GraphicsTestSupport.h"

namespace {
constexpr uint32_t Black = 0xFF000000u;
constexpr uint32_t White = 0xFFFFFFFFu;
constexpr float Pi = 3.14159265f;
}

TEST(DrawCircle, PlainCircleIsSymmetricAndOnItsRadius)
{
    FilledSurface s(41, 41, Black);
    DrawCircle(s, White, 20.0f, 20.0f, 15.0f, RasterCopy, 1.0f, false);
    EXPECT_EQ(Pixel(s, 20, 5), White);   // straight up
    EXPECT_EQ(Pixel(s, 35, 20), White);  // right
    EXPECT_EQ(Pixel(s, 20, 35), White);  // down
    EXPECT_EQ(Pixel(s, 5, 20), White);   // left
    EXPECT_EQ(Pixel(s, 20, 20), Black);
    for (int y = 0; y < 41; ++y)
        for (int x = 0; x < 41; ++x) {
            if (Pixel(s, x, y) != White) continue;
            const float d = std::hypot(x - 20.0f, y - 20.0f);
            EXPECT_NEAR(d, 15.0f, 1.0f) << x << "," << y;
            // Mirror images across both axes (pixel x mirrors to 40 - x).
            EXPECT_EQ(Pixel(s, 40 - x, y), White) << x << "," << y;
            EXPECT_EQ(Pixel(s, x, 40 - y), White) << x << "," << y;
        }
}

TEST(DrawArc, QuarterFromUpToRightStaysInItsQuadrant)
{
    FilledSurface s(41, 41, Black);
    DrawArc(s, White, 20.0f, 20.0f, 15.0f, 0.0f, Pi / 2, RasterCopy, 1.0f, true);
    int drawn = 0;
    for (int y = 0; y < 41; ++y)
        for (int x = 0; x < 41; ++x)
            if (Pixel(s, x, y) != Black) {
                ++drawn;
                EXPECT_GE(x, 20);
                EXPECT_LE(y, 21);
            }
    EXPECT_GT(drawn, 20);
}

TEST(DrawArc, WrapsThroughZeroAndNormalisesTurns)
{
    // From three quarters round to a quarter: the top half, passing through straight up.
    FilledSurface a(41, 41, Black), b(41, 41, Black);
    DrawArc(a, White, 20.0f, 20.0f, 12.0f, 1.5f * Pi, 0.5f * Pi, RasterCopy, 1.0f, false);
    DrawArc(b, White, 20.0f, 20.0f, 12.0f, 1.5f * Pi - 4 * Pi, 0.5f * Pi + 2 * Pi, RasterCopy, 1.0f, false);
    EXPECT_EQ(Pixel(a, 20, 8), White);
    EXPECT_EQ(Pixel(a, 20, 32), Black);
    for (int y = 0; y < 41; ++y)
        for (int x = 0; x < 41; ++x) {
            ASSERT_EQ(Pixel(a, x, y), Pixel(b, x, y)) << x << "," << y;
            if (y > 21) {
                ASSERT_EQ(Pixel(a, x, y), Black) << x << "," << y;
            }
        }
}

TEST(DrawCircle, ClippedCircleMatchesTheSameCircleOnALargerSurface)
{
    // Pulling the walk in to the visible range must not change a single pixel (centres and
    // radii are binary fractions so that both positions round alike).
    for (bool aa : {false, true}) {
        for (auto [cx, cy, r] : {std::tuple{3.25f, 4.5f, 30.0f}, {60.25f, 2.0f, 25.5f}, {-10.0f, 20.0f, 35.0f},
                                 {30.0f, 55.0f, 40.0f}, {31.5f, 20.5f, 60.0f}, {-0.5f, -0.75f, 20.25f}}) {
            FilledSurface big(264, 224, 0), small(64, 48, 0);
            DrawCircle(big, 0x80FFFFFFu, cx + 100.0f, cy + 100.0f, r, RasterAdd | UseSourceAlpha, 1.0f, aa);
            DrawCircle(small, 0x80FFFFFFu, cx, cy, r, RasterAdd | UseSourceAlpha, 1.0f, aa);
            for (int y = 0; y < 48; ++y)
                for (int x = 0; x < 64; ++x)
                    ASSERT_EQ(Pixel(small, x, y), Pixel(big, x + 100, y + 100))
                        << "circle " << cx << "," << cy << " r " << r << " aa " << aa << " at " << x << "," << y;
        }
    }
}

TEST(DrawCircle, AntiAliasedWeightsSumToTheLineWeight)
{
    FilledSurface s(64, 64, 0);
    DrawArc(s, White, 32.0f, 32.0f, 20.3f, 0.0f, Pi / 4, RasterAdd, 1.0f, true);
    // Along the first half each column holds an outer and an inner pixel whose weights add
    // to about 256 (less the truncations).
    for (int x = 33; x < 44; ++x) {
        int sum = 0;
        for (int y = 0; y < 32; ++y) sum += Pixel(s, x, y) & 255;
        EXPECT_GE(sum, 252) << x;
        EXPECT_LE(sum, 255) << x;
    }
}

TEST(DrawCircle, BadInputDrawsNothing)
{
    FilledSurface s(32, 32, Black);
    for (float bad : {NAN, INFINITY, -INFINITY}) {
        DrawCircle(s, White, bad, 16.0f, 5.0f, RasterCopy, 1.0f, true);
        DrawCircle(s, White, 16.0f, bad, 5.0f, RasterCopy, 1.0f, false);
        DrawCircle(s, White, 16.0f, 16.0f, bad, RasterCopy, 1.0f, true);
        DrawArc(s, White, 16.0f, 16.0f, 5.0f, bad, 1.0f, RasterCopy, 1.0f, true);
        DrawArc(s, White, 16.0f, 16.0f, 5.0f, 0.0f, bad, RasterCopy, 1.0f, false);
    }
    DrawCircle(s, White, 16.0f, 16.0f, 0.0f, RasterCopy, 1.0f, true);
    DrawCircle(s, White, 16.0f, 16.0f, -5.0f, RasterCopy, 1.0f, true);
    DrawCircle(s, White, 16.0f, 16.0f, 1e9f, RasterCopy, 1.0f, true);
    DrawCircle(s, White, 1e9f, 16.0f, 50.0f, RasterCopy, 1.0f, true);
    DrawCircle(s, White, 16.0f, 16.0f, 5.0f, RasterCopy, 0.0f, true);
    DrawCircle(s, White, 16.0f, 16.0f, 5.0f, RasterDodge, 0.0f, true);
    DrawCircle(s, White, 16.0f, 16.0f, 5.0f, 4, 1.0f, true);
    EXPECT_EQ(CountPixelsNot(s, Black), 0);
    // Huge but finite angles still draw something sensible.
    DrawArc(s, White, 16.0f, 16.0f, 5.0f, 1e20f, 2e20f, RasterCopy, 1.0f, false);
    DrawCircle(s, White, 16.0f, 16.0f, 40000.0f, RasterCopy, 1.0f, true);  // far outside, walks are cut short
}
