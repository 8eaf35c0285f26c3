#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "graphics/PixelOps.h"
#include "graphics/Pixels.h"
#include "tests/graphics/GraphicsTestSupport.h"

namespace {

uint32_t Combined(uint32_t dest, uint32_t src, RasterMode mode, int32_t w)
{
    CombinePixel(&dest, src, mode, w);
    return dest;
}

}  // namespace

TEST(PixelOps, CopyMixesEveryChannelIncludingAlpha)
{
    EXPECT_EQ(Combined(0x00000000u, 0xFFFFFFFFu, RasterCopy, 128), 0x7F7F7F7Fu);
    EXPECT_EQ(Combined(0x10203040u, 0xFFFFFFFFu, RasterCopy, 256), 0xFFFFFFFFu);
    EXPECT_EQ(Combined(0x10203040u, 0xFFFFFFFFu, RasterCopy, 0), 0x10203040u);
    // (100 * 192 + 200 * 64) / 256 = 125
    EXPECT_EQ(Combined(0x00640000u, 0x00C80000u, RasterCopy, 64) >> 16 & 255, 125u);
}

TEST(PixelOps, CopyAndAddAtEveryWeightMatchTheChannelFormulas)
{
    const uint32_t samples[] = {0x00000000u, 0xFFFFFFFFu, 0x80FF0001u, 0x01020304u, 0xFE7F80FFu, 0x5A3CC3A5u};
    for (int32_t w = -3; w <= 300; ++w)
        for (uint32_t d : samples)
            for (uint32_t s : samples) {
                uint32_t copy = 0, add = 0;
                for (int shift = 0; shift < 32; shift += 8) {
                    const int32_t dc = d >> shift & 255, sc = s >> shift & 255;
                    const int32_t c = (dc * (256 - w) + sc * w) / 256, a = dc + sc * w / 256;
                    copy |= static_cast<uint32_t>(c < 0 ? 0 : c > 255 ? 255 : c) << shift;
                    add |= static_cast<uint32_t>(a < 0 ? 0 : a > 255 ? 255 : a) << shift;
                }
                ASSERT_EQ(Combined(d, s, RasterCopy, w), copy) << "w " << w << " d " << d << " s " << s;
                ASSERT_EQ(Combined(d, s, RasterAdd, w), add) << "w " << w << " d " << d << " s " << s;
            }
}

TEST(PixelOps, CopyWithAlphaUses255AndSkipsTransparentSources)
{
    // w' = 255 * 256 / 256 = 255: (255 * 255 + 255 * 0) / 256 = 254 for every channel.
    EXPECT_EQ(Combined(0xFF000000u, 0xFFFFFFFFu, RasterCopy | UseSourceAlpha, 256), 0xFEFEFEFEu);
    // w' = 128 * 256 / 256 = 128: channels (200 * 128 + 100 * 127) / 256 = 149, alpha (128*128 + 255*127)/256 = 190
    EXPECT_EQ(Combined(0xFF646464u, 0x80C8C8C8u, RasterCopy | UseSourceAlpha, 256), 0xBE959595u);
    EXPECT_EQ(Combined(0x12345678u, 0x00FFFFFFu, RasterCopy | UseSourceAlpha, 256), 0x12345678u);
}

TEST(PixelOps, AddClampsAndScalesByAlpha)
{
    EXPECT_EQ(Combined(0x80C01000u, 0x80808080u, RasterAdd, 256), 0xFFFF9080u);
    EXPECT_EQ(Combined(0x00101010u, 0x40202020u, RasterAdd, 128), 0x20202020u);
    // w' = 128 * 256 / 256 = 128: 16 + 32 * 128 / 256 = 32
    EXPECT_EQ(Combined(0x00101010u, 0x80202020u, RasterAdd | UseSourceAlpha, 256), 0x40202020u);
    EXPECT_EQ(Combined(0x00101010u, 0x00FFFFFFu, RasterAdd | UseSourceAlpha, 256), 0x00101010u);
    // Negative weights subtract and clamp at 0.
    EXPECT_EQ(Combined(0x00101010u, 0xFFFFFFFFu, RasterAdd, -256), 0x00000000u);
}

TEST(PixelOps, DodgeBrightensAndSaturates)
{
    // t = 128: 100 * 256 / 127 = 201
    EXPECT_EQ(Combined(0x00000064u, 0x00000080u, RasterDodge, 256) & 255, 201u);
    // t >= 254: d * 256, clamped
    EXPECT_EQ(Combined(0x00000001u, 0x000000FFu, RasterDodge, 256) & 255, 255u);
    EXPECT_EQ(Combined(0x00000000u, 0x000000FFu, RasterDodge, 256) & 255, 0u);
    // A transparent source still dodges with alpha: w' = 0, t = 0, d * 256 / 255.
    EXPECT_EQ(Combined(0x00000064u, 0x000000FFu, RasterDodge | UseSourceAlpha, 256) & 255, 100u * 256 / 255);
}

TEST(PixelOps, UnknownOperationsDoNothing)
{
    EXPECT_EQ(Combined(0x12345678u, 0xFFFFFFFFu, 3, 256), 0x12345678u);
    EXPECT_EQ(Combined(0x12345678u, 0xFFFFFFFFu, 0xF3, 256), 0x12345678u);
}

