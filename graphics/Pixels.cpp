#include "graphics/Pixels.h"

#include <cmath>
#include <cstring>

#include "graphics/PixelOps.h"

void DrawPoint(Surface& surface, uint32_t colour, float x, float y, RasterMode mode, float weight)
{
    if (!HasPixels(surface) || !std::isfinite(x) || !std::isfinite(y)) return;
    if (!IsPixelOperation(mode) || !WeightDraws(mode, weight)) return;
    // Range-test before converting so that far-away points never overflow the cast; a value
    // in (-1, 0) truncates to 0 and so is on the surface.
    const double px = double(x) + 0.5;
    const double py = double(y) + 0.5;
    if (!(px > -1.0 && px < surface.width() && py > -1.0 && py < surface.height())) return;
    const int32_t ix = static_cast<int32_t>(px);
    const int32_t iy = static_cast<int32_t>(py);
    CombinePixel(SurfaceRow(surface, iy) + ix, colour, mode, WeightToFixed(weight));
}

void SetPixel(Surface& surface, uint32_t colour, int32_t x, int32_t y)
{
    // Called once per pixel by whole-picture displays: ask the surface each thing once.
    uint32_t* bits = surface.bits();
    if (!bits || x < 0 || y < 0 || x >= surface.width() || y >= surface.height()) return;
    bits[static_cast<intptr_t>(y) * surface.rowSpan() + x] = colour;
}

void SetPixelRow(Surface& surface, const uint32_t* packed, int32_t count, int32_t x, int32_t y)
{
    uint32_t* bits = surface.bits();
    if (!bits || !packed || count <= 0 || y < 0 || y >= surface.height() || x >= surface.width()) return;
    // 64-bit ends: a run reaching far left or right never overflows.
    const int64_t from = x < 0 ? 0 : x;
    const int64_t to = static_cast<int64_t>(x) + count < surface.width() ? static_cast<int64_t>(x) + count
                                                                         : surface.width();
    if (from >= to) return;
    std::memcpy(bits + static_cast<intptr_t>(y) * surface.rowSpan() + from, packed + (from - x),
                sizeof(uint32_t) * static_cast<size_t>(to - from));
}

Colour GetPixel(const Surface& surface, int32_t x, int32_t y)
{
    if (!HasPixels(surface)) return Colour();
    if (x < 0 || y < 0 || x >= surface.width() || y >= surface.height()) return Colour();
    return UnpackColour(SurfaceRow(surface, y)[x]);
}
