#include <gtest/gtest.h>

#include <cmath>

#include "graphics/Blit.h"
#include "graphics/RotatedBlit.h"
#include "graphics/ScaleBlit.h"
#include "tests/graphics/GraphicsTestSupport.h"

namespace {

// Every pixel distinct: 0xFF, column, row, 0x5A.
class Pattern : public MemorySurface {
public:
    Pattern(int32_t w, int32_t h) : MemorySurface(w, h)
    {
        for (int32_t y = 0; y < h; ++y)
            for (int32_t x = 0; x < w; ++x) bits()[y * w + x] = At(x, y);
    }
    static uint32_t At(int32_t x, int32_t y) { return 0xFF00005Au | uint32_t(x) << 16 | uint32_t(y) << 8; }
};

constexpr uint32_t Grey = 0xFF808080u;

}  // namespace

TEST(Blit, NegativeDestinationSkipsSourceColumnsAndRows)
{
    Pattern src(10, 10);
    FilledSurface dst(20, 20, Grey);
    Blit(&dst, &src, -3, -2, nullptr, 1.0f, RasterCopy);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 20; ++x)
            ASSERT_EQ(Pixel(dst, x, y), (x < 7 && y < 8) ? Pattern::At(x + 3, y + 2) : Grey) << x << "," << y;
}

TEST(Blit, SourceRectIsClippedToBothSurfaces)
{
    Pattern src(10, 10);
    FilledSurface dst(6, 5, Grey);
    const Rect area(-4, 6, 8, 40);  // becomes 0..8 by 6..10
    Blit(&dst, &src, 2, 1, &area, 1.0f, RasterCopy);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 6; ++x) {
            const bool inside = x >= 2 && y >= 1;
            ASSERT_EQ(Pixel(dst, x, y), inside ? Pattern::At(x - 2, y - 1 + 6) : Grey) << x << "," << y;
        }
    BlitFrom(&dst, &src, 0, 0, 9, 9, 1, 1, 1.0f, RasterCopy);
    EXPECT_EQ(Pixel(dst, 0, 0), Pattern::At(9, 9));
    BlitFrom(&dst, &src, 0, 0, 5, 5, INT32_MAX, INT32_MAX, 1.0f, RasterCopy);  // no overflow
    EXPECT_EQ(Pixel(dst, 4, 4), Pattern::At(9, 9));
}

TEST(Blit, NothingForAbsentEmptyOrUnknown)
{
    Pattern src(4, 4);
    FilledSurface dst(4, 4, Grey);
    MemorySurface none(0, 0);
    Blit(nullptr, &src, 0, 0, nullptr, 1.0f, RasterCopy);
    Blit(&dst, nullptr, 0, 0, nullptr, 1.0f, RasterCopy);
    Blit(&dst, &none, 0, 0, nullptr, 1.0f, RasterCopy);
    Blit(&none, &src, 0, 0, nullptr, 1.0f, RasterCopy);
    Blit(&dst, &src, 4, 0, nullptr, 1.0f, RasterCopy);
    Blit(&dst, &src, INT32_MIN, INT32_MIN, nullptr, 1.0f, RasterCopy);
    const Rect inverted(3, 3, 1, 1);
    Blit(&dst, &src, 0, 0, &inverted, 1.0f, RasterCopy);
    Blit(&dst, &src, 0, 0, nullptr, 0.0f, RasterCopy | UseSourceAlpha);
    Blit(&dst, &src, 0, 0, nullptr, 0.0f, RasterAdd);
    Blit(&dst, &src, 0, 0, nullptr, 1.0f, 7);
    Blit(&dst, &src, 0, 0, nullptr, NAN, RasterDodge);
    EXPECT_EQ(CountPixelsNot(dst, Grey), 0);
}

