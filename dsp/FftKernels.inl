// The transform routines, included by one source file per instruction set (and by a test); the
// compiler flags of that file choose the vector code. Everything here has internal
// linkage, so the builds for different instruction sets never mix.
//
// Every size has a routine of its own, so a transform is a fixed tree of calls: the
// forward routine makes its pass and then transforms the two odd quarters and the even
// half; the inverse goes the other way round. Sizes 4, 8 and 16 are straight-line code on
// values held in registers.
//
// One step of a pass works on a, b, c, d a quarter of the size apart. Forward: with
// t = a - c and u = b - d, a becomes a + c, b becomes b + d, c becomes (t + iu) w and d
// becomes (t - iu) conj(w). Inverse, with P = c conj(w) and Q = d w: a + (P + Q),
// b - i(P - Q), a - (P + Q), b + i(P - Q). For w = 1 the products are skipped.
//
// The scalar steps define the arithmetic. The vector steps do the same operations lane by
// lane in the same order (x + (-y) equals x - y exactly), so every build gives the same
// bits: the displays are compared pixel for pixel.

#include "dsp/FftTables.h"

// 0 scalar, 1 SSE2, 2 AVX. QUILLOGRAPH_FFT_SCALAR forces the scalar code, which the
// 32-bit build runs, so that it can be checked natively too.
#if defined(QUILLOGRAPH_FFT_SCALAR)
#define QUILLOGRAPH_FFT_VECTOR_LEVEL 0
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

template <int N>
inline const Complex* Twiddles()
{
    return fftTwiddles + FftTwiddleOffset(N);
}

struct ScalarTwiddle {
    double re, im;
};

inline void ForwardStep0(Complex& a, Complex& b, Complex& c, Complex& d)
{
    const double tr = a.re - c.re, ti = a.im - c.im;
    const double ur = b.re - d.re, ui = b.im - d.im;
    a = Complex{a.re + c.re, a.im + c.im};
    b = Complex{b.re + d.re, b.im + d.im};
    c = Complex{tr - ui, ti + ur};
    d = Complex{tr + ui, ti - ur};
}

inline void ForwardStep(Complex& a, Complex& b, Complex& c, Complex& d, ScalarTwiddle w)
{
    const double tr = a.re - c.re, ti = a.im - c.im;
    const double ur = b.re - d.re, ui = b.im - d.im;
    const double zr = tr - ui, zi = ti + ur;
    const double yr = tr + ui, yi = ti - ur;
    a = Complex{a.re + c.re, a.im + c.im};
    b = Complex{b.re + d.re, b.im + d.im};
    c = Complex{zr * w.re - zi * w.im, zr * w.im + zi * w.re};
    d = Complex{yr * w.re + yi * w.im, yi * w.re - yr * w.im};
}

inline void InverseStep0(Complex& a, Complex& b, Complex& c, Complex& d)
{
    const double sr = c.re + d.re, si = c.im + d.im;
    const double tr = c.re - d.re, ti = c.im - d.im;
    const Complex oldA = a, oldB = b;
    a = Complex{oldA.re + sr, oldA.im + si};
    c = Complex{oldA.re - sr, oldA.im - si};
    b = Complex{oldB.re + ti, oldB.im - tr};
    d = Complex{oldB.re - ti, oldB.im + tr};
}

inline void InverseStep(Complex& a, Complex& b, Complex& c, Complex& d, ScalarTwiddle w)
{
    const double pr = c.re * w.re + c.im * w.im, pi = c.im * w.re - c.re * w.im;
    const double qr = d.re * w.re - d.im * w.im, qi = d.re * w.im + d.im * w.re;
    const double sr = pr + qr, si = pi + qi;
    const double tr = pr - qr, ti = pi - qi;
    const Complex oldA = a, oldB = b;
    a = Complex{oldA.re + sr, oldA.im + si};
    c = Complex{oldA.re - sr, oldA.im - si};
    b = Complex{oldB.re + ti, oldB.im - tr};
    d = Complex{oldB.re - ti, oldB.im + tr};
}

