#include "dsp/Fft.h"
#include "dsp/FftTables.h"

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <cstdio>
#include <cstring>
#include <limits>
#include <random>
#include <vector>

// The scalar build of the kernels (what the 32-bit plug-in runs), compiled into this test.
void ScalarKernelTransform(Complex* buffer, int size, int inverse);
void ScalarKernelWindowedForward(const double* in, const double* window, double limit, Complex* buffer, int size);

namespace {

using LongComplex = std::complex<long double>;

const long double kLongPi = 3.141592653589793238462643383279502884L;
const double kEpsilon = std::numeric_limits<double>::epsilon();

class FftTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { FftPrepareTables(); }
};

std::vector<int> AllSizes()
{
    std::vector<int> sizes;
    for (int n = kFftMinSize; n <= kFftMaxSize; n *= 2) sizes.push_back(n);
    return sizes;
}

int Log2(int n)
{
    int bits = 0;
    while ((1 << bits) < n) ++bits;
    return bits;
}

std::vector<Complex> RandomSignal(int n, unsigned seed)
{
    std::mt19937 random(seed);
    std::uniform_real_distribution<double> uniform(-1.0, 1.0);
    std::vector<Complex> x(static_cast<size_t>(n));
    for (Complex& value : x) value = Complex{uniform(random), uniform(random)};
    return x;
}

double Norm(const std::vector<Complex>& x)
{
    long double sum = 0;
    for (const Complex& value : x) sum += (long double)value.re * value.re + (long double)value.im * value.im;
    return static_cast<double>(std::sqrt(sum));
}

// exp(-2 pi i m / n) for m = 0 .. n - 1, in long double.
std::vector<LongComplex> RootsOfUnity(int n)
{
    std::vector<LongComplex> roots(static_cast<size_t>(n));
    for (int m = 0; m < n; ++m) {
        const long double angle = -2.0L * kLongPi * m / n;
        roots[static_cast<size_t>(m)] = LongComplex(std::cos(angle), std::sin(angle));
    }
    return roots;
}

// X_j = sum_k x_k exp(-2 pi i j k / n), summed directly in long double.
LongComplex DftBin(const std::vector<Complex>& x, const std::vector<LongComplex>& roots, int j)
{
    const long long n = static_cast<long long>(x.size());
    LongComplex sum = 0;
    for (long long k = 0; k < n; ++k)
        sum += LongComplex(x[static_cast<size_t>(k)].re, x[static_cast<size_t>(k)].im) * roots[static_cast<size_t>(j * k % n)];
    return sum;
}

// Recursive radix-2 transform in long double: its own error (about log2 N long-double
// epsilons) is two orders and more below the double error being measured, and the direct sums
// check it bin by bin.
void LongDoubleFft(LongComplex* x, int n, int stride, const std::vector<LongComplex>& roots, LongComplex* scratch)
{
    if (n == 1) return;
    const int half = n / 2;
    for (int k = 0; k < half; ++k) {
        scratch[k] = x[2 * k];
        scratch[k + half] = x[2 * k + 1];
    }
    std::copy(scratch, scratch + n, x);
    LongDoubleFft(x, half, stride * 2, roots, scratch);
    LongDoubleFft(x + half, half, stride * 2, roots, scratch);
    for (int k = 0; k < half; ++k) {
        const LongComplex even = x[k];
        const LongComplex odd = x[k + half] * roots[static_cast<size_t>(k * stride)];
        x[k] = even + odd;
        x[k + half] = even - odd;
    }
}

// Where bin j lies: through the order table from 16 points on, through the output-order
// rule below (there is no table for those sizes).
int PositionOfBin(int n, int j)
{
    if (n >= 16) return FftBinPosition(n, j);
    for (int p = 0; p < n; ++p)
        if ((static_cast<unsigned>(n) - FftOutputFrequency(static_cast<unsigned>(p), static_cast<unsigned>(n))) % static_cast<unsigned>(n) == static_cast<unsigned>(j))
            return p;
    return -1;
}

double Distance(const Complex& a, const LongComplex& b)
{
    return static_cast<double>(std::abs(LongComplex(a.re, a.im) - b));
}

