#include "analyser/IntensityPalette.h"

#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

int32_t ClampChannel(int64_t v) { return v < 0 ? 0 : v > 255 ? 255 : static_cast<int32_t>(v); }

}  // namespace

Colour IntensityPalette::Mix(const Colour& background, const Colour& target, int32_t weight)
{
    // Intensities above 1 push past the target until the channels clip; wide arithmetic
    // keeps a huge weight from overflowing.
    const int64_t a = weight;
    Colour result = background;
    result.r = ClampChannel(background.r + (static_cast<int64_t>(target.r) - background.r) * a / 256);
    result.g = ClampChannel(background.g + (static_cast<int64_t>(target.g) - background.g) * a / 256);
    result.b = ClampChannel(background.b + (static_cast<int64_t>(target.b) - background.b) * a / 256);
    return result;
}

void IntensityPalette::Prepare(const Colour& newBackground, const Colour& newTarget)
{
    if (prepared && newBackground == background && newTarget == target) return;
    background = newBackground;
    target = newTarget;
    packedBackground = PackColour(background);
    for (int32_t weight = 0; weight < kEntries; ++weight) entries[weight] = PackColour(Mix(background, target, weight));
    zeroDiffers = entries[0] != packedBackground;
    prepared = true;
}

bool IntensityPalette::AllPositiveZero(const float* values, int count)
{
    uint32_t any = 0;
    for (int i = 0; i < count; ++i) {
        uint32_t bits;
        std::memcpy(&bits, values + i, sizeof bits);
        any |= bits;
    }
    return any == 0;
}

bool IntensityPalette::PackRun(const float* values, int count, uint32_t* to, intptr_t stride) const
{
    bool zeros = true;
    int i = 0;
    if (!zeroDiffers) {
#if defined(__SSE2__)
        // Four at a time while all four are table entries: the same double product and
        // truncation as PackedIgnoringZero; any other value takes the single path. A float
        // times 255 is exact in double, so the range test can be made on the floats: below
        // this bound exactly when the product is below the table's size.
        constexpr float kBelowEntries = 0x1.010102p+4f;
        static_assert(double(kBelowEntries) * 255.0 >= kEntries && double(0x1.0101p+4f) * 255.0 < kEntries,
                      "the smallest float whose product reaches the table's size");
        const __m128d k255 = _mm_set1_pd(255.0);
        const __m128 zero = _mm_setzero_ps(), below = _mm_set1_ps(kBelowEntries);
        __m128i anyBits = _mm_setzero_si128();
        for (; i + 4 <= count; i += 4, to += 4 * stride) {
            const __m128 v = _mm_loadu_ps(values + i);
            anyBits = _mm_or_si128(anyBits, _mm_castps_si128(v));
            if (_mm_movemask_ps(_mm_and_ps(_mm_cmpge_ps(v, zero), _mm_cmplt_ps(v, below))) == 15) {
                const __m128i low = _mm_cvttpd_epi32(_mm_mul_pd(_mm_cvtps_pd(v), k255));
                const __m128i high = _mm_cvttpd_epi32(_mm_mul_pd(_mm_cvtps_pd(_mm_movehl_ps(v, v)), k255));
                int32_t index[4];
                _mm_storeu_si128(reinterpret_cast<__m128i*>(index), _mm_unpacklo_epi64(low, high));
                to[0] = entries[index[0]];
                to[stride] = entries[index[1]];
                to[2 * stride] = entries[index[2]];
                to[3 * stride] = entries[index[3]];
            } else {
                for (int j = 0; j < 4; ++j) to[j * stride] = PackedIgnoringZero(values[i + j]);
            }
        }
        zeros = _mm_movemask_epi8(_mm_cmpeq_epi32(anyBits, _mm_setzero_si128())) == 0xFFFF;
#endif
        const int rest = i;
        for (; i < count; ++i, to += stride) *to = PackedIgnoringZero(values[i]);
        return zeros && AllPositiveZero(values + rest, count - rest);
    }
    for (; i < count; ++i, to += stride) *to = Packed(values[i]);
    return AllPositiveZero(values, count);
}