inline void Butterfly(Complex& a, Complex& b)
{
    const Complex oldA = a;
    a = Complex{oldA.re + b.re, oldA.im + b.im};
    b = Complex{oldA.re - b.re, oldA.im - b.im};
}

#if QUILLOGRAPH_FFT_VECTOR_LEVEL >= 1

// One complex value per register: (re, im).
using Lane = __m128d;

inline Lane Load(const Complex* p) { return _mm_loadu_pd(&p->re); }
inline void Store(Complex* p, Lane v) { _mm_storeu_pd(&p->re, v); }
inline Lane NegateRe() { return _mm_set_pd(0.0, -0.0); }
inline Lane NegateIm() { return _mm_set_pd(-0.0, 0.0); }
inline Lane Swap(Lane v) { return _mm_shuffle_pd(v, v, 1); }

// w as (re, im) and with its parts exchanged.
struct LaneTwiddle {
    Lane w, swapped;
};

inline LaneTwiddle MakeTwiddle(double re, double im) { return LaneTwiddle{_mm_set_pd(im, re), _mm_set_pd(re, im)}; }

// z w = (zr wr - zi wi, zr wi + zi wr)
inline Lane Turn(Lane z, LaneTwiddle w)
{
    const Lane p = _mm_mul_pd(_mm_unpacklo_pd(z, z), w.w);
    const Lane q = _mm_mul_pd(_mm_unpackhi_pd(z, z), w.swapped);
    return _mm_add_pd(p, _mm_xor_pd(q, NegateRe()));
}

// y conj(w) = (yr wr + yi wi, yi wr - yr wi)
inline Lane TurnBack(Lane y, LaneTwiddle w)
{
    const Lane p = _mm_mul_pd(_mm_unpacklo_pd(y, y), w.w);
    const Lane q = _mm_mul_pd(_mm_unpackhi_pd(y, y), w.swapped);
    return _mm_add_pd(q, _mm_xor_pd(p, NegateIm()));
}

inline void ForwardStep0(Lane& a, Lane& b, Lane& c, Lane& d)
{
    const Lane t = _mm_sub_pd(a, c), u = _mm_sub_pd(b, d);
    const Lane iu = _mm_xor_pd(Swap(u), NegateRe());
    a = _mm_add_pd(a, c);
    b = _mm_add_pd(b, d);
    c = _mm_add_pd(t, iu);
    d = _mm_sub_pd(t, iu);
}

inline void ForwardStep(Lane& a, Lane& b, Lane& c, Lane& d, LaneTwiddle w)
{
    const Lane t = _mm_sub_pd(a, c), u = _mm_sub_pd(b, d);
    const Lane iu = _mm_xor_pd(Swap(u), NegateRe());
    a = _mm_add_pd(a, c);
    b = _mm_add_pd(b, d);
    c = Turn(_mm_add_pd(t, iu), w);
    d = TurnBack(_mm_sub_pd(t, iu), w);
}

inline void InverseSums(Lane& a, Lane& b, Lane& c, Lane& d, Lane p, Lane q)
{
    const Lane s = _mm_add_pd(p, q), t = _mm_sub_pd(p, q);
    const Lane minusIt = _mm_xor_pd(Swap(t), NegateIm()); // (ti, -tr) = -i t
    c = _mm_sub_pd(a, s);
    a = _mm_add_pd(a, s);
    d = _mm_sub_pd(b, minusIt);
    b = _mm_add_pd(b, minusIt);
}

inline void InverseStep0(Lane& a, Lane& b, Lane& c, Lane& d) { InverseSums(a, b, c, d, c, d); }

inline void InverseStep(Lane& a, Lane& b, Lane& c, Lane& d, LaneTwiddle w)
{
    InverseSums(a, b, c, d, TurnBack(c, w), Turn(d, w));
}

inline void Butterfly(Lane& a, Lane& b)
{
    const Lane oldA = a;
    a = _mm_add_pd(oldA, b);
    b = _mm_sub_pd(oldA, b);
}

