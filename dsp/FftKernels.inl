// The transform routines, included by one source file per instruction set (and by a test); the
// compiler flags of that file choose the vector code. Everything here has internal
// linkage, so the builds for different instruction sets never mix.
//
// Every size has a routine of its own, so a transform is a fixed tree of calls. The
// forward routine sweeps once over its values to make its own pass and its half's, then
// transforms what is left: the half's two quarters and half, and its own two quarters.
// The inverse goes the other way round. Small sizes are transformed whole in registers.
//
// One step of a pass works on a, b, c, d a quarter of the size apart. Forward: with
// t = a - c and u = b - d, a becomes a + c, b becomes b + d, c becomes (t + iu) w and d
// becomes (t - iu) conj(w). Inverse, with P = c conj(w) and Q = d w: a + (P + Q),
// b - i(P - Q), a - (P + Q), b + i(P - Q). For w = 1 the products are skipped.
//
// A register holds kLanes complex values, real part first, and a step works on kLanes
// neighbouring k at once; below four registers' worth a transform shuffles values within
// its registers instead. Every value sees the same operations in the same order as in the
// plain one-value-at-a-time transform (x + (-y) equals x - y, x (-y) equals -(x y), and
// sums and products may swap their operands, all exactly; only the sign of a NaN may
// differ), so every build gives the same bits: the displays are compared pixel for pixel.

#include <cstddef>
#include <utility>

#include "dsp/FftTables.h"

// 0 scalar, 1 SSE2, 2 AVX, 3 AVX2, 4 AVX-512. QUILLOGRAPH_FFT_SCALAR forces the scalar
// code, so that it can be checked against the vector builds.
#if defined(QUILLOGRAPH_FFT_SCALAR)
#define QUILLOGRAPH_FFT_VECTOR_LEVEL 0
#elif defined(__AVX512F__)
#define QUILLOGRAPH_FFT_VECTOR_LEVEL 4
#include <immintrin.h>
#elif defined(__AVX2__)
#define QUILLOGRAPH_FFT_VECTOR_LEVEL 3
#include <immintrin.h>
#elif defined(__AVX__)
#define QUILLOGRAPH_FFT_VECTOR_LEVEL 2
#include <immintrin.h>
#elif defined(__SSE2__)
#define QUILLOGRAPH_FFT_VECTOR_LEVEL 1
#include <emmintrin.h>
#else
#define QUILLOGRAPH_FFT_VECTOR_LEVEL 0
#endif

