// Forward transforms of 256 to 16384 points: ours (as FftTransform picks it, and every
// instruction-set build this machine runs), FFTW (planned with FFTW_MEASURE, complex
// double, in place), and at 1024 and 8192 points a plain iterative radix-2 transform.
//
// Unless told otherwise it takes the median of 5 repetitions, interleaved so that a busy
// moment of the machine does not favour one side, and ends with a table of CPU times and
// their ratio to FFTW's.
#include <benchmark/benchmark.h>
#include <fftw3.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <map>
#include <random>
#include <string>
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

void BM_Quillograph(benchmark::State& state, FftKernel transform)
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

constexpr int kTableFrom = 256;
constexpr int kTableTo = 16384;

// Keeps the medians (or the times of single runs), by benchmark name and size, while the
// console shows every line.
class TableReporter : public benchmark::ConsoleReporter {
public:
    TableReporter() : ConsoleReporter(OO_Tabular) {}

    std::map<std::string, std::map<int, double>> medians;

    void ReportRuns(const std::vector<Run>& reports) override
    {
        ConsoleReporter::ReportRuns(reports);
        for (const Run& run : reports) {
            const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
            const bool only = run.run_type == Run::RT_Iteration && run.repetitions <= 1;
            if ((median || only) && !run.error_occurred)
                medians[run.run_name.function_name][std::stoi(run.run_name.args)] = run.GetAdjustedCPUTime();
        }
    }
};

void PrintTable(const TableReporter& reporter, const std::vector<std::string>& ours)
{
    const auto fftw = reporter.medians.find("BM_Fftw");
    if (fftw == reporter.medians.end()) return;
    std::printf("\nForward transform, median CPU time in ns (ratio to FFTW; below 1 is faster); selected is %s\n%6s %9s",
                ours.back().c_str(), "size", "fftw");
    for (const std::string& name : ours) std::printf(" %18s", name.c_str());
    std::printf("\n");
    for (int n = kTableFrom; n <= kTableTo; n *= 2) {
        const auto reference = fftw->second.find(n);
        if (reference == fftw->second.end()) continue;
        std::printf("%6d %9.0f", n, reference->second);
        for (const std::string& name : ours) {
            const auto times = reporter.medians.find("BM_Quillograph/" + name);
            const auto time = times == reporter.medians.end() ? std::map<int, double>::const_iterator() : times->second.find(n);
            if (times == reporter.medians.end() || time == times->second.end())
                std::printf(" %18s", "-");
            else
                std::printf(" %9.0f (%5.2f)", time->second, time->second / reference->second);
        }
        std::printf("\n");
    }
}

} // namespace

int main(int argc, char** argv)
{
    // Defaults first, so that the command line overrides them.
    std::vector<char*> args = {argv[0]};
    std::string defaults[] = {"--benchmark_repetitions=5", "--benchmark_report_aggregates_only=true", "--benchmark_enable_random_interleaving=true"};
    for (std::string& flag : defaults) args.push_back(flag.data());
    for (int i = 1; i < argc; ++i) args.push_back(argv[i]);
    int count = static_cast<int>(args.size());
    benchmark::Initialize(&count, args.data());
    if (benchmark::ReportUnrecognizedArguments(count, args.data())) return 1;

    std::vector<std::string> ours = {"selected"};
    benchmark::RegisterBenchmark("BM_Quillograph/selected", BM_Quillograph, FftTransform)->RangeMultiplier(2)->Range(kTableFrom, kTableTo);
    for (int set = 0; set < kFftInstructionSetCount; ++set) {
        if (!FftKernelFor(set)) continue;
        ours.push_back(FftInstructionSetName(set));
        benchmark::RegisterBenchmark(("BM_Quillograph/" + ours.back()).c_str(), BM_Quillograph, FftKernelFor(set))->RangeMultiplier(2)->Range(kTableFrom, kTableTo);
    }
    benchmark::RegisterBenchmark("BM_Fftw", BM_Fftw)->RangeMultiplier(2)->Range(kTableFrom, kTableTo);
    benchmark::RegisterBenchmark("BM_Radix2", BM_Radix2)->Arg(1024)->Arg(8192);

    TableReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    PrintTable(reporter, ours);
    benchmark::Shutdown();
    return 0;
}
