#include "dsp/Fft.h"

#include <cmath>

#include "dsp/FftTables.h"

Complex fftTwiddles[kFftTwiddleTotal];
double fftSqrtHalf;

namespace {

constexpr double kPi = 3.14159265358979323846;

// The entries for size N start at N - 16; entry j is the position of bin j.
constexpr int kOrderTableLength = 65520;
int orderTable[kOrderTableLength];
// The same for sizes 2, 4 and 8, starting at N - 2.
int smallOrderTable[2 + 4 + 8];

void FillTwiddles(int n)
{
    // The angle is k times the constant pi / (N/2), so every build computes the same table.
    const double step = kPi / (n / 2);
    Complex* table = fftTwiddles + FftTwiddleOffset(n);
    for (int k = 1; k <= FftTwiddleCount(n); ++k) {
        const double angle = static_cast<double>(k) * step;
        table[k - 1] = Complex{std::cos(angle), std::sin(angle)};
    }
}

void FillOrder(int* part, unsigned n)
{
    part[0] = 0;
    for (unsigned p = 1; p < n; ++p) part[n - FftOutputFrequency(p, n)] = static_cast<int>(p);
}

bool FillTables()
{
    for (int n = 16; n <= kFftMaxSize; n *= 2) FillTwiddles(n);
    fftSqrtHalf = fftTwiddles[FftTwiddleOffset(16) + 1].re;
    for (unsigned n = 16; n <= kFftMaxSize; n *= 2) FillOrder(orderTable + n - 16, n);
    for (unsigned n = 2; n < 16; n *= 2) FillOrder(smallOrderTable + n - 2, n);
    return true;
}

bool IsTransformSize(int size)
{
    return size >= kFftMinSize && size <= kFftMaxSize && (size & (size - 1)) == 0;
}

using Kernel = void (*)(Complex*, int, int);

Kernel ChooseKernel()
{
    return FftAvxAvailable() ? FftTransformAvx : FftTransformPortable;
}

} // namespace

#if defined(QUILLOGRAPH_FFT_AVX)
bool FftAvxAvailable()
{
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx");
}
#else
bool FftAvxAvailable()
{
    return false;
}

void FftTransformAvx(Complex* buffer, int size, int inverse)
{
    FftTransformPortable(buffer, size, inverse);
}
#endif

unsigned FftOutputFrequency(unsigned position, unsigned n)
{
    if (n <= 2) return position;
    const unsigned h = n / 2;
    if (position < h) return 2 * FftOutputFrequency(position, h);
    const unsigned q = n / 4;
    position -= h;
    if (position < q) return 4 * FftOutputFrequency(position, q) + 1;
    return (4 * FftOutputFrequency(position - q, q) - 1) & (n - 1);
}

void FftPrepareTables()
{
    // A function-local static is initialised exactly once, even when two instances are
    // created on two threads at the same time, and counts as done only once the tables
    // are full: no caller can see half-filled tables.
    static const bool prepared = FillTables();
    (void)prepared;
}

void FftTransform(Complex* buffer, int size, int inverse)
{
    static const Kernel kernel = ChooseKernel();
    kernel(buffer, size, inverse);
}

int FftBinPosition(int size, int bin)
{
    if (!IsTransformSize(size) || bin < 0 || bin >= size) return 0;
    if (size < 16) return smallOrderTable[size - 2 + bin];
    return orderTable[size - 16 + bin];
}