// Steps k and k + 1 at once: the sums stay interleaved; the differences are regrouped with
// both real parts in one register and both imaginary parts in another, which saves the
// shuffles of the one-value form.
inline void ForwardStepPair(Complex* a, Complex* b, Complex* c, Complex* d, double wr0, double wi0, double wr1, double wi1)
{
    const Lane a0 = Load(a), a1 = Load(a + 1), b0 = Load(b), b1 = Load(b + 1);
    const Lane c0 = Load(c), c1 = Load(c + 1), d0 = Load(d), d1 = Load(d + 1);
    Store(a, _mm_add_pd(a0, c0));
    Store(a + 1, _mm_add_pd(a1, c1));
    Store(b, _mm_add_pd(b0, d0));
    Store(b + 1, _mm_add_pd(b1, d1));
    const Lane t0 = _mm_sub_pd(a0, c0), t1 = _mm_sub_pd(a1, c1);
    const Lane u0 = _mm_sub_pd(b0, d0), u1 = _mm_sub_pd(b1, d1);
    const Lane tr = _mm_unpacklo_pd(t0, t1), ti = _mm_unpackhi_pd(t0, t1);
    const Lane ur = _mm_unpacklo_pd(u0, u1), ui = _mm_unpackhi_pd(u0, u1);
    const Lane zr = _mm_sub_pd(tr, ui), zi = _mm_add_pd(ti, ur);
    const Lane yr = _mm_add_pd(tr, ui), yi = _mm_sub_pd(ti, ur);
    const Lane wr = _mm_set_pd(wr1, wr0), wi = _mm_set_pd(wi1, wi0);
    const Lane cr = _mm_sub_pd(_mm_mul_pd(zr, wr), _mm_mul_pd(zi, wi));
    const Lane ci = _mm_add_pd(_mm_mul_pd(zr, wi), _mm_mul_pd(zi, wr));
    const Lane dr = _mm_add_pd(_mm_mul_pd(yr, wr), _mm_mul_pd(yi, wi));
    const Lane di = _mm_sub_pd(_mm_mul_pd(yi, wr), _mm_mul_pd(yr, wi));
    Store(c, _mm_unpacklo_pd(cr, ci));
    Store(c + 1, _mm_unpackhi_pd(cr, ci));
    Store(d, _mm_unpacklo_pd(dr, di));
    Store(d + 1, _mm_unpackhi_pd(dr, di));
}

inline void InverseStepPair(Complex* a, Complex* b, Complex* c, Complex* d, double wr0, double wi0, double wr1, double wi1)
{
    const Lane c0 = Load(c), c1 = Load(c + 1), d0 = Load(d), d1 = Load(d + 1);
    const Lane cr = _mm_unpacklo_pd(c0, c1), ci = _mm_unpackhi_pd(c0, c1);
    const Lane dr = _mm_unpacklo_pd(d0, d1), di = _mm_unpackhi_pd(d0, d1);
    const Lane wr = _mm_set_pd(wr1, wr0), wi = _mm_set_pd(wi1, wi0);
    const Lane pr = _mm_add_pd(_mm_mul_pd(cr, wr), _mm_mul_pd(ci, wi));
    const Lane pi = _mm_sub_pd(_mm_mul_pd(ci, wr), _mm_mul_pd(cr, wi));
    const Lane qr = _mm_sub_pd(_mm_mul_pd(dr, wr), _mm_mul_pd(di, wi));
    const Lane qi = _mm_add_pd(_mm_mul_pd(dr, wi), _mm_mul_pd(di, wr));
    const Lane sr = _mm_add_pd(pr, qr), si = _mm_add_pd(pi, qi);
    const Lane tr = _mm_sub_pd(pr, qr), ti = _mm_sub_pd(pi, qi);
    const Lane s0 = _mm_unpacklo_pd(sr, si), s1 = _mm_unpackhi_pd(sr, si);
    const Lane minusIt0 = _mm_xor_pd(_mm_unpacklo_pd(ti, tr), NegateIm());
    const Lane minusIt1 = _mm_xor_pd(_mm_unpackhi_pd(ti, tr), NegateIm());
    const Lane a0 = Load(a), a1 = Load(a + 1), b0 = Load(b), b1 = Load(b + 1);
    Store(a, _mm_add_pd(a0, s0));
    Store(a + 1, _mm_add_pd(a1, s1));
    Store(c, _mm_sub_pd(a0, s0));
    Store(c + 1, _mm_sub_pd(a1, s1));
    Store(b, _mm_add_pd(b0, minusIt0));
    Store(b + 1, _mm_add_pd(b1, minusIt1));
    Store(d, _mm_sub_pd(b0, minusIt0));
    Store(d + 1, _mm_sub_pd(b1, minusIt1));
}