TEST_F(FftTest, ForwardMatchesLongDoubleDftAtEverySize)
{
    // The bound: the largest bin error within a small multiple of log2(N) double epsilons
    // times the input's norm. Up to 4096 points every bin is summed directly; above, every
    // bin is compared with the long-double FFT and 64 bins with direct sums.
    const double kBound = 1.0;
    struct Range { int from, to; double worstAbsolute, worstRatio; };
    std::vector<Range> ranges = {{2, 16, 0, 0}, {32, 512, 0, 0}, {1024, 4096, 0, 0}, {8192, 32768, 0, 0}};
    std::mt19937 pick(7);
    for (int n : AllSizes()) {
        const std::vector<Complex> x = RandomSignal(n, static_cast<unsigned>(n));
        std::vector<Complex> y = x;
        FftTransform(y.data(), n, 0);
        const std::vector<LongComplex> roots = RootsOfUnity(n);
        const double scale = Log2(n) * kEpsilon * Norm(x);

        std::vector<LongComplex> reference(static_cast<size_t>(n));
        if (n <= 4096) {
            for (int j = 0; j < n; ++j) reference[static_cast<size_t>(j)] = DftBin(x, roots, j);
        } else {
            std::vector<LongComplex> scratch(static_cast<size_t>(n));
            for (int k = 0; k < n; ++k) reference[static_cast<size_t>(k)] = LongComplex(x[static_cast<size_t>(k)].re, x[static_cast<size_t>(k)].im);
            LongDoubleFft(reference.data(), n, 1, roots, scratch.data());
            for (int sample = 0; sample < 64; ++sample) {
                const int j = sample < 4 ? (sample * n / 4 + (sample & 1)) : static_cast<int>(pick() % static_cast<unsigned>(n));
                const LongComplex direct = DftBin(x, roots, j);
                EXPECT_LT(static_cast<double>(std::abs(direct - reference[static_cast<size_t>(j)])), 1e-2 * scale) << "reference FFT, N " << n << " bin " << j;
                EXPECT_LE(Distance(y[static_cast<size_t>(FftBinPosition(n, j))], direct), kBound * scale) << "N " << n << " bin " << j;
            }
        }
        double worst = 0;
        for (int j = 0; j < n; ++j) {
            const int p = PositionOfBin(n, j);
            ASSERT_GE(p, 0);
            const double error = Distance(y[static_cast<size_t>(p)], reference[static_cast<size_t>(j)]);
            if (error > worst) worst = error;
        }
        EXPECT_LE(worst, kBound * scale) << "N " << n;
        for (Range& range : ranges) {
            if (n < range.from || n > range.to) continue;
            if (worst > range.worstAbsolute) range.worstAbsolute = worst;
            if (worst / scale > range.worstRatio) range.worstRatio = worst / scale;
        }
    }
    for (const Range& range : ranges)
        std::printf("N %5d..%5d: worst bin error %.3g, %.3f x log2(N) eps |x|\n", range.from, range.to, range.worstAbsolute, range.worstRatio);
}

TEST_F(FftTest, ForwardThenInverseGivesInputTimesSize)
{
    for (int n : AllSizes()) {
        const std::vector<Complex> x = RandomSignal(n, static_cast<unsigned>(n) + 1);
        std::vector<Complex> y = x;
        FftTransform(y.data(), n, 0);
        FftTransform(y.data(), n, 1);
        // The round trip's error grows like the forward one, times the sqrt(N) gain of the
        // inverse.
        const double bound = 2.0 * Log2(n) * kEpsilon * std::sqrt(static_cast<double>(n)) * Norm(x);
        double worst = 0;
        for (int k = 0; k < n; ++k) {
            const double dr = y[static_cast<size_t>(k)].re - n * x[static_cast<size_t>(k)].re;
            const double di = y[static_cast<size_t>(k)].im - n * x[static_cast<size_t>(k)].im;
            worst = std::max(worst, std::hypot(dr, di));
        }
        EXPECT_LE(worst, bound) << "N " << n;
    }
}

