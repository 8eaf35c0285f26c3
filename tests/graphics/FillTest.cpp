#include <gtest/gtest.h>

#include <climits>
#include <cmath>

#include "graphics/Fill.h"
#include "tests/graphics/GraphicsTestSupport.h"

namespace {
constexpr uint32_t Black = 0xFF000000u;
}

TEST(FillRect, HalfAlphaWhiteOverBlackGives127And191)
{
    FilledSurface s(8, 8, Black);
    FillRect(s, 0x80FFFFFFu, Rect(0, 0, 8, 8), RasterCopy | UseSourceAlpha, 1.0f);
    // w = 128 / 255 * 256 truncated = 128; the weight itself combines into alpha.
    EXPECT_EQ(Pixel(s, 3, 3), 0xBF7F7F7Fu);
    EXPECT_EQ(CountPixelsNot(s, 0xBF7F7F7Fu), 0);
}

TEST(FillRect, FullCopySetsAlphaTo255)
{
    FilledSurface s(4, 4, 0x00000000u);
    FillRect(s, 0x00123456u, Rect(1, 1, 3, 3), RasterCopy, 1.0f);
    EXPECT_EQ(Pixel(s, 1, 1), 0xFF123456u);
    EXPECT_EQ(Pixel(s, 2, 2), 0xFF123456u);
    EXPECT_EQ(CountPixelsNot(s, 0), 4);
}

TEST(FillRect, ClipsNegativeAndOversizedRects)
{
    FilledSurface s(10, 6, Black);
    FillRect(s, 0xFFFFFFFFu, Rect(-5, -3, 2, 2), RasterCopy, 1.0f);
    EXPECT_EQ(CountPixelsNot(s, Black), 4);
    EXPECT_EQ(Pixel(s, 1, 1), 0xFFFFFFFFu);
    FillRect(s, 0xFF00FF00u, Rect(8, 4, 400, 400), RasterCopy, 1.0f);
    EXPECT_EQ(CountPixelsNot(s, Black), 8);
    EXPECT_EQ(Pixel(s, 9, 5), 0xFF00FF00u);
}

TEST(FillRect, OutsideInvertedAndExtremeRectsAreSafe)
{
    FilledSurface s(10, 6, Black);
    for (const Rect& r : {Rect(10, 0, 20, 6), Rect(-20, 0, 0, 6), Rect(0, 6, 10, 100), Rect(8, 4, 2, 1),
                          Rect(INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN), Rect()})
        FillRect(s, 0xFFFFFFFFu, r, RasterCopy, 1.0f);
    EXPECT_EQ(CountPixelsNot(s, Black), 0);
    FillRect(s, 0xFFFFFFFFu, Rect(INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX), RasterCopy, 1.0f);
    EXPECT_EQ(CountPixelsNot(s, 0xFFFFFFFFu), 0);
    MemorySurface none(0, 0);
    FillRect(none, 0xFFFFFFFFu, Rect(0, 0, 10, 10), RasterCopy, 1.0f);
}

TEST(FillRect, AddAndDodgeClampChannels)
{
    FilledSurface s(2, 1, 0x80F01008u);
    FillRect(s, 0xFF202020u, Rect(0, 0, 1, 1), RasterAdd, 1.0f);
    // alpha 128 + 256 * 256 / 256 -> 255; red 240 + 32 -> 255; green 16 + 32; blue 8 + 32
    EXPECT_EQ(Pixel(s, 0, 0), 0xFFFF3028u);
    FillRect(s, 0x00808080u, Rect(1, 0, 2, 1), RasterDodge, 0.5f);
    // w = 128, t = 128 * 128 / 256 = 64: c * 256 / 191; the alpha source is w = 128 too.
    EXPECT_EQ(Pixel(s, 1, 0), (uint32_t(128 * 256 / 191) << 24) | 0xFF0000u | (16 * 256 / 191) << 8 | 8 * 256 / 191);
    // A negative add takes the colour away and clamps at 0; the alpha source is w itself,
    // and w * w / 256 is positive.
    FillRect(s, 0x00FFFFFFu, Rect(0, 0, 2, 1), RasterAdd, -1.0f);
    EXPECT_EQ(CountPixelsNot(s, 0xFF000000u), 0);
}

TEST(FillRect, ZeroNanAndUnknownDrawNothing)
{
    FilledSurface s(3, 3, Black);
    FillRect(s, 0xFFFFFFFFu, Rect(0, 0, 3, 3), RasterCopy, 0.0f);
    FillRect(s, 0xFFFFFFFFu, Rect(0, 0, 3, 3), RasterCopy, -1.0f);
    FillRect(s, 0xFFFFFFFFu, Rect(0, 0, 3, 3), RasterDodge, 0.0f);
    FillRect(s, 0xFFFFFFFFu, Rect(0, 0, 3, 3), RasterAdd, NAN);
    FillRect(s, 0x00FFFFFFu, Rect(0, 0, 3, 3), RasterAdd | UseSourceAlpha, 1.0f);  // alpha 0: weight 0
    FillRect(s, 0xFFFFFFFFu, Rect(0, 0, 3, 3), 3, 1.0f);
    FillRect(s, 0xFFFFFFFFu, Rect(0, 0, 3, 3), 0xF3, 1.0f);
    EXPECT_EQ(CountPixelsNot(s, Black), 0);
    FillRect(s, 0xFFFFFFFFu, Rect(0, 0, 3, 3), RasterCopy, 1e30f);  // saturates, no overflow
    EXPECT_EQ(CountPixelsNot(s, 0xFFFFFFFFu), 0);
}

TEST(FillRect, HonoursFlippedRows)
{
    FlippedSurface s(2, 3, 0);
    FillRect(s, 0x00FFFFFFu, Rect(0, 0, 2, 1), RasterCopy, 1.0f);
    EXPECT_EQ(RawPixel(s, 0, 2), 0xFFFFFFFFu);
    EXPECT_EQ(RawPixel(s, 0, 0), 0u);
}

TEST(MaskFill, ClearsAndSetsBitsInClippedArea)
{
    FilledSurface s(4, 4, 0x80123456u);
    MaskFill(&s, -1, 2, 3, 10, 0x00FFFFFFu, 0x01000000u);
    EXPECT_EQ(Pixel(s, 0, 2), 0x01123456u);
    EXPECT_EQ(Pixel(s, 1, 3), 0x01123456u);
    EXPECT_EQ(Pixel(s, 2, 2), 0x80123456u);
    EXPECT_EQ(Pixel(s, 0, 1), 0x80123456u);
    MaskFill(nullptr, 0, 0, 4, 4, 0, 0);
    MaskFill(&s, INT32_MAX, 0, INT32_MAX, 4, 0, 0);
    EXPECT_EQ(CountPixelsNot(s, 0x80123456u), 4);
}