#else

using Lane = Complex;

inline Lane Load(const Complex* p) { return *p; }
inline void Store(Complex* p, Lane v) { *p = v; }
inline ScalarTwiddle MakeTwiddle(double re, double im) { return ScalarTwiddle{re, im}; }

inline void ForwardStepPair(Complex* a, Complex* b, Complex* c, Complex* d, double wr0, double wi0, double wr1, double wi1)
{
    ForwardStep(a[0], b[0], c[0], d[0], ScalarTwiddle{wr0, wi0});
    ForwardStep(a[1], b[1], c[1], d[1], ScalarTwiddle{wr1, wi1});
}

inline void InverseStepPair(Complex* a, Complex* b, Complex* c, Complex* d, double wr0, double wi0, double wr1, double wi1)
{
    InverseStep(a[0], b[0], c[0], d[0], ScalarTwiddle{wr0, wi0});
    InverseStep(a[1], b[1], c[1], d[1], ScalarTwiddle{wr1, wi1});
}

#endif

#if QUILLOGRAPH_FFT_VECTOR_LEVEL >= 2

constexpr bool kQuadSteps = true;

// Steps k to k + 3 at once, two complex values per register. The in-lane unpacks leave the
// four steps in the order k, k + 2, k + 1, k + 3; the twiddles are loaded the same way and
// the stores undo it.
using Wide = __m256d;

inline Wide LoadWide(const Complex* p) { return _mm256_loadu_pd(&p->re); }
inline void StoreWide(Complex* p, Wide v) { _mm256_storeu_pd(&p->re, v); }
inline Wide SwapHalves(Wide v) { return _mm256_permute2f128_pd(v, v, 1); }

struct WideTwiddles {
    Wide re, im;
};

// Table entries w[0 .. 3] for steps k .. k + 3.
inline WideTwiddles QuadTwiddles(const Complex* w)
{
    const Wide w01 = LoadWide(w), w23 = LoadWide(w + 2);
    return WideTwiddles{_mm256_unpacklo_pd(w01, w23), _mm256_unpackhi_pd(w01, w23)};
}

// Entries m[0], m[-1], m[-2], m[-3] with their parts exchanged, for steps k .. k + 3 past
// the eighth turn.
inline WideTwiddles MirroredQuadTwiddles(const Complex* m)
{
    const Wide m01 = SwapHalves(LoadWide(m - 1)), m23 = SwapHalves(LoadWide(m - 3));
    return WideTwiddles{_mm256_unpackhi_pd(m01, m23), _mm256_unpacklo_pd(m01, m23)};
}

