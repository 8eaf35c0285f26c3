// The per-pixel combining operations shared by fills, points, lines, arcs and blits.
// Integer arithmetic with weights in 1/256 units; divisions truncate toward zero and every
// channel is clamped to 0..255.
#pragma once

#include <cmath>
#include <cstdint>

#include "graphics/Blend.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

enum class PixelOp { Copy, Add, Dodge };

// The largest weight magnitude used in integer arithmetic. Any weight beyond it already
// saturates every channel, and it keeps all products inside 32 bits.
constexpr int32_t MaxFixedWeight = 1 << 20;

inline int32_t ClampChannel(int32_t v)
{
    if (v & ~255) return v < 0 ? 0 : 255;
    return v;
}

inline int32_t SaturateFixed(float v)
{
    if (!(v == v)) return 0;
    if (v >= float(MaxFixedWeight)) return MaxFixedWeight;
    if (v <= -float(MaxFixedWeight)) return -MaxFixedWeight;
    return static_cast<int32_t>(v);
}

// weight * 256 truncated toward zero; NaN gives 0, huge weights saturate.
inline int32_t WeightToFixed(float weight)
{
    return SaturateFixed(weight * 256.0f);
}

// The draw-or-not rule every primitive shares: copy only with a positive weight, add and
// dodge with any non-zero one. NaN never draws.
inline bool WeightDraws(RasterMode mode, float weight)
{
    if (std::isnan(weight)) return false;
    return RasterOperation(mode) == RasterCopy ? weight > 0.0f : weight != 0.0f;
}

inline bool IsPixelOperation(RasterMode mode)
{
    const RasterMode op = RasterOperation(mode);
    return op == RasterCopy || op == RasterAdd || op == RasterDodge;
}

template <PixelOp op>
inline int32_t CombineChannel(int32_t d, int32_t s, int32_t w)
{
    if (op == PixelOp::Copy) return ClampChannel((d * (256 - w) + s * w) / 256);
    if (op == PixelOp::Add) return ClampChannel(d + s * w / 256);
    const int32_t t = s * w / 256;
    return ClampChannel(t >= 254 ? d * 256 : d * 256 / (255 - t));
}

// One destination pixel combined with one source pixel at weight w (256 = full strength).
template <PixelOp op, bool sourceAlpha>
inline void CombinePixel(uint32_t* d, uint32_t s, int32_t w)
{
    if (op == PixelOp::Copy && !sourceAlpha && static_cast<uint32_t>(w) <= 256u) {
        // Within full strength each channel's d * (256 - w) + s * w stays below 65536 and
        // is never negative: two channels share a word without carrying into each other,
        // and the shift is the division. The same values as the loop below, four at once.
        const uint32_t dv = *d, keep = static_cast<uint32_t>(256 - w), take = static_cast<uint32_t>(w);
        const uint32_t redBlue = ((dv & 0xFF00FFu) * keep + (s & 0xFF00FFu) * take) >> 8 & 0xFF00FFu;
        const uint32_t alphaGreen = ((dv >> 8 & 0xFF00FFu) * keep + (s >> 8 & 0xFF00FFu) * take) & 0xFF00FF00u;
        *d = redBlue | alphaGreen;
        return;
    }
    if (op == PixelOp::Add && !sourceAlpha && static_cast<uint32_t>(w) <= 256u) {
        // The same pairing for add: s * w / 256 per channel, then a sum of at most 510 that
        // stays inside its 16-bit lane, where bit 8 marks the channels to clip at 255.
        const uint32_t dv = *d, take = static_cast<uint32_t>(w);
        uint32_t redBlue = (dv & 0xFF00FFu) + (((s & 0xFF00FFu) * take >> 8) & 0xFF00FFu);
        uint32_t alphaGreen = (dv >> 8 & 0xFF00FFu) + (((s >> 8 & 0xFF00FFu) * take >> 8) & 0xFF00FFu);
        redBlue = (redBlue | ((redBlue >> 8 & 0x010001u) * 255u)) & 0xFF00FFu;
        alphaGreen = (alphaGreen | ((alphaGreen >> 8 & 0x010001u) * 255u)) & 0xFF00FFu;
        *d = redBlue | alphaGreen << 8;
        return;
    }
    if (sourceAlpha) {
        const int32_t sa = static_cast<int32_t>(s >> 24);
        if (op != PixelOp::Dodge && sa == 0) return;
        w = sa * w / 256;
    }
    const uint32_t dv = *d;
    uint32_t out = 0;
    for (int shift = 0; shift < 32; shift += 8) {
        const int32_t dc = static_cast<int32_t>(dv >> shift & 255);
        const int32_t sc = static_cast<int32_t>(s >> shift & 255);
        int32_t c;
        if (op == PixelOp::Copy && sourceAlpha)
            c = ClampChannel((sc * w + dc * (255 - w)) / 256);  // 255 here, not 256
        else
            c = CombineChannel<op>(dc, sc, w);
        out |= static_cast<uint32_t>(c) << shift;
    }
    *d = out;
}