TEST_F(FftTest, OutputOrderAndOrderTableMatchTheListings)
{
    const std::vector<std::vector<unsigned>> listings = {
        {0, 2, 1, 3},
        {0, 4, 2, 6, 1, 5, 7, 3},
        {0, 8, 4, 12, 2, 10, 14, 6, 1, 9, 5, 13, 15, 7, 3, 11},
    };
    for (const std::vector<unsigned>& listing : listings) {
        const int n = static_cast<int>(listing.size());
        for (int p = 0; p < n; ++p) EXPECT_EQ(FftOutputFrequency(static_cast<unsigned>(p), static_cast<unsigned>(n)), listing[static_cast<size_t>(p)]);
        // exp(-2 pi i f k / N) transforms to N at the position holding frequency f, 0 elsewhere.
        for (int f = 0; f < n; ++f) {
            std::vector<Complex> x(static_cast<size_t>(n));
            for (int k = 0; k < n; ++k) {
                const double angle = -2.0 * 3.14159265358979323846 * f * k / n;
                x[static_cast<size_t>(k)] = Complex{std::cos(angle), std::sin(angle)};
            }
            FftTransform(x.data(), n, 0);
            for (int p = 0; p < n; ++p) {
                const double expected = listing[static_cast<size_t>(p)] == static_cast<unsigned>(f) ? n : 0.0;
                EXPECT_NEAR(x[static_cast<size_t>(p)].re, expected, 1e-13) << "N " << n << " f " << f << " p " << p;
                EXPECT_NEAR(x[static_cast<size_t>(p)].im, 0.0, 1e-13) << "N " << n << " f " << f << " p " << p;
            }
        }
    }
    const int order16[] = {0, 12, 6, 11, 3, 15, 5, 9, 1, 13, 7, 10, 2, 14, 4, 8};
    for (int j = 0; j < 16; ++j) EXPECT_EQ(FftBinPosition(16, j), order16[j]);
    // Small sizes answer through the same rule.
    for (int n = 2; n < 16; n *= 2)
        for (int j = 0; j < n; ++j) EXPECT_EQ(FftBinPosition(n, j), PositionOfBin(n, j));
}

TEST_F(FftTest, OrderTableIsAPermutationForEverySize)
{
    for (int n = 16; n <= kFftMaxSize; n *= 2) {
        std::vector<bool> seen(static_cast<size_t>(n), false);
        for (int j = 0; j < n; ++j) {
            const int p = FftBinPosition(n, j);
            ASSERT_TRUE(p >= 0 && p < n && !seen[static_cast<size_t>(p)]) << "N " << n << " bin " << j;
            seen[static_cast<size_t>(p)] = true;
        }
    }
}

TEST_F(FftTest, BinPositionOutsideTheTablesIsZero)
{
    EXPECT_EQ(FftBinPosition(16, -1), 0);
    EXPECT_EQ(FftBinPosition(16, 16), 0);
    EXPECT_EQ(FftBinPosition(1000, 5), 0);
    EXPECT_EQ(FftBinPosition(65536, 70000), 0);
    EXPECT_EQ(FftBinPosition(0, 0), 0);
    EXPECT_EQ(FftBinPosition(-16, 3), 0);
}

TEST_F(FftTest, UnsupportedSizesLeaveTheBufferUntouched)
{
    const std::vector<Complex> original = RandomSignal(65536 + 16, 99);
    for (int size : {0, 1, 3, 1000, 65536, -8, 32767, std::numeric_limits<int>::min()}) {
        for (int inverse : {0, 1}) {
            std::vector<Complex> x = original;
            FftTransform(x.data(), size, inverse);
            EXPECT_EQ(std::memcmp(x.data(), original.data(), sizeof(Complex) * x.size()), 0) << "size " << size;
        }
    }
    FftTransform(nullptr, 1024, 0);
    FftTransform(nullptr, 1024, 1);
}

TEST_F(FftTest, PreparingAgainChangesNothing)
{
    std::vector<std::vector<Complex>> before;
    std::vector<int> positions;
    for (int n : AllSizes()) {
        std::vector<Complex> x = RandomSignal(n, 5);
        FftTransform(x.data(), n, 0);
        before.push_back(x);
        for (int j = 0; j < n; ++j) positions.push_back(FftBinPosition(n, j));
    }
    FftPrepareTables();
    size_t i = 0, position = 0;
    for (int n : AllSizes()) {
        std::vector<Complex> x = RandomSignal(n, 5);
        FftTransform(x.data(), n, 0);
        EXPECT_EQ(std::memcmp(x.data(), before[i++].data(), sizeof(Complex) * x.size()), 0) << "N " << n;
        for (int j = 0; j < n; ++j) ASSERT_EQ(FftBinPosition(n, j), positions[position++]);
    }
}

// A plain, loop-only transcription of the split-radix recursion, with its twiddles taken
// from cos and sin exactly as the tables are built. The optimised routines (unrolled small
// sizes, mirrored tables, vector code) must agree with it bit for bit: the displays are
// compared pixel for pixel, so "close" is not enough.
struct PlainSplitRadix {
    std::vector<std::vector<Complex>> tables; // index log2(N), entry k - 1 = exp(2 pi i k / N)
    double sqrtHalf = 0;

