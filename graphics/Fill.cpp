#include "graphics/Fill.h"

#include <algorithm>
#include <cstring>

#include "graphics/PixelOps.h"

bool ClipToSurface(const Surface& surface, int64_t left, int64_t top, int64_t right,
                   int64_t bottom, ClippedArea& area)
{
    if (!HasPixels(surface)) return false;
    const int64_t x0 = std::max<int64_t>(left, 0);
    const int64_t y0 = std::max<int64_t>(top, 0);
    const int64_t x1 = std::min<int64_t>(right, surface.width());
    const int64_t y1 = std::min<int64_t>(bottom, surface.height());
    if (x1 <= x0 || y1 <= y0) return false;
    area.x = static_cast<int32_t>(x0);
    area.y = static_cast<int32_t>(y0);
    area.width = static_cast<int32_t>(x1 - x0);
    area.height = static_cast<int32_t>(y1 - y0);
    return true;
}

namespace {

// Per-channel constants of one fill. Weights are limited to MaxFixedWeight, so the only value
// that can leave 32 bits is the alpha channel's w * w; past 2^30 it saturates anyway.
struct FillChannels {
    int32_t source[4];   // b, g, r, a (a is the weight itself)
    int32_t scaled[4];   // source * w, saturated to +-2^30
    int32_t perStep[4];  // source * w / 256, saturated
};

int32_t Saturate30(int64_t v)
{
    constexpr int64_t limit = int64_t(1) << 30;
    return static_cast<int32_t>(std::max(-limit, std::min(limit, v)));
}

template <PixelOp op>
void FillRows(const Surface& surface, const ClippedArea& area, const FillChannels& ch, int32_t w)
{
    for (int32_t row = 0; row < area.height; ++row) {
        uint32_t* p = SurfaceRow(surface, area.y + row) + area.x;
        for (int32_t i = 0; i < area.width; ++i) {
            const uint32_t d = p[i];
            uint32_t out = 0;
            for (int c = 0; c < 4; ++c) {
                const int32_t dc = static_cast<int32_t>(d >> (8 * c) & 255);
                int32_t v;
                if (op == PixelOp::Copy) {
                    v = (dc * (256 - w) + ch.scaled[c]) / 256;
                } else if (op == PixelOp::Add) {
                    v = dc + ch.perStep[c];
                } else {
                    const int32_t t = ch.perStep[c];
                    v = t >= 254 ? dc * 256 : dc * 256 / (255 - t);
                }
                out |= static_cast<uint32_t>(ClampChannel(v)) << (8 * c);
            }
            p[i] = out;
        }
    }
}

// Stores one value into n pixels: a few by hand, then doubling copies, which run at the
// speed of the C library's block copy rather than one store per pixel.
void FillPixels(uint32_t* p, size_t n, uint32_t value)
{
    const size_t first = std::min<size_t>(n, 16);
    for (size_t i = 0; i < first; ++i) p[i] = value;
    for (size_t done = first; done < n;) {
        const size_t chunk = std::min(done, n - done);
        std::memcpy(p + done, p, chunk * 4);
        done += chunk;
    }
}

void FillSolid(const Surface& surface, const ClippedArea& area, uint32_t value)
{
    const int32_t span = surface.rowSpan();
    uint32_t* first = SurfaceRow(surface, area.y) + area.x;
    if (area.x == 0 && area.width == span && !surface.isFlipped()) {
        FillPixels(first, size_t(span) * area.height, value);  // whole rows: one block
        return;
    }
    FillPixels(first, size_t(area.width), value);
    for (int32_t row = 1; row < area.height; ++row)
        std::memcpy(SurfaceRow(surface, area.y + row) + area.x, first, size_t(area.width) * 4);
}

}  // namespace

void FillRect(Surface& surface, uint32_t colour, const Rect& rect, RasterMode mode, float weight)
{
    ClippedArea area;
    if (!ClipToSurface(surface, rect.left, rect.top, rect.right, rect.bottom, area)) return;
    if (!IsPixelOperation(mode)) return;
    if (mode & UseSourceAlpha) weight = weight * float(colour >> 24) * 0.003921569f;
    if (!WeightDraws(mode, weight)) return;
    const int32_t w = WeightToFixed(weight);

    const RasterMode op = RasterOperation(mode);
    if (op == RasterCopy && w == 256) {
        // Full strength: every colour channel is replaced and alpha saturates at 255.
        FillSolid(surface, area, (colour & 0x00FFFFFFu) | 0xFF000000u);
        return;
    }

    FillChannels ch;
    for (int c = 0; c < 3; ++c) ch.source[c] = static_cast<int32_t>(colour >> (8 * c) & 255);
    ch.source[3] = w;
    for (int c = 0; c < 4; ++c) {
        const int64_t product = int64_t(ch.source[c]) * w;
        ch.scaled[c] = Saturate30(product);
        ch.perStep[c] = Saturate30(product / 256);
    }
    switch (op) {
    case RasterCopy: FillRows<PixelOp::Copy>(surface, area, ch, w); break;
    case RasterAdd: FillRows<PixelOp::Add>(surface, area, ch, w); break;
    default: FillRows<PixelOp::Dodge>(surface, area, ch, w); break;
    }
}

void MaskFill(Surface* surface, int32_t x, int32_t y, int32_t width, int32_t height,
              uint32_t andMask, uint32_t orValue)
{
    ClippedArea area;
    if (!surface) return;
    if (!ClipToSurface(*surface, x, y, int64_t(x) + width, int64_t(y) + height, area)) return;
    for (int32_t row = 0; row < area.height; ++row) {
        uint32_t* p = SurfaceRow(*surface, area.y + row) + area.x;
        for (int32_t i = 0; i < area.width; ++i) p[i] = orValue | (p[i] & andMask);
    }
}
