// Forward transforms of 1024 and 8192 points: ours (as FftTransform picks it, and the
// baseline SSE2 build that processors without AVX run), FFTW (planned with FFTW_MEASURE,
// complex double, in place) and a plain iterative radix-2 transform.
#include <benchmark/benchmark.h>
#include <fftw3.h>

#include <cmath>
#include <cstring>
#include <random>
#include <vector>

#include "dsp/Fft.h"
#include "dsp/FftTables.h"

namespace {

// Every transform grows the values by about sqrt(N); refilling the buffer now and then
// keeps them finite without timing a copy per transform.
constexpr int kRefillInterval = 64;

std::vector<Complex> RandomInput(int n)
{
    std::mt19937 random(1234);
    std::uniform_real_distribution<double> uniform(-1.0, 1.0);
    std::vector<Complex> input(static_cast<size_t>(n));
    for (Complex& value : input) value = Complex{uniform(random), uniform(random)};
    return input;
}

// The textbook radix-2 transform: bit-reversal permutation, then log2 N passes of
// butterflies over a precomputed table of N/2 twiddles.
class Radix2Fft {
public:
    explicit Radix2Fft(int n) : n(n), twiddles(static_cast<size_t>(n / 2))
    {
        for (int k = 0; k < n / 2; ++k) {
            const double angle = -2.0 * 3.14159265358979323846 * k / n;
            twiddles[static_cast<size_t>(k)] = Complex{std::cos(angle), std::sin(angle)};
        }
    }

    void Transform(Complex* x) const
    {
        for (int i = 1, j = 0; i < n; ++i) {
            int bit = n >> 1;
            for (; j & bit; bit >>= 1) j ^= bit;
            j |= bit;
            if (i < j) std::swap(x[i], x[j]);
        }
        for (int length = 2; length <= n; length *= 2) {
            const int half = length / 2;
            const int stride = n / length;
            for (int start = 0; start < n; start += length) {
                for (int k = 0; k < half; ++k) {
                    const Complex w = twiddles[static_cast<size_t>(k * stride)];
                    Complex& a = x[start + k];
                    Complex& b = x[start + k + half];
                    const double br = b.re * w.re - b.im * w.im;
                    const double bi = b.re * w.im + b.im * w.re;
                    b.re = a.re - br;
                    b.im = a.im - bi;
                    a.re += br;
                    a.im += bi;
                }
            }
        }
    }

private:
    int n;
    std::vector<Complex> twiddles;
};

void BM_Quillograph(benchmark::State& state, void (*transform)(Complex*, int, int))
{
    FftPrepareTables();
    const int n = static_cast<int>(state.range(0));
    const std::vector<Complex> input = RandomInput(n);
    std::vector<Complex> buffer = input;
    int count = 0;
    for (auto _ : state) {
        if (++count == kRefillInterval) {
            count = 0;
            buffer = input;
        }
        transform(buffer.data(), n, 0);
        benchmark::DoNotOptimize(buffer.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations());
}

void BM_Fftw(benchmark::State& state)
{
    const int n = static_cast<int>(state.range(0));
    fftw_complex* buffer = fftw_alloc_complex(static_cast<size_t>(n));
    fftw_plan plan = fftw_plan_dft_1d(n, buffer, buffer, FFTW_FORWARD, FFTW_MEASURE);
    const std::vector<Complex> input = RandomInput(n);
    const size_t bytes = sizeof(Complex) * static_cast<size_t>(n);
    std::memcpy(buffer, input.data(), bytes);
    int count = 0;
    for (auto _ : state) {
        if (++count == kRefillInterval) {
            count = 0;
            std::memcpy(buffer, input.data(), bytes);
        }
        fftw_execute(plan);
        benchmark::DoNotOptimize(buffer);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations());
    fftw_destroy_plan(plan);
    fftw_free(buffer);
}

void BM_Radix2(benchmark::State& state)
{
    const int n = static_cast<int>(state.range(0));
    const Radix2Fft fft(n);
    const std::vector<Complex> input = RandomInput(n);
    std::vector<Complex> buffer = input;
    int count = 0;
    for (auto _ : state) {
        if (++count == kRefillInterval) {
            count = 0;
            buffer = input;
        }
        fft.Transform(buffer.data());
        benchmark::DoNotOptimize(buffer.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations());
}

} // namespace

BENCHMARK_CAPTURE(BM_Quillograph, selected, FftTransform)->Arg(1024)->Arg(8192);
BENCHMARK_CAPTURE(BM_Quillograph, portable, FftTransformPortable)->Arg(1024)->Arg(8192);
BENCHMARK(BM_Fftw)->Arg(1024)->Arg(8192);
BENCHMARK(BM_Radix2)->Arg(1024)->Arg(8192);