    PlainSplitRadix() : tables(16)
    {
        for (int n = 16; n <= kFftMaxSize; n *= 2) {
            const double step = 3.14159265358979323846 / (n / 2);
            const int count = n <= 512 ? n / 4 - 1 : n / 8 - 1;
            for (int k = 1; k <= count; ++k) tables[static_cast<size_t>(Log2(n))].push_back(Complex{std::cos(k * step), std::sin(k * step)});
        }
        sqrtHalf = tables[4][1].re;
    }

    Complex Twiddle(int n, int k) const
    {
        const std::vector<Complex>& table = n >= 16 ? tables[static_cast<size_t>(Log2(n))] : tables[4];
        if (n == 8) return Complex{sqrtHalf, sqrtHalf};
        if (n == 16) {
            if (k == 2) return Complex{sqrtHalf, sqrtHalf};
            return k == 1 ? table[0] : Complex{table[0].im, table[0].re};
        }
        if (n <= 512 || k < n / 8) return table[static_cast<size_t>(k - 1)];
        if (k == n / 8) return Complex{sqrtHalf, sqrtHalf};
        const Complex& mirrored = table[static_cast<size_t>(n / 4 - k - 1)];
        return Complex{mirrored.im, mirrored.re};
    }

    void Forward(Complex* x, int n) const
    {
        if (n < 2) return;
        if (n == 2) {
            const Complex a = x[0], b = x[1];
            x[0] = Complex{a.re + b.re, a.im + b.im};
            x[1] = Complex{a.re - b.re, a.im - b.im};
            return;
        }
        const int q = n / 4;
        for (int k = 0; k < q; ++k) {
            const Complex a = x[k], b = x[k + q], c = x[k + 2 * q], d = x[k + 3 * q];
            const Complex t{a.re - c.re, a.im - c.im}, u{b.re - d.re, b.im - d.im};
            const Complex z{t.re - u.im, t.im + u.re}, y{t.re + u.im, t.im - u.re};
            x[k] = Complex{a.re + c.re, a.im + c.im};
            x[k + q] = Complex{b.re + d.re, b.im + d.im};
            if (k == 0) {
                x[k + 2 * q] = z;
                x[k + 3 * q] = y;
            } else {
                const Complex w = Twiddle(n, k);
                x[k + 2 * q] = Complex{z.re * w.re - z.im * w.im, z.re * w.im + z.im * w.re};
                x[k + 3 * q] = Complex{y.re * w.re + y.im * w.im, y.im * w.re - y.re * w.im};
            }
        }
        Forward(x + 3 * q, q);
        Forward(x + 2 * q, q);
        Forward(x, n / 2);
    }

    void Inverse(Complex* x, int n) const
    {
        if (n < 2) return;
        if (n == 2) {
            Forward(x, 2);
            return;
        }
        const int q = n / 4;
        Inverse(x, n / 2);
        Inverse(x + 2 * q, q);
        Inverse(x + 3 * q, q);
        for (int k = 0; k < q; ++k) {
            const Complex a = x[k], b = x[k + q], c = x[k + 2 * q], d = x[k + 3 * q];
            Complex p = c, r = d;
            if (k > 0) {
                const Complex w = Twiddle(n, k);
                p = Complex{c.re * w.re + c.im * w.im, c.im * w.re - c.re * w.im};
                r = Complex{d.re * w.re - d.im * w.im, d.re * w.im + d.im * w.re};
            }
            const Complex s{p.re + r.re, p.im + r.im}, t{p.re - r.re, p.im - r.im};
            x[k] = Complex{a.re + s.re, a.im + s.im};
            x[k + 2 * q] = Complex{a.re - s.re, a.im - s.im};
            x[k + q] = Complex{b.re + t.im, b.im - t.re};
            x[k + 3 * q] = Complex{b.re - t.im, b.im + t.re};
        }
    }
};

// Values of very different sizes, so that roundings matter everywhere; or zeros of random
// signs, whose signs after every step must match too.
std::vector<Complex> BitTestSignal(int n, unsigned seed, bool zeros)
{
    std::vector<Complex> x = RandomSignal(n, seed);
    for (size_t k = 0; k < x.size(); ++k) {
        if (zeros)
            x[k] = Complex{std::copysign(0.0, x[k].re), std::copysign(0.0, x[k].im)};
        else if (k % 3 == 0)
            x[k].re *= 1e6;
    }
    return x;
}