TEST(Blit, BlendedOperationsUseSourcePixels)
{
    FilledSurface src(2, 1, 0x80FF2000u);
    FilledSurface dst(2, 1, 0xFF102030u);
    Blit(&dst, &src, 0, 0, nullptr, 0.5f, RasterCopy);
    // w = 128: (d * 128 + s * 128) / 256 per channel, alpha included.
    EXPECT_EQ(Pixel(dst, 0, 0), 0xBF872018u);
    FilledSurface add(1, 1, 0xFF102030u);
    Blit(&add, &src, 0, 0, nullptr, 1.0f, RasterAdd | UseSourceAlpha);
    // w' = 128: d + s * 128 / 256
    EXPECT_EQ(Pixel(add, 0, 0), 0xFF8F3030u);
}

TEST(Blit, ChannelCopyMovesOneByte)
{
    FilledSurface src(3, 3, 0xAB123456u);
    FilledSurface dst(3, 3, 0x11223344u);
    Blit(&dst, &src, 1, 1, nullptr, 1.0f, 0xF3);  // source alpha into destination blue
    EXPECT_EQ(Pixel(dst, 1, 1), 0x112233ABu);
    EXPECT_EQ(Pixel(dst, 0, 0), 0x11223344u);
    Blit(&dst, &src, 0, 0, nullptr, 1.0f, ChannelCopyMode(1, 2));  // green into red
    EXPECT_EQ(Pixel(dst, 0, 0), 0x11343344u);
}

TEST(Blit, FlippedSurfacesAreAddressedBottomUp)
{
    Pattern src(3, 3);
    FlippedSurface dst(3, 3, Grey);
    Blit(&dst, &src, 0, 0, nullptr, 1.0f, RasterCopy);
    EXPECT_EQ(RawPixel(dst, 1, 2), Pattern::At(1, 0));
    EXPECT_EQ(Pixel(dst, 1, 0), Pattern::At(1, 0));
    FilledSurface back(3, 3, Grey);
    Blit(&back, &dst, 0, 0, nullptr, 0.999f, RasterCopy);  // blended path reads flipped rows too
    EXPECT_EQ(Pixel(back, 2, 0) >> 8 & 255, 0u);
}

TEST(Blit, OverlappingCopyWithinOneSurface)
{
    Pattern s(8, 8);
    Blit(&s, &s, 2, 3, nullptr, 1.0f, RasterCopy);
    for (int y = 3; y < 8; ++y)
        for (int x = 2; x < 8; ++x) ASSERT_EQ(Pixel(s, x, y), Pattern::At(x - 2, y - 3)) << x << "," << y;
    Pattern t(8, 8);
    Blit(&t, &t, 1, 0, nullptr, 0.999f, RasterCopy);
    EXPECT_EQ(Pixel(t, 7, 0) >> 16 & 255, 6u);  // (7 + 6 * 255) / 256: column 6 as it was
}

TEST(CopySurface, ResizesAndCopies)
{
    Pattern src(5, 3);
    MemorySurface dst(1, 1);
    CopySurface(&dst, &src);
    ASSERT_EQ(dst.width(), 5);
    ASSERT_EQ(dst.height(), 3);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x) ASSERT_EQ(Pixel(dst, x, y), Pattern::At(x, y));
    CopySurface(nullptr, &src);
    CopySurface(&dst, nullptr);
}

TEST(RotatedBlit, IdentityReproducesTheSource)
{
    Pattern src(7, 5);
    FilledSurface dst(7, 5, Grey);
    RotatedBlit(&dst, &src, 0, 0, 7, 5, 0, 0, 7, 5, 0.0f, false, 1.0f, RasterCopy, 0, 0);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 7; ++x) ASSERT_EQ(Pixel(dst, x, y), Pattern::At(x, y)) << x << "," << y;
}

