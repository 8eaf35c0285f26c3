#include "graphics/ScaleBlit.h"

#include <algorithm>
#include <cstring>

namespace {

// One source row into one dest row, `count` whole blocks wide; fixed widths let the compiler
// unroll the block.
template <int Scale>
void ExpandRow(uint32_t* d, const uint32_t* s, int32_t count)
{
    for (int32_t x = 0; x < count; ++x, d += Scale) {
        const uint32_t p = s[x];
        for (int k = 0; k < Scale; ++k) d[k] = p;
    }
}

void ExpandRow(uint32_t* d, const uint32_t* s, int32_t count, int32_t scale)
{
    switch (scale) {
    case 1: std::memcpy(d, s, static_cast<size_t>(count) * 4); break;
    case 2: ExpandRow<2>(d, s, count); break;
    case 3: ExpandRow<3>(d, s, count); break;
    case 4: ExpandRow<4>(d, s, count); break;
    default:
        for (int32_t x = 0; x < count; ++x, d += scale) std::fill(d, d + scale, s[x]);
        break;
    }
}

int32_t FloorDiv(int64_t v, int32_t d)
{
    const int64_t q = v / d;
    return static_cast<int32_t>(q * d > v ? q - 1 : q);
}

int32_t CeilDiv(int64_t v, int32_t d)
{
    const int64_t q = v / d;
    return static_cast<int32_t>(q * d < v ? q + 1 : q);
}

int32_t Clamp32(int64_t v)
{
    return static_cast<int32_t>(std::max<int64_t>(INT32_MIN, std::min<int64_t>(INT32_MAX, v)));
}

}  // namespace

PixelRows RowsOf(const Surface& surface)
{
    PixelRows rows;
    if (!HasPixels(surface)) return rows;
    rows.base = SurfaceRow(surface, 0);
    rows.span = surface.isFlipped() ? -static_cast<intptr_t>(surface.rowSpan()) : surface.rowSpan();
    rows.width = surface.width();
    rows.height = surface.height();
    return rows;
}

Rect SourceAreaOf(const Rect& dest, int32_t scale)
{
    if (scale < 1) scale = 1;
    return Rect(FloorDiv(dest.left, scale), FloorDiv(dest.top, scale), CeilDiv(dest.right, scale),
                CeilDiv(dest.bottom, scale));
}

Rect ScaledArea(const Rect& src, int32_t scale)
{
    return Rect(Clamp32(int64_t(src.left) * scale), Clamp32(int64_t(src.top) * scale),
                Clamp32(int64_t(src.right) * scale), Clamp32(int64_t(src.bottom) * scale));
}

void ScaleBlit(const PixelRows& dest, const PixelRows& src, const Rect& area, int32_t scale)
{
    if (!dest.base || !src.base || scale < 1 || scale > kMaxBlitScale) return;
    // Source columns and rows that land at least partly inside dest.
    const int32_t left = std::max(area.left, 0);
    const int32_t top = std::max(area.top, 0);
    const int32_t right = std::min({area.right, src.width, CeilDiv(dest.width, scale)});
    const int32_t bottom = std::min({area.bottom, src.height, CeilDiv(dest.height, scale)});
    if (left >= right || top >= bottom) return;

    // Whole blocks, then the part of a last block that dest cuts.
    const int32_t destLeft = left * scale;
    const int32_t destRight = std::min(right * scale, dest.width);
    const int32_t whole = std::min(right, dest.width / scale) - left;
    const size_t rowBytes = static_cast<size_t>(destRight - destLeft) * 4;
    for (int32_t y = top; y < bottom; ++y) {
        const uint32_t* s = src.base + y * src.span + left;
        const int32_t firstRow = y * scale;
        uint32_t* d = dest.base + firstRow * dest.span + destLeft;
        if (whole > 0) ExpandRow(d, s, whole, scale);
        for (int32_t x = destLeft + std::max(whole, 0) * scale; x < destRight; ++x)
            d[x - destLeft] = s[x / scale - left];
        const int32_t rows = std::min(scale, dest.height - firstRow);
        for (int32_t k = 1; k < rows; ++k) std::memcpy(d + k * dest.span, d, rowBytes);
    }
}
