#include "graphics/RotatedBlit.h"

#include <algorithm>
#include <cmath>

#include "graphics/PixelOps.h"

namespace {

// Positions and steps stay far inside 64 bits: no surface side exceeds 32768 pixels, so a
// position beyond +-65536 pixels (2^32 in 16.16) is off every source anyway.
constexpr double FixedLimit = 4294967296.0;

int64_t SaturateToFixed(double f)
{
    if (!(f > -FixedLimit)) return -static_cast<int64_t>(FixedLimit);
    if (f >= FixedLimit) return static_cast<int64_t>(FixedLimit);
    return static_cast<int64_t>(f);
}

int64_t ToFixed(float v) { return SaturateToFixed(double(v) * 65536.0); }

int32_t ClampedInt(float v, int32_t lo, int32_t hi)
{
    if (!(v > float(lo))) return lo;
    if (v >= float(hi)) return hi;
    return static_cast<int32_t>(v);
}

int32_t Lerp2(uint32_t p0, uint32_t p1, int32_t f, int shift)
{
    const int32_t c0 = static_cast<int32_t>(p0 >> shift & 255);
    const int32_t c1 = static_cast<int32_t>(p1 >> shift & 255);
    return (c0 * (65535 - f) + c1 * f) / 65536;
}

// Bilinear sample at 16.16 position (u, v) whose integer part (iu, iv) lies in the bounds.
// On the last column or row of the bounds only the pixels along the other axis blend.
uint32_t Sample(const Surface& src, int32_t iu, int32_t iv, int32_t fx, int32_t fy, int32_t lastU,
                int32_t lastV)
{
    const uint32_t* row = SurfaceRow(src, iv);
    const uint32_t p00 = row[iu];
    if (iu == lastU && iv == lastV) return p00;
    uint32_t out = 0;
    if (iu == lastU) {
        const uint32_t p01 = SurfaceRow(src, iv + 1)[iu];
        for (int shift = 0; shift < 32; shift += 8)
            out |= static_cast<uint32_t>(Lerp2(p00, p01, fy, shift)) << shift;
        return out;
    }
    const uint32_t p10 = row[iu + 1];
    if (iv == lastV) {
        for (int shift = 0; shift < 32; shift += 8)
            out |= static_cast<uint32_t>(Lerp2(p00, p10, fx, shift)) << shift;
        return out;
    }
    const uint32_t* next = SurfaceRow(src, iv + 1);
    const uint32_t p01 = next[iu], p11 = next[iu + 1];
    const int32_t fxy = static_cast<int32_t>(int64_t(fx) * fy / 65536);
    for (int shift = 0; shift < 32; shift += 8) {
        const int64_t c = (int64_t(p00 >> shift & 255) * (65535 - fx - fy + fxy) +
                           int64_t(p10 >> shift & 255) * (fx - fxy) +
                           int64_t(p01 >> shift & 255) * (fy - fxy) +
                           int64_t(p11 >> shift & 255) * fxy) / 65536;
        out |= static_cast<uint32_t>(c) << shift;
    }
    return out;
}

}  // namespace