inline void ForwardStepQuad(Complex* a, Complex* b, Complex* c, Complex* d, WideTwiddles w)
{
    const Wide a0 = LoadWide(a), a1 = LoadWide(a + 2), b0 = LoadWide(b), b1 = LoadWide(b + 2);
    const Wide c0 = LoadWide(c), c1 = LoadWide(c + 2), d0 = LoadWide(d), d1 = LoadWide(d + 2);
    StoreWide(a, _mm256_add_pd(a0, c0));
    StoreWide(a + 2, _mm256_add_pd(a1, c1));
    StoreWide(b, _mm256_add_pd(b0, d0));
    StoreWide(b + 2, _mm256_add_pd(b1, d1));
    const Wide t0 = _mm256_sub_pd(a0, c0), t1 = _mm256_sub_pd(a1, c1);
    const Wide u0 = _mm256_sub_pd(b0, d0), u1 = _mm256_sub_pd(b1, d1);
    const Wide tr = _mm256_unpacklo_pd(t0, t1), ti = _mm256_unpackhi_pd(t0, t1);
    const Wide ur = _mm256_unpacklo_pd(u0, u1), ui = _mm256_unpackhi_pd(u0, u1);
    const Wide zr = _mm256_sub_pd(tr, ui), zi = _mm256_add_pd(ti, ur);
    const Wide yr = _mm256_add_pd(tr, ui), yi = _mm256_sub_pd(ti, ur);
    const Wide cr = _mm256_sub_pd(_mm256_mul_pd(zr, w.re), _mm256_mul_pd(zi, w.im));
    const Wide ci = _mm256_add_pd(_mm256_mul_pd(zr, w.im), _mm256_mul_pd(zi, w.re));
    const Wide dr = _mm256_add_pd(_mm256_mul_pd(yr, w.re), _mm256_mul_pd(yi, w.im));
    const Wide di = _mm256_sub_pd(_mm256_mul_pd(yi, w.re), _mm256_mul_pd(yr, w.im));
    StoreWide(c, _mm256_unpacklo_pd(cr, ci));
    StoreWide(c + 2, _mm256_unpackhi_pd(cr, ci));
    StoreWide(d, _mm256_unpacklo_pd(dr, di));
    StoreWide(d + 2, _mm256_unpackhi_pd(dr, di));
}

inline void InverseStepQuad(Complex* a, Complex* b, Complex* c, Complex* d, WideTwiddles w)
{
    const Wide c0 = LoadWide(c), c1 = LoadWide(c + 2), d0 = LoadWide(d), d1 = LoadWide(d + 2);
    const Wide cr = _mm256_unpacklo_pd(c0, c1), ci = _mm256_unpackhi_pd(c0, c1);
    const Wide dr = _mm256_unpacklo_pd(d0, d1), di = _mm256_unpackhi_pd(d0, d1);
    const Wide pr = _mm256_add_pd(_mm256_mul_pd(cr, w.re), _mm256_mul_pd(ci, w.im));
    const Wide pi = _mm256_sub_pd(_mm256_mul_pd(ci, w.re), _mm256_mul_pd(cr, w.im));
    const Wide qr = _mm256_sub_pd(_mm256_mul_pd(dr, w.re), _mm256_mul_pd(di, w.im));
    const Wide qi = _mm256_add_pd(_mm256_mul_pd(dr, w.im), _mm256_mul_pd(di, w.re));
    const Wide sr = _mm256_add_pd(pr, qr), si = _mm256_add_pd(pi, qi);
    const Wide tr = _mm256_sub_pd(pr, qr), ti = _mm256_sub_pd(pi, qi);
    const Wide s0 = _mm256_unpacklo_pd(sr, si), s1 = _mm256_unpackhi_pd(sr, si);
    const Wide negateIm = _mm256_set_pd(-0.0, 0.0, -0.0, 0.0);
    const Wide minusIt0 = _mm256_xor_pd(_mm256_unpacklo_pd(ti, tr), negateIm);
    const Wide minusIt1 = _mm256_xor_pd(_mm256_unpackhi_pd(ti, tr), negateIm);
    const Wide a0 = LoadWide(a), a1 = LoadWide(a + 2), b0 = LoadWide(b), b1 = LoadWide(b + 2);
    StoreWide(a, _mm256_add_pd(a0, s0));
    StoreWide(a + 2, _mm256_add_pd(a1, s1));
    StoreWide(c, _mm256_sub_pd(a0, s0));
    StoreWide(c + 2, _mm256_sub_pd(a1, s1));
    StoreWide(b, _mm256_add_pd(b0, minusIt0));
    StoreWide(b + 2, _mm256_add_pd(b1, minusIt1));
    StoreWide(d, _mm256_sub_pd(b0, minusIt0));
    StoreWide(d + 2, _mm256_sub_pd(b1, minusIt1));
}