namespace {

// Samples beyond +-limit held at it and those that are no number taken as 0, times the
// window: min and max instructions and the vector forms below do exactly this.
inline double WindowedValue(const double* in, const double* window, double limit)
{
    const double s = *in;
    const double high = limit < s ? limit : s;
    const double held = high < -limit ? -limit : high;
    return (s == s ? held : 0.0) * *window;
}

// ---- Registers of kLanes complex values, per instruction set ----
// Add, Sub, Mul work part by part; Swap exchanges real and imaginary parts; FlipRe and
// FlipIm change the sign of one part; KeepFirst takes its first complex value from
// plain and the others from turned (for the step k = 0, which has no twiddle).

#if QUILLOGRAPH_FFT_VECTOR_LEVEL == 4

constexpr int kLanes = 4;
constexpr int kLeafSize = 32; // the largest size transformed whole in registers
using V = __m512d;

inline V Load(const Complex* p) { return _mm512_loadu_pd(&p->re); }
inline void Store(Complex* p, V v) { _mm512_storeu_pd(&p->re, v); }
inline V Add(V a, V b) { return _mm512_add_pd(a, b); }
inline V Sub(V a, V b) { return _mm512_sub_pd(a, b); }
inline V Mul(V a, V b) { return _mm512_mul_pd(a, b); }
inline V Swap(V v) { return _mm512_permute_pd(v, 0x55); }
inline V Xor(V v, V signs) { return _mm512_castsi512_pd(_mm512_xor_si512(_mm512_castpd_si512(v), _mm512_castpd_si512(signs))); }
inline V Signs(double re, double im) { return _mm512_setr_pd(re, im, re, im, re, im, re, im); }
inline V Signs(double r0, double i0, double r1, double i1, double r2, double i2, double r3, double i3)
{
    return _mm512_setr_pd(r0, i0, r1, i1, r2, i2, r3, i3);
}
inline V FlipRe(V v) { return Xor(v, Signs(-0.0, 0.0)); }
inline V FlipIm(V v) { return Xor(v, Signs(0.0, -0.0)); }
inline V KeepFirst(V plain, V turned) { return _mm512_mask_blend_pd(0x03, turned, plain); }

// Four doubles spread over the real parts, the imaginary parts +0.
inline V Spread(const double* p)
{
    return _mm512_maskz_permutexvar_pd(0x55, _mm512_setr_epi64(0, 0, 1, 0, 2, 0, 3, 0), _mm512_castpd256_pd512(_mm256_loadu_pd(p)));
}
inline V Windowed(const double* in, const double* window, double limit)
{
    const V s = Spread(in);
    // min(a, b) is a < b ? a : b and max(a, b) is a > b ? a : b, as in the plain loop.
    const V held = _mm512_max_pd(_mm512_set1_pd(-limit), _mm512_min_pd(_mm512_set1_pd(limit), s));
    return Mul(_mm512_maskz_mov_pd(_mm512_cmp_pd_mask(s, s, _CMP_EQ_OQ), held), Spread(window));
}

// The complex values of a register are numbered 0 to 3. Lanes picks them, whole; the masks
// below name complex values by their two bits each.
template <int l0, int l1, int l2, int l3>
inline V Lanes(V v)
{
    return _mm512_shuffle_f64x2(v, v, l0 | l1 << 2 | l2 << 4 | l3 << 6);
}
constexpr __mmask8 kUpperPair = 0xF0; // values 2 and 3
constexpr __mmask8 kOddValues = 0xCC; // values 1 and 3

inline V Permute(V v, long long i0, long long i1, long long i2, long long i3, long long i4, long long i5, long long i6, long long i7)
{
    return _mm512_permutexvar_pd(_mm512_set_epi64(i7, i6, i5, i4, i3, i2, i1, i0), v);
}

// (x0 + x1, x0 - x1, x2 + x3, x2 - x3): the butterflies of neighbouring values.
inline V PairButterflies(V v)
{
    const V swapped = Lanes<1, 0, 3, 2>(v);
    return _mm512_mask_sub_pd(Add(v, swapped), kOddValues, swapped, v);
}

// (x0 + x2, x1 + x3, x0 - x2, x1 - x3).
inline V HalfButterflies(V v)
{
    const V swapped = Lanes<2, 3, 0, 1>(v);
    return _mm512_mask_sub_pd(Add(v, swapped), kUpperPair, swapped, v);
}

// Values 1 and 3 times their twiddles: re and im are (wr, wr) and (-wi, wi) for a value
// that turns forwards, and (wr, wr) and (wi, -wi) for one that turns back; the others stay.
inline V TurnOddValues(V v, V re, V im)
{
    return _mm512_mask_add_pd(v, kOddValues, Mul(v, re), Mul(Swap(v), im));
}

// Size 4: the step k = 0 on x0, x1, x2, x3, then the butterfly of the first two.
inline V Forward4(V v)
{
    const V w = HalfButterflies(v); // a + c, b + d, t, u
    const V p = Lanes<0, 0, 2, 2>(w);
    const V q = Xor(Permute(w, 2, 3, 2, 3, 7, 6, 7, 6), Signs(0.0, 0.0, -0.0, -0.0, -0.0, 0.0, 0.0, -0.0));
    return Add(p, q); // (a + c) +- (b + d), t + iu, t - iu
}

// Size 4 inverse: the butterfly of the first two, then the step k = 0.
inline V Inverse4(V v)
{
    const V w = PairButterflies(v); // the first butterfly, then c + d and c - d
    const V p = Lanes<0, 1, 0, 1>(w);
    const V q = Xor(Permute(w, 4, 5, 7, 6, 4, 5, 7, 6), Signs(0.0, 0.0, 0.0, -0.0, -0.0, -0.0, -0.0, 0.0));
    return Add(p, q);
}

// Size 8: the steps k = 0 and 1 on (x0, x1), (x2, x3), (x4, x5), (x6, x7), then the
// butterflies of x4, x5 and x6, x7, and size 4 on x0 to x3.
inline void Forward8(V& v0, V& v1)
{
    const double h = fftSqrtHalf;
    const V t = Sub(v0, v1); // t0, t1, u0, u1
    v0 = Forward4(Add(v0, v1));
    const V p = Lanes<0, 1, 0, 1>(t);
    const V q = Xor(Permute(t, 5, 4, 7, 6, 5, 4, 7, 6), Signs(-0.0, 0.0, -0.0, 0.0, 0.0, -0.0, 0.0, -0.0));
    const V zy = Add(p, q); // t0 + iu0, t1 + iu1, t0 - iu0, t1 - iu1
    v1 = PairButterflies(TurnOddValues(zy, Signs(h, h), Signs(0, 0, -h, h, 0, 0, h, -h)));
}

// Size 8 inverse: size 4 on x0 to x3, the butterflies of x4, x5 and x6, x7, then the
// steps k = 0 and 1.
inline void Inverse8(V& v0, V& v1)
{
    const double h = fftSqrtHalf;
    const V a = Inverse4(v0);
    const V pq = TurnOddValues(PairButterflies(v1), Signs(h, h), Signs(0, 0, h, -h, 0, 0, -h, h)); // P0, P1, Q0, Q1
    const V st = HalfButterflies(pq); // s0, s1, t0, t1
    const V m = Xor(Permute(st, 0, 1, 2, 3, 5, 4, 7, 6), Signs(0.0, 0.0, 0.0, 0.0, 0.0, -0.0, 0.0, -0.0)); // s, -it
    v0 = Add(a, m);
    v1 = Sub(a, m);
}

template <int N>
inline void ForwardSmall(V* v)
{
    if constexpr (N == 4)
        v[0] = Forward4(v[0]);
    else
        Forward8(v[0], v[1]);
}

template <int N>
inline void InverseSmall(V* v)
{
    if constexpr (N == 4)
        v[0] = Inverse4(v[0]);
    else
        Inverse8(v[0], v[1]);
}

#elif QUILLOGRAPH_FFT_VECTOR_LEVEL >= 2

constexpr int kLanes = 2;
constexpr int kLeafSize = 16;
using V = __m256d;

inline V Load(const Complex* p) { return _mm256_loadu_pd(&p->re); }
inline void Store(Complex* p, V v) { _mm256_storeu_pd(&p->re, v); }
inline V Add(V a, V b) { return _mm256_add_pd(a, b); }
inline V Sub(V a, V b) { return _mm256_sub_pd(a, b); }
inline V Mul(V a, V b) { return _mm256_mul_pd(a, b); }
inline V Swap(V v) { return _mm256_permute_pd(v, 0x5); }
inline V Signs(double r0, double i0, double r1, double i1) { return _mm256_setr_pd(r0, i0, r1, i1); }
inline V FlipRe(V v) { return _mm256_xor_pd(v, Signs(-0.0, 0.0, -0.0, 0.0)); }
inline V FlipIm(V v) { return _mm256_xor_pd(v, Signs(0.0, -0.0, 0.0, -0.0)); }
inline V KeepFirst(V plain, V turned) { return _mm256_blend_pd(turned, plain, 0x3); }

inline V Spread(const double* p)
{
    return _mm256_insertf128_pd(_mm256_castpd128_pd256(_mm_load_sd(p)), _mm_load_sd(p + 1), 1);
}
inline V Windowed(const double* in, const double* window, double limit)
{
    const V s = Spread(in);
    const V held = _mm256_max_pd(_mm256_set1_pd(-limit), _mm256_min_pd(_mm256_set1_pd(limit), s));
    return Mul(_mm256_and_pd(_mm256_cmp_pd(s, s, _CMP_EQ_OQ), held), Spread(window));
}

// (x0 + x1, x0 - x1).
inline V Butterfly2(V v)
{
    const V swapped = _mm256_permute2f128_pd(v, v, 1);
    return _mm256_blend_pd(Add(v, swapped), Sub(swapped, v), 0xC);
}

// The second value, with its parts exchanged, in both places.
inline V SecondSwapped(V v)
{
#if QUILLOGRAPH_FFT_VECTOR_LEVEL >= 3
    return _mm256_permute4x64_pd(v, 0xBB);
#else
    return Swap(_mm256_permute2f128_pd(v, v, 0x11));
#endif
}

// Size 2 in one register; size 4 in two, as for AVX-512 above.
template <int N>
inline void ForwardSmall(V* v)
{
    if constexpr (N == 2) {
        v[0] = Butterfly2(v[0]);
    } else {
        const V t = Sub(v[0], v[1]); // t, u
        v[0] = Butterfly2(Add(v[0], v[1]));
        const V p = _mm256_permute2f128_pd(t, t, 0);
        v[1] = Add(p, _mm256_xor_pd(SecondSwapped(t), Signs(-0.0, 0.0, 0.0, -0.0))); // t + iu, t - iu
    }
}

template <int N>
inline void InverseSmall(V* v)
{
    if constexpr (N == 2) {
        v[0] = Butterfly2(v[0]);
    } else {
        const V a = Butterfly2(v[0]);
        const V st = Butterfly2(v[1]); // c + d, c - d
        const V m = _mm256_xor_pd(_mm256_permute_pd(st, 0x6), Signs(0.0, 0.0, 0.0, -0.0)); // s, -it
        v[0] = Add(a, m);
        v[1] = Sub(a, m);
    }
}

#else

constexpr int kLanes = 1;
constexpr int kLeafSize = 8;

#if QUILLOGRAPH_FFT_VECTOR_LEVEL == 1

using V = __m128d;

inline V Load(const Complex* p) { return _mm_loadu_pd(&p->re); }
inline void Store(Complex* p, V v) { _mm_storeu_pd(&p->re, v); }
inline V Add(V a, V b) { return _mm_add_pd(a, b); }
inline V Sub(V a, V b) { return _mm_sub_pd(a, b); }
inline V Mul(V a, V b) { return _mm_mul_pd(a, b); }
inline V Swap(V v) { return _mm_shuffle_pd(v, v, 1); }
inline V FlipRe(V v) { return _mm_xor_pd(v, _mm_set_pd(0.0, -0.0)); }
inline V FlipIm(V v) { return _mm_xor_pd(v, _mm_set_pd(-0.0, 0.0)); }
inline V Windowed(const double* in, const double* window, double limit)
{
    const V s = _mm_load_sd(in);
    const V held = _mm_max_pd(_mm_set1_pd(-limit), _mm_min_pd(_mm_set1_pd(limit), s));
    return Mul(_mm_and_pd(_mm_cmpeq_pd(s, s), held), _mm_load_sd(window));
}

#else

using V = Complex;

inline V Load(const Complex* p) { return *p; }
inline void Store(Complex* p, V v) { *p = v; }
inline V Add(V a, V b) { return V{a.re + b.re, a.im + b.im}; }
inline V Sub(V a, V b) { return V{a.re - b.re, a.im - b.im}; }
inline V Mul(V a, V b) { return V{a.re * b.re, a.im * b.im}; }
inline V Swap(V v) { return V{v.im, v.re}; }
inline V FlipRe(V v) { return V{-v.re, v.im}; }
inline V FlipIm(V v) { return V{v.re, -v.im}; }

#endif

#if QUILLOGRAPH_FFT_VECTOR_LEVEL == 0
inline V Windowed(const double* in, const double* window, double limit)
{
    return V{WindowedValue(in, window, limit), 0.0};
}
#endif

inline V KeepFirst(V plain, V) { return plain; }

template <int N>
inline void ForwardSmall(V* v)
{
    if constexpr (N == 2) {
        const V a = v[0];
        v[0] = Add(a, v[1]);
        v[1] = Sub(a, v[1]);
    }
}

template <int N>
inline void InverseSmall(V* v)
{
    ForwardSmall<N>(v);
}

#endif

// ---- The steps, kLanes of them at once ----
// re and im hold (wr, wr) and (-wi, wi) for each of the steps' twiddles w.

// z w = (zr wr - zi wi, zr wi + zi wr)
inline V Turn(V z, V re, V im) { return Add(Mul(z, re), Mul(Swap(z), im)); }

// y conj(w) = (yr wr + yi wi, yi wr - yr wi)
inline V TurnBack(V y, V re, V im) { return Sub(Mul(y, re), Mul(Swap(y), im)); }

template <bool first>
inline void ForwardStep(V& a, V& b, V& c, V& d, V re, V im)
{
    const V t = Sub(a, c), u = Sub(b, d);
    const V iu = FlipRe(Swap(u));
    a = Add(a, c);
    b = Add(b, d);
    const V z = Add(t, iu), y = Sub(t, iu);
    c = Turn(z, re, im);
    d = TurnBack(y, re, im);
    if constexpr (first) {
        c = KeepFirst(z, c);
        d = KeepFirst(y, d);
    }
}

template <bool first>
inline void InverseStep(V& a, V& b, V& c, V& d, V re, V im)
{
    V p = TurnBack(c, re, im), q = Turn(d, re, im);
    if constexpr (first) {
        p = KeepFirst(c, p);
        q = KeepFirst(d, q);
    }
    const V s = Add(p, q), t = Sub(p, q);
    const V minusIt = FlipIm(Swap(t)); // (ti, -tr)
    c = Sub(a, s);
    a = Add(a, s);
    d = Sub(b, minusIt);
    b = Add(b, minusIt);
}

// ---- Transforms held whole in registers: N / kLanes of them ----

template <int N>
inline const Complex* StepCosines()
{
    return fftStepCosines + FftStepTwiddleOffset(N);
}

template <int N>
inline const Complex* StepSines()
{
    return fftStepSines + FftStepTwiddleOffset(N);
}

template <int N>
inline void ForwardInRegisters(V* v)
{
    if constexpr (N < 4 * kLanes) {
        ForwardSmall<N>(v);
    } else {
        constexpr int r = N / 4 / kLanes; // registers per quarter
        ForwardStep<true>(v[0], v[r], v[2 * r], v[3 * r], Load(StepCosines<N>()), Load(StepSines<N>()));
        for (int j = 1; j < r; ++j)
            ForwardStep<false>(v[j], v[j + r], v[j + 2 * r], v[j + 3 * r], Load(StepCosines<N>() + j * kLanes), Load(StepSines<N>() + j * kLanes));
        ForwardInRegisters<N / 4>(v + 3 * r);
        ForwardInRegisters<N / 4>(v + 2 * r);
        ForwardInRegisters<N / 2>(v);
    }
}

template <int N>
inline void InverseInRegisters(V* v)
{
    if constexpr (N < 4 * kLanes) {
        InverseSmall<N>(v);
    } else {
        constexpr int r = N / 4 / kLanes;
        InverseInRegisters<N / 2>(v);
        InverseInRegisters<N / 4>(v + 2 * r);
        InverseInRegisters<N / 4>(v + 3 * r);
        InverseStep<true>(v[0], v[r], v[2 * r], v[3 * r], Load(StepCosines<N>()), Load(StepSines<N>()));
        for (int j = 1; j < r; ++j)
            InverseStep<false>(v[j], v[j + r], v[j + 2 * r], v[j + 3 * r], Load(StepCosines<N>() + j * kLanes), Load(StepSines<N>() + j * kLanes));
    }
}

// ---- Transforms through memory ----
// A sweep makes the pass of size N and the pass of its half together, so that their
// values go through memory once: for each k below N/8 it loads the eight values
// x[k + jN/8], makes the steps k and k + N/8 of the large pass and step k of the half's
// (the other way round when inverse) and stores the values again.

template <int N>
inline V Cosines(int k)
{
    return Load(StepCosines<N>() + k);
}

template <int N>
inline V Sines(int k)
{
    return Load(StepSines<N>() + k);
}

// value(i) gives x[i] as it enters the pass.
template <int N, bool first, typename Value>
inline void ForwardSweepStep(Complex* x, int k, Value value)
{
    constexpr int e = N / 8;
    V v[8];
    // The quarters' values are loaded as late and stored as early as can be, which
    // spares registers.
    for (int j = 0; j < 8; ++j) v[j] = value(k + j * e);
    ForwardStep<first>(v[0], v[2], v[4], v[6], Cosines<N>(k), Sines<N>(k));
    ForwardStep<false>(v[1], v[3], v[5], v[7], Cosines<N>(k + e), Sines<N>(k + e));
    for (int j = 4; j < 8; ++j) Store(x + k + j * e, v[j]);
    ForwardStep<first>(v[0], v[1], v[2], v[3], Cosines<N / 2>(k), Sines<N / 2>(k));
    for (int j = 0; j < 4; ++j) Store(x + k + j * e, v[j]);
}

template <int N, bool inverse, bool first>
inline void SweepStep(Complex* x, int k)
{
    constexpr int e = N / 8;
    V v[8];
    if constexpr (!inverse) {
        ForwardSweepStep<N, first>(x, k, [x](int i) { return Load(x + i); });
    } else {
        for (int j = 0; j < 4; ++j) v[j] = Load(x + k + j * e);
        InverseStep<first>(v[0], v[1], v[2], v[3], Cosines<N / 2>(k), Sines<N / 2>(k));
        for (int j = 4; j < 8; ++j) v[j] = Load(x + k + j * e);
        InverseStep<first>(v[0], v[2], v[4], v[6], Cosines<N>(k), Sines<N>(k));
        InverseStep<false>(v[1], v[3], v[5], v[7], Cosines<N>(k + e), Sines<N>(k + e));
        for (int j = 0; j < 8; ++j) Store(x + k + j * e, v[j]);
    }
}

template <int N, bool inverse>
inline void Sweep(Complex* x)
{
    SweepStep<N, inverse, true>(x, 0);
    for (int k = kLanes; k < N / 8; k += kLanes) SweepStep<N, inverse, false>(x, k);
}

inline void Butterfly(Complex& a, Complex& b)
{
    const Complex oldA = a;
    a = Complex{oldA.re + b.re, oldA.im + b.im};
    b = Complex{oldA.re - b.re, oldA.im - b.im};
}

// Written out rather than as loops, which the compiler turns into block copies through
// memory.
template <int N, bool inverse, std::size_t... i>
inline void InRegisters(Complex* x, std::index_sequence<i...>)
{
    V v[] = {Load(x + i * kLanes)...};
    if constexpr (inverse)
        InverseInRegisters<N>(v);
    else
        ForwardInRegisters<N>(v);
    (Store(x + i * kLanes, v[i]), ...);
}

template <int N>
void ForwardAfterSweep(Complex* x);

template <int N>
void Forward(Complex* x)
{
    if constexpr (N < kLanes) {
        Butterfly(x[0], x[1]);
    } else if constexpr (N <= kLeafSize) {
        InRegisters<N, false>(x, std::make_index_sequence<N / kLanes>());
    } else {
        Sweep<N, false>(x);
        ForwardAfterSweep<N>(x);
    }
}

// The rest of Forward<N> once its sweep is made.
template <int N>
void ForwardAfterSweep(Complex* x)
{
    constexpr int e = N / 8;
    Forward<N / 8>(x + 3 * e); // the rest of the half
    Forward<N / 8>(x + 2 * e);
    Forward<N / 4>(x);
    Forward<N / 4>(x + 6 * e); // the quarters
    Forward<N / 4>(x + 4 * e);
}

// Forward<N> of the windowed samples. The first sweep reads the samples themselves, which
// spares a pass that would write the whole buffer only for the sweep to read it back.
template <int N>
void ForwardWindowed(const double* in, const double* window, double limit, Complex* x)
{
    if constexpr (N <= kLeafSize) {
        for (int i = 0; i < N; ++i) x[i] = Complex{WindowedValue(in + i, window + i, limit), 0.0};
        Forward<N>(x);
    } else {
        auto value = [=](int i) { return Windowed(in + i, window + i, limit); };
        ForwardSweepStep<N, true>(x, 0, value);
        for (int k = kLanes; k < N / 8; k += kLanes) ForwardSweepStep<N, false>(x, k, value);
        ForwardAfterSweep<N>(x);
    }
}

template <int N>
void Inverse(Complex* x)
{
    if constexpr (N < kLanes) {
        Butterfly(x[0], x[1]);
    } else if constexpr (N <= kLeafSize) {
        InRegisters<N, true>(x, std::make_index_sequence<N / kLanes>());
    } else {
        constexpr int e = N / 8;
        Inverse<N / 4>(x);
        Inverse<N / 8>(x + 2 * e);
        Inverse<N / 8>(x + 3 * e);
        Inverse<N / 4>(x + 4 * e);
        Inverse<N / 4>(x + 6 * e);
        Sweep<N, true>(x);
    }
}

template <int N>
void Transform(Complex* x, int inverse)
{
    if (inverse)
        Inverse<N>(x);
    else
        Forward<N>(x);
}

// Sizes other than the powers of two from 2 to 32768 are left alone.
void KernelTransform(Complex* buffer, int size, int inverse)
{
    if (!buffer) return;
    switch (size) {
    case 2: Transform<2>(buffer, inverse); break;
    case 4: Transform<4>(buffer, inverse); break;
    case 8: Transform<8>(buffer, inverse); break;
    case 16: Transform<16>(buffer, inverse); break;
    case 32: Transform<32>(buffer, inverse); break;
    case 64: Transform<64>(buffer, inverse); break;
    case 128: Transform<128>(buffer, inverse); break;
    case 256: Transform<256>(buffer, inverse); break;
    case 512: Transform<512>(buffer, inverse); break;
    case 1024: Transform<1024>(buffer, inverse); break;
    case 2048: Transform<2048>(buffer, inverse); break;
    case 4096: Transform<4096>(buffer, inverse); break;
    case 8192: Transform<8192>(buffer, inverse); break;
    case 16384: Transform<16384>(buffer, inverse); break;
    case 32768: Transform<32768>(buffer, inverse); break;
    default: break;
    }
}

void KernelWindowedForward(const double* in, const double* window, double limit, Complex* buffer, int size)
{
    if (!buffer || !in || !window) return;
    switch (size) {
    case 2: ForwardWindowed<2>(in, window, limit, buffer); break;
    case 4: ForwardWindowed<4>(in, window, limit, buffer); break;
    case 8: ForwardWindowed<8>(in, window, limit, buffer); break;
    case 16: ForwardWindowed<16>(in, window, limit, buffer); break;
    case 32: ForwardWindowed<32>(in, window, limit, buffer); break;
    case 64: ForwardWindowed<64>(in, window, limit, buffer); break;
    case 128: ForwardWindowed<128>(in, window, limit, buffer); break;
    case 256: ForwardWindowed<256>(in, window, limit, buffer); break;
    case 512: ForwardWindowed<512>(in, window, limit, buffer); break;
    case 1024: ForwardWindowed<1024>(in, window, limit, buffer); break;
    case 2048: ForwardWindowed<2048>(in, window, limit, buffer); break;
    case 4096: ForwardWindowed<4096>(in, window, limit, buffer); break;
    case 8192: ForwardWindowed<8192>(in, window, limit, buffer); break;
    case 16384: ForwardWindowed<16384>(in, window, limit, buffer); break;
    case 32768: ForwardWindowed<32768>(in, window, limit, buffer); break;
    default: break;
    }
}

} // namespace