// CombinePixel<Copy, false>(a, s, wa) and then (b, s, wb) for two different pixels and weights
// within 0..256: the same values, both pixels worked out in one register.
inline void CopyBlendPair(uint32_t* a, uint32_t* b, uint32_t s, int32_t wa, int32_t wb)
{
#if defined(__SSE2__)
    const __m128i zero = _mm_setzero_si128();
    const __m128i d = _mm_unpacklo_epi8(
        _mm_unpacklo_epi32(_mm_cvtsi32_si128(static_cast<int>(*a)), _mm_cvtsi32_si128(static_cast<int>(*b))), zero);
    const __m128i source = _mm_unpacklo_epi8(_mm_set1_epi32(static_cast<int>(s)), zero);
    __m128i take = _mm_cvtsi32_si128(wa | wb << 16);
    take = _mm_unpacklo_epi16(take, take);
    take = _mm_unpacklo_epi32(take, take);
    const __m128i keep = _mm_sub_epi16(_mm_set1_epi16(256), take);
    // At most 255 * 256 per channel: the 16-bit lanes hold the sums without a carry.
    const __m128i sum = _mm_srli_epi16(_mm_add_epi16(_mm_mullo_epi16(d, keep), _mm_mullo_epi16(source, take)), 8);
    const __m128i packed = _mm_packus_epi16(sum, sum);
    *a = static_cast<uint32_t>(_mm_cvtsi128_si32(packed));
    *b = static_cast<uint32_t>(_mm_cvtsi128_si32(_mm_srli_si128(packed, 4)));
#else
    CombinePixel<PixelOp::Copy, false>(a, s, wa);
    CombinePixel<PixelOp::Copy, false>(b, s, wb);
#endif
}

// Run-time choice for single pixels; any operation other than copy, add or dodge does nothing.
inline void CombinePixel(uint32_t* d, uint32_t s, RasterMode mode, int32_t w)
{
    const bool alpha = (mode & UseSourceAlpha) != 0;
    switch (RasterOperation(mode)) {
    case RasterCopy: alpha ? CombinePixel<PixelOp::Copy, true>(d, s, w) : CombinePixel<PixelOp::Copy, false>(d, s, w); break;
    case RasterAdd: alpha ? CombinePixel<PixelOp::Add, true>(d, s, w) : CombinePixel<PixelOp::Add, false>(d, s, w); break;
    case RasterDodge: alpha ? CombinePixel<PixelOp::Dodge, true>(d, s, w) : CombinePixel<PixelOp::Dodge, false>(d, s, w); break;
    default: break;
    }
}

// Runs body(combiner) with the operation fixed at compile time, so that the per-pixel loops
// of lines, arcs and blits choose their routine once per call. False for unknown operations.
template <PixelOp op, bool sourceAlpha>
struct Combiner {
    static void Apply(uint32_t* d, uint32_t s, int32_t w) { CombinePixel<op, sourceAlpha>(d, s, w); }
    // Apply(a, s, wa) then Apply(b, s, wb), b not a; the weights within 0..256.
    static void ApplyPair(uint32_t* a, uint32_t* b, uint32_t s, int32_t wa, int32_t wb)
    {
        if (op == PixelOp::Copy && !sourceAlpha) {
            CopyBlendPair(a, b, s, wa, wb);
            return;
        }
        CombinePixel<op, sourceAlpha>(a, s, wa);
        CombinePixel<op, sourceAlpha>(b, s, wb);
    }
};

template <typename Body>
inline bool WithCombiner(RasterMode mode, Body&& body)
{
    const bool alpha = (mode & UseSourceAlpha) != 0;
    switch (RasterOperation(mode)) {
    case RasterCopy: alpha ? body(Combiner<PixelOp::Copy, true>()) : body(Combiner<PixelOp::Copy, false>()); return true;
    case RasterAdd: alpha ? body(Combiner<PixelOp::Add, true>()) : body(Combiner<PixelOp::Add, false>()); return true;
    case RasterDodge: alpha ? body(Combiner<PixelOp::Dodge, true>()) : body(Combiner<PixelOp::Dodge, false>()); return true;
    default: return false;
    }
}