TEST(PixelOps, WeightConversionNeverOverflows)
{
    EXPECT_EQ(WeightToFixed(1.0f), 256);
    EXPECT_EQ(WeightToFixed(0.5f), 128);
    EXPECT_EQ(WeightToFixed(-0.999f), -255);
    EXPECT_EQ(WeightToFixed(std::numeric_limits<float>::quiet_NaN()), 0);
    EXPECT_EQ(WeightToFixed(1e30f), MaxFixedWeight);
    EXPECT_EQ(WeightToFixed(-INFINITY), -MaxFixedWeight);
    EXPECT_FALSE(WeightDraws(RasterCopy, 0.0f));
    EXPECT_FALSE(WeightDraws(RasterCopy, -1.0f));
    EXPECT_TRUE(WeightDraws(RasterAdd, -1.0f));
    EXPECT_FALSE(WeightDraws(RasterDodge, 0.0f));
    EXPECT_FALSE(WeightDraws(RasterAdd, NAN));
}

TEST(DrawPoint, RoundsToNearestCentreByTruncation)
{
    FilledSurface s(4, 4, 0xFF000000u);
    DrawPoint(s, 0xFFFFFFFFu, 1.4f, 2.6f, RasterCopy, 1.0f);
    EXPECT_EQ(Pixel(s, 1, 3), 0xFFFFFFFFu);
    DrawPoint(s, 0xFF0000FFu, -0.7f, -0.9f, RasterCopy, 1.0f);  // -0.2 truncates to 0
    EXPECT_EQ(Pixel(s, 0, 0), 0xFF0000FFu);
    EXPECT_EQ(CountPixelsNot(s, 0xFF000000u), 2);
}

TEST(DrawPoint, IgnoresOffSurfaceNonFiniteAndZeroWeight)
{
    FilledSurface s(4, 4, 0xFF000000u);
    for (float v : {-1.5f, 3.5f, 1e30f, -1e30f, NAN, INFINITY, -INFINITY}) {
        DrawPoint(s, 0xFFFFFFFFu, v, 1.0f, RasterCopy, 1.0f);
        DrawPoint(s, 0xFFFFFFFFu, 1.0f, v, RasterAdd, 1.0f);
    }
    DrawPoint(s, 0xFFFFFFFFu, 1.0f, 1.0f, RasterCopy, 0.0f);
    DrawPoint(s, 0xFFFFFFFFu, 1.0f, 1.0f, RasterDodge, 0.0f);
    DrawPoint(s, 0xFFFFFFFFu, 1.0f, 1.0f, RasterCopy, NAN);
    EXPECT_EQ(CountPixelsNot(s, 0xFF000000u), 0);
    // Subtracting from black keeps the colour black; alpha drops by 128 * 128 / 256.
    DrawPoint(s, 0x80FFFFFFu, 1.0f, 1.0f, RasterAdd | UseSourceAlpha, -1.0f);
    EXPECT_EQ(Pixel(s, 1, 1), 0xBF000000u);
}

TEST(DrawPoint, HonoursFlippedRows)
{
    FlippedSurface s(3, 3, 0);
    DrawPoint(s, 0xFFFFFFFFu, 0.0f, 0.0f, RasterCopy, 1.0f);
    EXPECT_EQ(RawPixel(s, 0, 2), 0xFFFFFFFFu);
    EXPECT_EQ(GetPixel(s, 0, 0), Colour(255, 255, 255, 255));
}

TEST(SetPixel, StoresRawValueAndIgnoresOutside)
{
    FilledSurface s(3, 2, 0);
    SetPixel(s, 0x01020304u, 2, 1);
    EXPECT_EQ(RawPixel(s, 2, 1), 0x01020304u);
    SetPixel(s, 0xFFFFFFFFu, 3, 0);
    SetPixel(s, 0xFFFFFFFFu, -1, 0);
    SetPixel(s, 0xFFFFFFFFu, 0, 2);
    EXPECT_EQ(CountPixelsNot(s, 0), 1);
    MemorySurface none(0, 0);
    SetPixel(none, 0xFFFFFFFFu, 0, 0);
}

TEST(SetPixelRow, StoresTheRunAndClipsItToTheSurface)
{
    const uint32_t run[5] = {1, 2, 3, 4, 5};
    FilledSurface s(4, 2, 0);
    SetPixelRow(s, run, 5, -2, 0);  // 3, 4 and 5 land on columns 0 to 2
    SetPixelRow(s, run, 5, 3, 1);   // only 1 lands, on the last column
    SetPixelRow(s, run, 5, 0, 2);
    SetPixelRow(s, run, 5, 0, -1);
    SetPixelRow(s, run, 5, INT32_MAX - 1, 0);
    SetPixelRow(s, run, INT32_MAX, INT32_MIN, 1);  // would read far past the run if it reached the surface
    SetPixelRow(s, nullptr, 5, 0, 0);
    EXPECT_EQ(RawPixel(s, 0, 0), 3u);
    EXPECT_EQ(RawPixel(s, 2, 0), 5u);
    EXPECT_EQ(RawPixel(s, 3, 1), 1u);
    EXPECT_EQ(CountPixelsNot(s, 0), 4);
}

TEST(GetPixel, ZeroOutsideOrWithoutPixels)
{
    FilledSurface s(3, 2, 0x80102030u);
    EXPECT_EQ(GetPixel(s, 1, 1), Colour(128, 16, 32, 48));
    EXPECT_EQ(GetPixel(s, -1, 0), Colour());
    EXPECT_EQ(GetPixel(s, 3, 0), Colour());
    EXPECT_EQ(GetPixel(s, 0, 2), Colour());
    EXPECT_EQ(GetPixel(MemorySurface(0, 0), 0, 0), Colour());
}
