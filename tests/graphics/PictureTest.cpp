// Primitive pictures compared pixel for pixel with stored images that were looked at and
// judged right. A changed picture is written to <build>/tests/graphics/actual/ for a look.
#include <gtest/gtest.h>

#include <cmath>

#include "graphics/Arc.h"
#include "graphics/Blit.h"
#include "graphics/Fill.h"
#include "graphics/Line.h"
#include "graphics/Pixels.h"
#include "graphics/RotatedBlit.h"
#include "tests/graphics/GraphicsTestSupport.h"

namespace {

constexpr float Pi = 3.14159265f;
constexpr RasterMode NoneBlend = RasterCopy | UseSourceAlpha;
constexpr RasterMode AddBlend = RasterAdd | UseSourceAlpha;
constexpr RasterMode DodgeBlend = RasterDodge | UseSourceAlpha;

}  // namespace

TEST(Pictures, Fills)
{
    FilledSurface s(96, 64, 0xFF202830u);
    FillRect(s, 0xFFC04020u, Rect(-10, -10, 30, 24), RasterCopy, 1.0f);
    FillRect(s, 0x8020A0FFu, Rect(16, 12, 56, 40), NoneBlend, 1.0f);
    FillRect(s, 0xFF40FF40u, Rect(40, 4, 80, 28), NoneBlend, 0.5f);
    FillRect(s, 0xFF606060u, Rect(8, 44, 48, 60), AddBlend, 1.0f);
    FillRect(s, 0xFFA0A0A0u, Rect(36, 36, 92, 56), DodgeBlend, 0.75f);
    FillRect(s, 0xFFFFFF00u, Rect(70, 50, 200, 200), RasterAdd, 0.25f);
    for (int i = 0; i < 8; ++i)
        FillRect(s, 0xFFFFFFFFu, Rect(84, 4 + 5 * i, 92, 8 + 5 * i), RasterCopy, 0.125f * float(i + 1));
    ExpectPicture(s, "fills");
}

TEST(Pictures, Lines)
{
    FilledSurface s(96, 64, 0xFF101418u);
    // A fan of plain opaque lines, some leaving the surface.
    for (int i = 0; i < 12; ++i) {
        const float a = float(i) * Pi / 6.0f;
        DrawLine(s, 0xFFE0E0E0u, 24.0f, 32.0f, 24.0f + 40.0f * std::sin(a), 32.0f - 40.0f * std::cos(a),
                 RasterCopy, 1.0f, false);
    }
    // Anti-aliased fan.
    for (int i = 0; i < 12; ++i) {
        const float a = float(i) * Pi / 6.0f + 0.2f;
        DrawLine(s, 0xFFFFC040u, 72.0f, 32.0f, 72.0f + 20.0f * std::sin(a), 32.0f - 20.0f * std::cos(a),
                 NoneBlend, 1.0f, true);
    }
    // Half-transparent and added lines crossing both fans.
    DrawLine(s, 0x8040A0FFu, 0.0f, 60.0f, 95.0f, 2.0f, NoneBlend, 1.0f, false);
    DrawLine(s, 0xFF2060FFu, 0.0f, 4.0f, 95.0f, 62.5f, AddBlend, 0.6f, true);
    DrawLine(s, 0xFFFF4040u, 48.3f, -5.0f, 50.7f, 70.0f, AddBlend, 1.0f, true);
    ExpectPicture(s, "lines");
}

TEST(Pictures, LevelAntiAliasedLines)
{
    // Level lines on a striped ground: ends at every quarter of a column, on rows, between
    // rows, on the top and bottom rows and the last column, reversed, one column long and
    // long, copied at part and full strength and added, and with a weight past full.
    FilledSurface s(40, 24, 0xFF000000u);
    for (int y = 0; y < 24; ++y)
        for (int x = 0; x < 40; ++x) s.bits()[y * s.rowSpan() + x] = 0xFF000000u | (x * 6u) << 16 | (y * 10u) << 8 | ((x + y) % 3) * 90u;
    const float ys[] = {0.0f, 2.5f, 4.25f, 6.0f, 8.75f, 11.3f, 14.0f, 16.6f, 19.9f, 22.5f, 23.0f, 23.4f};
    for (int i = 0; i < 12; ++i) {
        const float x1 = 0.25f * i, x2 = x1 + (i % 3 == 0 ? 1.0043f : 13.6f + 2.1f * i);
        const uint32_t colour = i % 2 ? 0xFFE0C0A0u : 0x8040A0FFu;
        DrawLine(s, colour, i % 4 == 1 ? x2 : x1, ys[i], i % 4 == 1 ? x1 : x2, ys[i], i % 5 == 4 ? AddBlend : NoneBlend,
                 i % 3 == 2 ? 0.6f : i == 7 ? 1.7f : 1.0f, true);
    }
    ExpectPicture(s, "level-lines");
}