TEST(RotatedBlit, FilteredIdentityReadsWholePixels)
{
    Pattern src(7, 5);
    FilledSurface dst(7, 5, Grey);
    RotatedBlit(&dst, &src, 0, 0, 7, 5, 0, 0, 7, 5, 0.0f, false, 1.0f, RasterCopy | Filtered, 0, 0);
    // Whole-pixel positions weight p00 by 65535 / 65536, which takes one from every non-zero
    // channel; the last column and row use the pixel itself.
    auto lessOne = [](uint32_t p) {
        uint32_t out = 0;
        for (int shift = 0; shift < 32; shift += 8) {
            const uint32_t c = p >> shift & 255;
            out |= (c ? c - 1 : 0) << shift;
        }
        return out;
    };
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 7; ++x) {
            const uint32_t p = Pattern::At(x, y);
            ASSERT_EQ(Pixel(dst, x, y), (x == 6 && y == 4) ? p : lessOne(p)) << x << "," << y;
        }
}

TEST(RotatedBlit, NegativeSizesMirror)
{
    Pattern src(6, 4);
    FilledSurface h(6, 4, Grey), v(6, 4, Grey);
    RotatedBlit(&h, &src, 6, 0, -6, 4, 0, 0, 6, 4, 0.0f, false, 1.0f, RasterCopy, 0, 0);
    RotatedBlit(&v, &src, 0, 4, 6, -4, 0, 0, 6, 4, 0.0f, false, 1.0f, RasterCopy, 0, 0);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 6; ++x) {
            ASSERT_EQ(Pixel(h, x, y), Pattern::At(5 - x, y)) << x << "," << y;
            ASSERT_EQ(Pixel(v, x, y), Pattern::At(x, 3 - y)) << x << "," << y;
        }
}

TEST(RotatedBlit, QuarterAndHalfTurnsOfASquare)
{
    Pattern src(5, 5);
    FilledSurface quarter(5, 5, Grey), half(5, 5, Grey);
    RotatedBlit(&quarter, &src, 0, 0, 5, 5, 0, 0, 5, 5, 1.5707964f, false, 1.0f, RasterCopy, 0, 0);
    RotatedBlit(&half, &src, 0, 0, 5, 5, 0, 0, 5, 5, 3.1415927f, false, 1.0f, RasterCopy, 0, 0);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 5; ++x) {
            ASSERT_EQ(Pixel(half, x, y), Pattern::At(4 - x, 4 - y)) << x << "," << y;
            // du/dx = 0, dv/dx = -1, du/dy = 1: destination (x, y) reads source (y, 4 - x).
            ASSERT_EQ(Pixel(quarter, x, y), Pattern::At(y, 4 - x)) << x << "," << y;
        }
}

TEST(RotatedBlit, ClippedDestinationSamplesLikeUnclipped)
{
    Pattern src(9, 9);
    FilledSurface big(30, 30, Grey), small(12, 12, Grey);
    RotatedBlit(&big, &src, 10 - 4, 10 - 5, 13, 11, 0, 0, 9, 9, 0.7f, false, 1.0f, RasterCopy | Filtered, 0.5f, 0);
    RotatedBlit(&small, &src, -4, -5, 13, 11, 0, 0, 9, 9, 0.7f, false, 1.0f, RasterCopy | Filtered, 0.5f, 0);
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 12; ++x) ASSERT_EQ(Pixel(small, x, y), Pixel(big, x + 10, y + 10)) << x << "," << y;
}

