// Plain loops that each instruction set's file compiles with its own vector width. No
// multiply and add may fuse (the files are built without contraction), and the loops only
// reorder independent elements, never the operations on one.
#include <cmath>

#if defined(__AVX2__) || defined(__AVX512F__)
#include <immintrin.h>
#endif

#include "dsp/SpectrumKernels.h"

namespace {

void KernelMagnitudes(const Complex* x, const int* positions, const int* bins, int count, double scale,
                      double* out)
{
    // The reads go up through the transform's output, which is far larger than the result:
    // scattering into the small result costs less than gathering from the large one.
    const double* const parts = &x[0].re;
    for (int i = 0; i < count; ++i) {
        const double re = parts[2 * positions[i]], im = parts[2 * positions[i] + 1];
        out[bins[i]] = (re * re + im * im) * scale;
    }
    for (int i = 0; i < count; ++i) out[i] = std::sqrt(out[i]);
}

void KernelLogMap(double* values, const double* position, const double* weight, int length)
{
    // Position n above 0 reads values at or below n (or the last value, never written),
    // which the loop, going down, has not yet written; taken several at a time, all of a
    // group's values are read before any of its results is written. Position 0 reads the
    // value just written at 1, so the groups stop above it. They make the very operations
    // of the single value.
    int n = length - 2;
#if defined(__AVX512F__)
    const __m512d one = _mm512_set1_pd(1.0);
    for (; n >= 8; n -= 8) {
        const int base = n - 7;
        const __m512d x = _mm512_loadu_pd(position + base);
        const __m256i k = _mm512_cvttpd_epi32(x);
        const __m512d f = _mm512_sub_pd(x, _mm512_cvtepi32_pd(k));
        const __m512d low = _mm512_i32gather_pd(k, values, 8), high = _mm512_i32gather_pd(k, values + 1, 8);
        const __m512d mixed = _mm512_add_pd(_mm512_mul_pd(f, high), _mm512_mul_pd(_mm512_sub_pd(one, f), low));
        _mm512_storeu_pd(values + base, _mm512_mul_pd(mixed, _mm512_loadu_pd(weight + base)));
    }
#elif defined(__AVX2__)
    const __m256d one = _mm256_set1_pd(1.0);
    for (; n >= 4; n -= 4) {
        const int base = n - 3;
        const __m256d x = _mm256_loadu_pd(position + base);
        const __m128i k = _mm256_cvttpd_epi32(x);
        const __m256d f = _mm256_sub_pd(x, _mm256_cvtepi32_pd(k));
        const __m256d low = _mm256_i32gather_pd(values, k, 8), high = _mm256_i32gather_pd(values + 1, k, 8);
        const __m256d mixed = _mm256_add_pd(_mm256_mul_pd(f, high), _mm256_mul_pd(_mm256_sub_pd(one, f), low));
        _mm256_storeu_pd(values + base, _mm256_mul_pd(mixed, _mm256_loadu_pd(weight + base)));
    }
#endif
    for (; n >= 0; --n) {
        const double x = position[n];
        const int k = static_cast<int>(x);
        const double f = x - k;
        values[n] = (f * values[k + 1] + (1.0 - f) * values[k]) * weight[n];
    }
}

}  // namespace
