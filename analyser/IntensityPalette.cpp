#include "analyser/IntensityPalette.h"

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

void IntensityPalette::PackRun(const float* values, int count, uint32_t* to, intptr_t stride) const
{
    int i = 0;
    if (!zeroDiffers) {
#if defined(__SSE2__)
        // Four at a time while all four are table entries: the same double product and
        // truncation as PackedIgnoringZero; any other value takes the single path.
        const __m128d k255 = _mm_set1_pd(255.0), zero = _mm_setzero_pd(),
                      limit = _mm_set1_pd(static_cast<double>(kEntries));
        for (; i + 4 <= count; i += 4, to += 4 * stride) {
            const __m128 v = _mm_loadu_ps(values + i);
            const __m128d low = _mm_mul_pd(_mm_cvtps_pd(v), k255);
            const __m128d high = _mm_mul_pd(_mm_cvtps_pd(_mm_movehl_ps(v, v)), k255);
            const int inside = _mm_movemask_pd(_mm_and_pd(_mm_cmpge_pd(low, zero), _mm_cmplt_pd(low, limit))) &
                               _mm_movemask_pd(_mm_and_pd(_mm_cmpge_pd(high, zero), _mm_cmplt_pd(high, limit)));
            if (inside == 3) {
                const __m128i lowIndex = _mm_cvttpd_epi32(low), highIndex = _mm_cvttpd_epi32(high);
                to[0] = entries[_mm_cvtsi128_si32(lowIndex)];
                to[stride] = entries[_mm_cvtsi128_si32(_mm_shuffle_epi32(lowIndex, 1))];
                to[2 * stride] = entries[_mm_cvtsi128_si32(highIndex)];
                to[3 * stride] = entries[_mm_cvtsi128_si32(_mm_shuffle_epi32(highIndex, 1))];
            } else {
                for (int j = 0; j < 4; ++j) to[j * stride] = PackedIgnoringZero(values[i + j]);
            }
        }
#endif
        for (; i < count; ++i, to += stride) *to = PackedIgnoringZero(values[i]);
        return;
    }
    for (; i < count; ++i, to += stride) *to = Packed(values[i]);
}
