#include "graphics/Blit.h"

#include <algorithm>
#include <cstring>

#include "graphics/PixelOps.h"

namespace {

int32_t ClampToInt32(int64_t v)
{
    return static_cast<int32_t>(std::max<int64_t>(INT32_MIN, std::min<int64_t>(INT32_MAX, v)));
}

}  // namespace

void Blit(Surface* dest, const Surface* src, int32_t dstX, int32_t dstY, const Rect* srcRect,
          float alpha, RasterMode mode)
{
    if (!dest || !src) return;
    int64_t left = 0, top = 0, right = src->width(), bottom = src->height();
    if (srcRect) {
        left = std::max<int64_t>(srcRect->left, 0);
        top = std::max<int64_t>(srcRect->top, 0);
        right = std::min<int64_t>(srcRect->right, right);
        bottom = std::min<int64_t>(srcRect->bottom, bottom);
    }
    int64_t x = dstX, y = dstY;
    if (x < 0) {
        left -= x;
        x = 0;
    }
    if (y < 0) {
        top -= y;
        y = 0;
    }
    right = std::min<int64_t>(right, left + (dest->width() - x));
    bottom = std::min<int64_t>(bottom, top + (dest->height() - y));
    if (left >= right || top >= bottom) return;
    if (!HasPixels(*dest) || !HasPixels(*src)) return;

    const int32_t width = static_cast<int32_t>(right - left);
    const int32_t height = static_cast<int32_t>(bottom - top);
    const int32_t sx = static_cast<int32_t>(left), sy = static_cast<int32_t>(top);
    const int32_t dx = static_cast<int32_t>(x), dy = static_cast<int32_t>(y);
    // Within one surface, walk against the direction of the move so that no source pixel is
    // overwritten before it is read.
    const bool same = dest->bits() == src->bits();
    const bool upward = same && dy > sy;
    const bool leftward = same && dy == sy && dx > sx;
    auto rowPair = [&](int32_t i, uint32_t*& d, const uint32_t*& s) {
        const int32_t row = upward ? height - 1 - i : i;
        d = SurfaceRow(*dest, dy + row) + dx;
        s = SurfaceRow(*src, sy + row) + sx;
    };

    const RasterMode op = RasterOperation(mode);
    if (op >= 0xF0) {
        const int sourceShift = 8 * static_cast<int>(mode & 3);
        const int destShift = 8 * static_cast<int>(mode >> 2 & 3);
        const uint32_t keep = ~(0xFFu << destShift);
        for (int32_t i = 0; i < height; ++i) {
            uint32_t* d;
            const uint32_t* s;
            rowPair(i, d, s);
            for (int32_t j = 0; j < width; ++j) {
                const int32_t k = leftward ? width - 1 - j : j;
                d[k] = (d[k] & keep) | (s[k] >> sourceShift & 0xFFu) << destShift;
            }
        }
        return;
    }
    if (op == RasterCopy && !(mode & UseSourceAlpha) && alpha == 1.0f) {
        for (int32_t i = 0; i < height; ++i) {
            uint32_t* d;
            const uint32_t* s;
            rowPair(i, d, s);
            std::memmove(d, s, static_cast<size_t>(width) * 4);
        }
        return;
    }
    if (!WeightDraws(mode, alpha)) return;
    const int32_t w = WeightToFixed(alpha);
    WithCombiner(mode, [&](auto combiner) {
        using C = decltype(combiner);
        for (int32_t i = 0; i < height; ++i) {
            uint32_t* d;
            const uint32_t* s;
            rowPair(i, d, s);
            for (int32_t j = 0; j < width; ++j) {
                const int32_t k = leftward ? width - 1 - j : j;
                C::Apply(d + k, s[k], w);
            }
        }
    });
}

void BlitFrom(Surface* dest, const Surface* src, int32_t dstX, int32_t dstY, int32_t srcX,
              int32_t srcY, int32_t width, int32_t height, float alpha, RasterMode mode)
{
    const Rect area(srcX, srcY, ClampToInt32(int64_t(srcX) + width), ClampToInt32(int64_t(srcY) + height));
    Blit(dest, src, dstX, dstY, &area, alpha, mode);
}

void CopySurface(Surface* dest, const Surface* src)
{
    if (!dest || !src) return;
    dest->resize(src->width(), src->height());
    Blit(dest, src, 0, 0, nullptr, 1.0f, RasterCopy);
}