void RotatedBlit(Surface* dest, const Surface* src, int32_t dstX, int32_t dstY, int32_t dstW,
                 int32_t dstH, float srcX, float srcY, float srcW, float srcH, float angle,
                 bool clipToSourceRect, float alpha, RasterMode mode, float rotXOffset,
                 float rotYOffset)
{
    if (!dest || !src || dstW == 0 || dstH == 0) return;
    if (!HasPixels(*dest) || !HasPixels(*src)) return;
    for (float v : {srcX, srcY, srcW, srcH, angle, rotXOffset, rotYOffset})
        if (!std::isfinite(v)) return;
    if (!IsPixelOperation(mode) || !WeightDraws(mode, alpha)) return;

    // Sampling bounds: [boundLeft, boundRight) x [boundTop, boundBottom).
    int32_t boundLeft = 0, boundTop = 0, boundRight = src->width(), boundBottom = src->height();
    if (clipToSourceRect) {
        boundLeft = ClampedInt(std::max(srcX, 0.0f), 0, boundRight);
        boundTop = ClampedInt(std::max(srcY, 0.0f), 0, boundBottom);
        boundRight = ClampedInt(std::min(srcX + srcW, float(boundRight)), 0, boundRight);
        boundBottom = ClampedInt(std::min(srcY + srcH, float(boundBottom)), 0, boundBottom);
    }
    if (boundLeft >= boundRight || boundTop >= boundBottom) return;

    int64_t x0 = dstX, y0 = dstY, w = dstW, h = dstH;
    if (w < 0) {
        x0 += w;
        srcX += srcW;
        srcW = -srcW;
        w = -w;
    }
    if (h < 0) {
        y0 += h;
        srcY += srcH;
        srcH = -srcH;
        h = -h;
    }

    const float c = std::cos(angle), s = std::sin(angle);
    const float scaleX = srcW / float(w), scaleY = srcH / float(h);
    const float dudx = scaleX * c, dvdx = -(scaleY * s);
    const float dudy = scaleX * s, dvdy = scaleY * c;
    float uStart = srcX - ((float(h) * dudy + float(w) * dudx - srcW) * 0.5f - rotXOffset);
    float vStart = srcY - ((float(w) * dvdx + float(h) * dvdy - srcH) * 0.5f - rotYOffset);
    // Sample at destination pixel centres, so that mirrors and half turns land on whole
    // source pixels; bilinear sampling reads pixel centres too, half a pixel further back.
    uStart += 0.5f * (dudx + dudy);
    vStart += 0.5f * (dvdx + dvdy);
    const bool filtered = (mode & Filtered) != 0;
    if (filtered) {
        uStart -= 0.5f;
        vStart -= 0.5f;
    }

    const int64_t stepUx = ToFixed(dudx), stepVx = ToFixed(dvdx);
    const int64_t stepUy = ToFixed(dudy), stepVy = ToFixed(dvdy);
    int64_t rowU = ToFixed(uStart), rowV = ToFixed(vStart);

    // Destination clipping in fixed point, so a clipped blit samples exactly as an unclipped one.
    int64_t x1 = std::min<int64_t>(x0 + w, dest->width());
    int64_t y1 = std::min<int64_t>(y0 + h, dest->height());
    if (x0 < 0) {
        rowU = SaturateToFixed(double(rowU) + double(-x0) * double(stepUx));
        rowV = SaturateToFixed(double(rowV) + double(-x0) * double(stepVx));
        x0 = 0;
    }
    if (y0 < 0) {
        rowU = SaturateToFixed(double(rowU) + double(-y0) * double(stepUy));
        rowV = SaturateToFixed(double(rowV) + double(-y0) * double(stepVy));
        y0 = 0;
    }
    if (x0 >= x1 || y0 >= y1) return;

    const int32_t weight = WeightToFixed(alpha);
    const int32_t lastU = boundRight - 1, lastV = boundBottom - 1;
    WithCombiner(mode, [&](auto combiner) {
        using C = decltype(combiner);
        for (int64_t y = y0; y < y1; ++y) {
            uint32_t* d = SurfaceRow(*dest, static_cast<int32_t>(y));
            int64_t u = rowU, v = rowV;
            for (int64_t x = x0; x < x1; ++x, u += stepUx, v += stepVx) {
                const int64_t iu = u >> 16, iv = v >> 16;  // floor
                if (iu < boundLeft || iu > lastU || iv < boundTop || iv > lastV) continue;
                const uint32_t colour =
                    filtered ? Sample(*src, static_cast<int32_t>(iu), static_cast<int32_t>(iv),
                                      static_cast<int32_t>(u & 0xFFFF), static_cast<int32_t>(v & 0xFFFF),
                                      lastU, lastV)
                             : SurfaceRow(*src, static_cast<int32_t>(iv))[iu];
                C::Apply(d + x, colour, weight);
            }
            rowU += stepUy;
            rowV += stepVy;
        }
    });
}