#else

constexpr bool kQuadSteps = false;

struct WideTwiddles {};
inline WideTwiddles QuadTwiddles(const Complex*) { return WideTwiddles{}; }
inline WideTwiddles MirroredQuadTwiddles(const Complex*) { return WideTwiddles{}; }
inline void ForwardStepQuad(Complex*, Complex*, Complex*, Complex*, WideTwiddles) {}
inline void InverseStepQuad(Complex*, Complex*, Complex*, Complex*, WideTwiddles) {}

#endif

// ---- Straight-line transforms of 4, 8 and 16 values held in registers ----
// Their twiddles: sqrt(1/2) at k = N/8; for 16 points, k = 1 is the table's first entry
// and k = 3 the same pair with its parts exchanged.

inline void Forward4(Lane& x0, Lane& x1, Lane& x2, Lane& x3)
{
    ForwardStep0(x0, x1, x2, x3);
    Butterfly(x0, x1);
}

inline void Forward8(Lane* x)
{
    const auto h = MakeTwiddle(fftSqrtHalf, fftSqrtHalf);
    ForwardStep0(x[0], x[2], x[4], x[6]);
    ForwardStep(x[1], x[3], x[5], x[7], h);
    Butterfly(x[6], x[7]);
    Butterfly(x[4], x[5]);
    Forward4(x[0], x[1], x[2], x[3]);
}

inline void Forward16(Lane* x)
{
    const Complex& first = Twiddles<16>()[0];
    ForwardStep0(x[0], x[4], x[8], x[12]);
    ForwardStep(x[1], x[5], x[9], x[13], MakeTwiddle(first.re, first.im));
    ForwardStep(x[2], x[6], x[10], x[14], MakeTwiddle(fftSqrtHalf, fftSqrtHalf));
    ForwardStep(x[3], x[7], x[11], x[15], MakeTwiddle(first.im, first.re));
    Forward4(x[12], x[13], x[14], x[15]);
    Forward4(x[8], x[9], x[10], x[11]);
    Forward8(x);
}

inline void Inverse4(Lane& x0, Lane& x1, Lane& x2, Lane& x3)
{
    Butterfly(x0, x1);
    InverseStep0(x0, x1, x2, x3);
}

inline void Inverse8(Lane* x)
{
    const auto h = MakeTwiddle(fftSqrtHalf, fftSqrtHalf);
    Inverse4(x[0], x[1], x[2], x[3]);
    Butterfly(x[4], x[5]);
    Butterfly(x[6], x[7]);
    InverseStep0(x[0], x[2], x[4], x[6]);
    InverseStep(x[1], x[3], x[5], x[7], h);
}

inline void Inverse16(Lane* x)
{
    const Complex& first = Twiddles<16>()[0];
    Inverse8(x);
    Inverse4(x[8], x[9], x[10], x[11]);
    Inverse4(x[12], x[13], x[14], x[15]);
    InverseStep0(x[0], x[4], x[8], x[12]);
    InverseStep(x[1], x[5], x[9], x[13], MakeTwiddle(first.re, first.im));
    InverseStep(x[2], x[6], x[10], x[14], MakeTwiddle(fftSqrtHalf, fftSqrtHalf));
    InverseStep(x[3], x[7], x[11], x[15], MakeTwiddle(first.im, first.re));
}

template <int N, typename Kernel>
inline void InRegisters(Complex* x, Kernel kernel)
{
    Lane v[N];
    for (int i = 0; i < N; ++i) v[i] = Load(x + i);
    kernel(v);
    for (int i = 0; i < N; ++i) Store(x + i, v[i]);
}