TEST(Pictures, Circles)
{
    FilledSurface s(96, 64, 0xFF0C1014u);
    DrawCircle(s, 0xFF30FF60u, 20.5f, 20.5f, 16.0f, NoneBlend, 1.0f, true);
    DrawCircle(s, 0xFF30FF60u, 20.5f, 20.5f, 8.0f, NoneBlend, 1.0f, false);
    DrawCircle(s, 0xFFFFFFFFu, 60.0f, 30.0f, 40.0f, AddBlend, 0.8f, true);  // leaves the surface
    DrawCircle(s, 0xFFFFA020u, 96.0f, 64.0f, 20.0f, NoneBlend, 1.0f, true);  // only a quarter shows
    DrawArc(s, 0xFF40A0FFu, 70.0f, 40.0f, 12.0f, 0.3f, 2.0f, NoneBlend, 1.0f, true);
    DrawArc(s, 0xFFFF40A0u, 70.0f, 40.0f, 17.0f, 5.0f, 1.0f, NoneBlend, 1.0f, true);  // wraps through 0
    DrawArc(s, 0x80FFFFFFu, 20.0f, 52.0f, 9.0f, Pi, 2.0f * Pi, DodgeBlend, 1.0f, false);
    ExpectPicture(s, "circles");
}

TEST(Pictures, Blits)
{
    MemorySurface image(24, 16);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 24; ++x)
            image.bits()[y * 24 + x] = uint32_t(x * 255 / 23) << 16 | uint32_t(y * 255 / 15) << 8 | 0x40 |
                                       uint32_t(((x / 4 + y / 4) % 2) ? 0xFF : 0x80) << 24;
    FilledSurface s(96, 64, 0xFF303030u);
    Blit(&s, &image, -6, -4, nullptr, 1.0f, RasterCopy);
    Blit(&s, &image, 22, 2, nullptr, 1.0f, NoneBlend);
    Blit(&s, &image, 50, 2, nullptr, 0.5f, RasterAdd);
    const Rect part(4, 4, 20, 12);
    Blit(&s, &image, 76, 4, &part, 1.0f, DodgeBlend);
    RotatedBlit(&s, &image, 4, 24, 36, 36, 0, 0, 24, 16, 0.5f, false, 1.0f, RasterCopy, 0, 0);
    RotatedBlit(&s, &image, 44, 24, 36, 36, 0, 0, 24, 16, 0.5f, false, 1.0f, RasterCopy | Filtered, 0, 0);
    RotatedBlit(&s, &image, 96, 40, -24, 16, 0, 0, 24, 16, 0.0f, false, 1.0f, NoneBlend, 0, 0);
    ExpectPicture(s, "blits");
}

TEST(Pictures, AnalyserLikeView)
{
    // The kind of frame the displays draw: a filled spectrum, guide lines, level circles.
    FilledSurface s(232, 96, 0xFF000000u);
    FillRect(s, 0xFF101820u, Rect(0, 0, 232, 96), RasterCopy, 1.0f);
    for (int i = 1; i < 4; ++i)
        DrawLine(s, 0xFF808080u, 0.0f, 24.0f * float(i), 231.0f, 24.0f * float(i), NoneBlend, 0.3f, false);
    float previous = 80.0f;
    for (int x = 0; x < 232; ++x) {
        const float y = 60.0f - 30.0f * std::sin(float(x) * 0.05f) * std::exp(-float(x) * 0.008f) +
                        6.0f * std::sin(float(x) * 0.9f);
        DrawLine(s, 0xFF2080C0u, float(x), y, float(x), 96.0f, NoneBlend, 0.6f, false);
        if (x > 0) DrawLine(s, 0xFF80E0FFu, float(x - 1), previous, float(x), y, NoneBlend, 1.0f, true);
        previous = y;
    }
    for (float r : {16.0f, 32.0f, 48.0f})
        DrawCircle(s, 0xFFFFFFFFu, 116.0f, 48.0f, r, NoneBlend, 0.35f, true);
    for (int x = 0; x < 232; x += 8) SetPixel(s, 0xFFFF0000u, x, 95);
    DrawPoint(s, 0xFFFFFF00u, 116.0f, 48.0f, NoneBlend, 1.0f);
    ExpectPicture(s, "analyser");
}
