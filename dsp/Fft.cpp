#include "dsp/Fft.h"

#include <cmath>

#include "dsp/FftTables.h"

#if defined(QUILLOGRAPH_FFT_X86_KERNELS)
#include <cpuid.h>
#endif

Complex fftTwiddles[kFftTwiddleTotal];
double fftSqrtHalf;
Complex fftStepCosines[kFftStepTwiddleTotal];
Complex fftStepSines[kFftStepTwiddleTotal];

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

// The twiddle of step k of the pass of size n, read from the tables.
Complex StepTwiddle(int n, int k)
{
    if (k == 0) return Complex{1.0, 0.0};
    if (n == 8 || (k == n / 8 && (n == 16 || n >= 1024))) return Complex{fftSqrtHalf, fftSqrtHalf};
    const Complex* table = fftTwiddles + FftTwiddleOffset(n);
    if (n == 16) return k == 1 ? table[0] : Complex{table[0].im, table[0].re};
    if (n <= 512 || k < n / 8) return table[k - 1];
    const Complex& mirrored = table[n / 4 - k - 1];
    return Complex{mirrored.im, mirrored.re};
}

void FillStepTwiddles(int n)
{
    for (int k = 0; k < n / 4; ++k) {
        const Complex w = StepTwiddle(n, k);
        fftStepCosines[FftStepTwiddleOffset(n) + k] = Complex{w.re, w.re};
        fftStepSines[FftStepTwiddleOffset(n) + k] = Complex{-w.im, w.im};
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
    for (int n = 4; n <= kFftMaxSize; n *= 2) FillStepTwiddles(n);
    for (unsigned n = 16; n <= kFftMaxSize; n *= 2) FillOrder(orderTable + n - 16, n);
    for (unsigned n = 2; n < 16; n *= 2) FillOrder(smallOrderTable + n - 2, n);
    return true;
}

bool IsTransformSize(int size)
{
    return size >= kFftMinSize && size <= kFftMaxSize && (size & (size - 1)) == 0;
}

#if defined(QUILLOGRAPH_FFT_X86_KERNELS)
const FftKernel kernels[kFftInstructionSetCount] = {FftTransformPortable, FftTransformAvx, FftTransformAvx2, FftTransformAvx512};
const FftWindowedKernel windowedKernels[kFftInstructionSetCount] = {FftWindowedForwardPortable, FftWindowedForwardAvx,
                                                                    FftWindowedForwardAvx2, FftWindowedForwardAvx512};

// The widest vector registers the processor has and the system saves on a task switch.
int BestInstructionSet()
{
    unsigned a, b, c, d;
    if (!__get_cpuid(1, &a, &b, &c, &d) || !(c & bit_OSXSAVE) || !(c & bit_AVX)) return kFftPortable;
    unsigned low, high;
    __asm__("xgetbv" : "=a"(low), "=d"(high) : "c"(0));
    (void)high;
    if ((low & 0x6) != 0x6) return kFftPortable; // no YMM state
    if (!__get_cpuid_count(7, 0, &a, &b, &c, &d) || !(b & bit_AVX2)) return kFftAvx;
    if ((b & bit_AVX512F) && (low & 0xE6) == 0xE6) return kFftAvx512; // with opmask and ZMM state
    return kFftAvx2;
}
#else
const FftKernel kernels[kFftInstructionSetCount] = {FftTransformPortable};
const FftWindowedKernel windowedKernels[kFftInstructionSetCount] = {FftWindowedForwardPortable};

int BestInstructionSet()
{
    return kFftPortable;
}
#endif

} // namespace

FftKernel FftKernelFor(int set)
{
    static const int best = BestInstructionSet();
    if (set < 0 || set > best) return nullptr;
    return kernels[set];
}

FftWindowedKernel FftWindowedKernelFor(int set)
{
    return FftKernelFor(set) ? windowedKernels[set] : nullptr;
}

const char* FftInstructionSetName(int set)
{
    static const char* const names[kFftInstructionSetCount] = {"portable", "avx", "avx2", "avx512"};
    return set >= 0 && set < kFftInstructionSetCount ? names[set] : "";
}

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
    static const FftKernel kernel = kernels[BestInstructionSet()];
    kernel(buffer, size, inverse);
}

void FftTransformWindowed(const double* in, const double* window, double limit, Complex* buffer, int size)
{
    static const FftWindowedKernel kernel = windowedKernels[BestInstructionSet()];
    kernel(in, window, limit, buffer, size);
}

const int* FftBinOrder(int size)
{
    if (!IsTransformSize(size)) return nullptr;
    return size < 16 ? smallOrderTable + size - 2 : orderTable + size - 16;
}

int FftBinPosition(int size, int bin)
{
    if (!IsTransformSize(size) || bin < 0 || bin >= size) return 0;
    if (size < 16) return smallOrderTable[size - 2 + bin];
    return orderTable[size - 16 + bin];
}