// The steps k = 1 .. N/4 - 1 of the pass of size N (the caller makes step 0). Past the
// eighth turn, cos 2pi k/N = sin 2pi (N/4 - k)/N: from 1024 points on the table is read
// backwards with its parts exchanged, and k = N/8 takes sqrt(1/2).
template <int N, typename Single, typename Pair, typename Quad>
inline void Pass(Complex* x, Single single, Pair pair, Quad quad)
{
    constexpr int q = N / 4;
    constexpr int direct = N <= 512 ? q : N / 8;
    const Complex* w = Twiddles<N>();
    single(x + 1, w[0].re, w[0].im);
    int k = 2;
    if constexpr (kQuadSteps)
        for (; k + 4 <= direct; k += 4) quad(x + k, QuadTwiddles(w + k - 1));
    for (; k < direct; k += 2) pair(x + k, w[k - 1].re, w[k - 1].im, w[k].re, w[k].im);
    if constexpr (N > 512) {
        constexpr int e = N / 8;
        single(x + e, fftSqrtHalf, fftSqrtHalf);
        k = e + 1;
        if constexpr (kQuadSteps)
            for (; k + 4 <= q - 1; k += 4) quad(x + k, MirroredQuadTwiddles(w + (q - k - 1)));
        for (; k < q - 1; k += 2) {
            const Complex* m = w + (q - k - 1);
            pair(x + k, m[0].im, m[0].re, m[-1].im, m[-1].re);
        }
        single(x + q - 1, w[0].im, w[0].re);
    }
}

template <int N>
void Forward(Complex* x);
template <int N>
void Inverse(Complex* x);

template <>
inline void Forward<1>(Complex*)
{
}

template <>
inline void Forward<2>(Complex* x)
{
    Butterfly(x[0], x[1]);
}

template <>
inline void Forward<4>(Complex* x)
{
    InRegisters<4>(x, [](Lane* v) { Forward4(v[0], v[1], v[2], v[3]); });
}

template <>
inline void Forward<8>(Complex* x)
{
    InRegisters<8>(x, Forward8);
}

template <>
inline void Forward<16>(Complex* x)
{
    InRegisters<16>(x, Forward16);
}

template <int N>
void Forward(Complex* x)
{
    constexpr int q = N / 4;
    ForwardStep0(x[0], x[q], x[2 * q], x[3 * q]);
    Pass<N>(
        x,
        [](Complex* a, double wr, double wi) { ForwardStep(a[0], a[q], a[2 * q], a[3 * q], ScalarTwiddle{wr, wi}); },
        [](Complex* a, double wr0, double wi0, double wr1, double wi1) {
            ForwardStepPair(a, a + q, a + 2 * q, a + 3 * q, wr0, wi0, wr1, wi1);
        },
        [](Complex* a, WideTwiddles w) { ForwardStepQuad(a, a + q, a + 2 * q, a + 3 * q, w); });
    Forward<q>(x + 3 * q);
    Forward<q>(x + 2 * q);
    Forward<N / 2>(x);
}

template <>
inline void Inverse<1>(Complex*)
{
}

template <>
inline void Inverse<2>(Complex* x)
{
    Butterfly(x[0], x[1]);
}

template <>
inline void Inverse<4>(Complex* x)
{
    InRegisters<4>(x, [](Lane* v) { Inverse4(v[0], v[1], v[2], v[3]); });
}

template <>
inline void Inverse<8>(Complex* x)
{
    InRegisters<8>(x, Inverse8);
}

template <>
inline void Inverse<16>(Complex* x)
{
    InRegisters<16>(x, Inverse16);
}

template <int N>
void Inverse(Complex* x)
{
    constexpr int q = N / 4;
    Inverse<N / 2>(x);
    Inverse<q>(x + 2 * q);
    Inverse<q>(x + 3 * q);
    InverseStep0(x[0], x[q], x[2 * q], x[3 * q]);
    Pass<N>(
        x,
        [](Complex* a, double wr, double wi) { InverseStep(a[0], a[q], a[2 * q], a[3 * q], ScalarTwiddle{wr, wi}); },
        [](Complex* a, double wr0, double wi0, double wr1, double wi1) {
            InverseStepPair(a, a + q, a + 2 * q, a + 3 * q, wr0, wi0, wr1, wi1);
        },
        [](Complex* a, WideTwiddles w) { InverseStepQuad(a, a + q, a + 2 * q, a + 3 * q, w); });
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

} // namespace