TEST(RotatedBlit, SourceRectBoundsAndBadInput)
{
    Pattern src(8, 8);
    FilledSurface dst(8, 8, Grey);
    // Scale the source rectangle 2..6 to the whole destination, sampling only inside it.
    RotatedBlit(&dst, &src, 0, 0, 8, 8, 2, 2, 4, 4, 0.0f, true, 1.0f, RasterCopy, 0, 0);
    EXPECT_EQ(Pixel(dst, 0, 0), Pattern::At(2, 2));
    EXPECT_EQ(Pixel(dst, 7, 7), Pattern::At(5, 5));
    FilledSurface clean(8, 8, Grey);
    for (float bad : {NAN, INFINITY})
        RotatedBlit(&clean, &src, 0, 0, 8, 8, 0, 0, 8, 8, bad, false, 1.0f, RasterCopy, 0, 0);
    RotatedBlit(&clean, &src, 0, 0, 0, 8, 0, 0, 8, 8, 0.0f, false, 1.0f, RasterCopy, 0, 0);
    RotatedBlit(&clean, &src, 0, 0, 8, 8, 0, 0, 8, 8, 0.0f, false, 0.0f, RasterCopy, 0, 0);
    RotatedBlit(&clean, &src, 0, 0, 8, 8, 0, 0, 8, 8, 0.0f, false, 1.0f, 0xF3, 0, 0);
    RotatedBlit(&clean, nullptr, 0, 0, 8, 8, 0, 0, 8, 8, 0.0f, false, 1.0f, RasterCopy, 0, 0);
    RotatedBlit(&clean, &src, 0, 0, 8, 8, 0, 0, 8, 8, 0.0f, true, 1.0f, RasterCopy, 0, 1e30f);
    EXPECT_EQ(CountPixelsNot(clean, Grey), 0);
    RotatedBlit(&clean, &src, INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX, -1e30f, 1e30f, 1e30f, -1e30f, 1.0f,
                false, 1.0f, RasterAdd | Filtered, 0, 0);  // absurd but finite: no crash
}

TEST(ScaleBlit, EveryPixelBecomesABlockCutAtTheEdgesAndOnlyTheAreaIsWritten)
{
    Pattern src(10, 7);
    FlippedSurface flipped(10, 7, 0);
    Blit(&flipped, &src, 0, 0, nullptr, 1.0f, RasterCopy);
    for (int32_t s : {1, 2, 3, 4, 7}) {
        for (const Surface* from : {static_cast<const Surface*>(&src), static_cast<const Surface*>(&flipped)}) {
            // Whole picture into a dest two pixels short of the full blocks on both sides.
            FilledSurface whole(10 * s - 2, 7 * s - 2, Grey);
            ScaleBlit(RowsOf(whole), RowsOf(*from), Rect(0, 0, 10, 7), s);
            for (int32_t y = 0; y < whole.height(); ++y)
                for (int32_t x = 0; x < whole.width(); ++x)
                    ASSERT_EQ(Pixel(whole, x, y), Pattern::At(x / s, y / s)) << s << ": " << x << "," << y;
        }
        // A part, reaching past the source: only its blocks change.
        FilledSurface part(10 * s, 7 * s, Grey);
        ScaleBlit(RowsOf(part), RowsOf(src), Rect(3, 2, 40, 5), s);
        for (int32_t y = 0; y < part.height(); ++y)
            for (int32_t x = 0; x < part.width(); ++x) {
                const bool inside = x / s >= 3 && y / s >= 2 && y / s < 5;
                ASSERT_EQ(Pixel(part, x, y), inside ? Pattern::At(x / s, y / s) : Grey) << s << ": " << x << "," << y;
            }
    }
    EXPECT_EQ(SourceAreaOf(Rect(3, 0, 9, 8), 4), Rect(0, 0, 3, 2));
    EXPECT_EQ(SourceAreaOf(Rect(-1, -5, 4, 4), 2), Rect(-1, -3, 2, 2));
    EXPECT_EQ(ScaledArea(Rect(1, 2, 3, 4), 3), Rect(3, 6, 9, 12));
    // Scales outside 1..kMaxBlitScale and absent pixels write nothing.
    FilledSurface dst(8, 8, Grey);
    ScaleBlit(RowsOf(dst), RowsOf(src), Rect(0, 0, 10, 7), kMaxBlitScale + 1);
    ScaleBlit(RowsOf(dst), RowsOf(src), Rect(0, 0, 10, 7), 0);
    MemorySurface none(0, 0);
    ScaleBlit(RowsOf(dst), RowsOf(none), Rect(0, 0, 10, 7), 2);
    EXPECT_EQ(CountPixelsNot(dst, Grey), 0);
}