TEST_F(FftTest, ScalarKernelAgreesBitForBitWithThePlainRecursion)
{
    const PlainSplitRadix plain;
    for (int n : AllSizes()) {
        for (int inverse : {0, 1}) {
            for (bool zeros : {false, true}) {
                const std::vector<Complex> x = BitTestSignal(n, static_cast<unsigned>(3 * n + inverse), zeros);
                std::vector<Complex> expected = x, ours = x;
                if (inverse)
                    plain.Inverse(expected.data(), n);
                else
                    plain.Forward(expected.data(), n);
                ScalarKernelTransform(ours.data(), n, inverse);
                EXPECT_EQ(std::memcmp(ours.data(), expected.data(), sizeof(Complex) * x.size()), 0)
                    << "N " << n << " inverse " << inverse << " zeros " << zeros;
            }
        }
    }
}

// Every build the processor can run, and the one FftTransform picks, against the scalar
// kernel: the pictures must not depend on the processor.
TEST_F(FftTest, EveryKernelAgreesBitForBitWithTheScalarKernel)
{
    struct Build {
        const char* name;
        FftKernel transform;
    };
    std::vector<Build> builds = {{"selected", FftTransform}};
    for (int set = 0; set < kFftInstructionSetCount; ++set) {
        if (FftKernelFor(set))
            builds.push_back({FftInstructionSetName(set), FftKernelFor(set)});
        else
            std::printf("FFT kernel %s: not built for or not supported by this machine, skipped\n", FftInstructionSetName(set));
    }
    for (int n : AllSizes()) {
        for (int inverse : {0, 1}) {
            for (bool zeros : {false, true}) {
                const std::vector<Complex> x = BitTestSignal(n, static_cast<unsigned>(5 * n + 2 * inverse), zeros);
                std::vector<Complex> expected = x;
                ScalarKernelTransform(expected.data(), n, inverse);
                for (const Build& build : builds) {
                    std::vector<Complex> ours = x;
                    build.transform(ours.data(), n, inverse);
                    EXPECT_EQ(std::memcmp(ours.data(), expected.data(), sizeof(Complex) * x.size()), 0)
                        << build.name << " N " << n << " inverse " << inverse << " zeros " << zeros;
                }
            }
        }
    }
}

// The windowed transform of every build against windowing written out one sample at a time
// and the scalar transform, with the samples that are held, taken as 0 or keep a sign.
TEST_F(FftTest, WindowedTransformAgreesBitForBitWithWindowingThenTransforming)
{
    const double inf = std::numeric_limits<double>::infinity(), nan = std::numeric_limits<double>::quiet_NaN();
    const double special[] = {nan, inf, -inf, 1e300, -1e300, 1e100, -1e100, -0.0, 4.9e-324, 0.75};
    const double limit = 1e100;
    std::vector<std::pair<const char*, FftWindowedKernel>> builds = {{"selected", FftTransformWindowed},
                                                                     {"scalar", ScalarKernelWindowedForward}};
    for (int set = 0; set < kFftInstructionSetCount; ++set)
        if (FftWindowedKernelFor(set)) builds.push_back({FftInstructionSetName(set), FftWindowedKernelFor(set)});
    for (int n : AllSizes()) {
        std::vector<double> in(n), window(n);
        std::vector<Complex> expected(n);
        for (int i = 0; i < n; ++i) {
            in[i] = i % 3 == 0 ? special[i / 3 % 10] : std::sin(i * 0.37) * (i % 5);
            window[i] = i % 7 == 0 ? -0.0 : 0.5 - 0.6 * std::cos(i * 0.01);
            const double held = std::isnan(in[i]) ? 0.0 : std::fmax(-limit, std::fmin(limit, in[i]));
            expected[i] = Complex{held * window[i], 0.0};
        }
        ScalarKernelTransform(expected.data(), n, 0);
        for (const auto& [name, transform] : builds) {
            std::vector<Complex> ours(n, Complex{nan, nan});
            transform(in.data(), window.data(), limit, ours.data(), n);
            EXPECT_EQ(std::memcmp(ours.data(), expected.data(), sizeof(Complex) * n), 0) << name << " N " << n;
        }
    }
}

} // namespace
