#include "dsp/SpectrumEstimator.h"

#include <cmath>

#include "dsp/SpectrumKernels.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

// Far beyond any audio level, yet small enough that no sum of squares in a frame can
// overflow: inf or NaN must not reach the pictures, where they would become pixel positions.
constexpr double kSampleLimit = 1e100;

bool IsTransformSize(int n)
{
    return n >= kFftMinSize && n <= kFftMaxSize && (n & (n - 1)) == 0;
}

bool IsUsableRate(double sampleRate)
{
    return std::isfinite(sampleRate) && sampleRate > 0.0;
}

} // namespace

SpectrumEstimator::SpectrumEstimator()
{
    FftPrepareTables();
}

bool SpectrumEstimator::PrepareWindow(int n)
{
    if (window.Size() == n) return true;
    if (!window.Resize(n, false)) return false;
    // Blackman, both end points 0.
    const double step = 2.0 * kPi / (n - 1);
    double* w = window.Data();
    for (int i = 0; i < n; ++i) w[i] = 0.08 * std::cos(2.0 * i * step) + (0.42 - 0.5 * std::cos(i * step));
    return true;
}

bool SpectrumEstimator::PrepareReadOrder(int n)
{
    const int half = n / 2;
    if (readPositions.Size() == half && readBins.Size() == half) return true;
    if (!readPositions.Resize(half, false) || !readBins.Resize(half, false)) return false;
    int next = 0;
    for (unsigned p = 0; p < static_cast<unsigned>(n); ++p) {
        // Position p holds X at n - f (mod n), f being the frequency the transform leaves there.
        const int bin = static_cast<int>((n - FftOutputFrequency(p, n)) & (n - 1));
        if (bin >= half) continue;
        readPositions[next] = static_cast<int>(p);
        readBins[next] = bin;
        ++next;
    }
    return true;
}

GrowableArray<double>& SpectrumEstimator::ComputeFrame()
{
    const int n = samples.Length();
    const int half = n / 2;
    if (!magnitudes.Resize(half, false)) return magnitudes;
    double* out = magnitudes.Data();
    if (!IsTransformSize(n) || !work.Resize(n, false) || !PrepareWindow(n) || !PrepareReadOrder(n)) {
        for (int i = 0; i < half; ++i) out[i] = 0.0;
        return magnitudes;
    }

    Complex* x = work.Data();
    FftTransformWindowed(samples.Data(), window.Data(), kSampleLimit, x, n);
    // The spectrum stays scrambled; each bin is read where the transform left it.
    BestSpectrumKernels().magnitudes(x, readPositions.Data(), readBins.Data(), half, 1.0 / n, out);
    return magnitudes;
}

bool SpectrumEstimator::PrepareLogTables(int length)
{
    if (logPosition.Size() == length && logWeight.Size() == length) return true;
    if (!logPosition.Resize(length, false) || !logWeight.Resize(length, false)) return false;
    double* position = logPosition.Data();
    double* weight = logWeight.Data();
    const double inverseLogLength = 1.0 / std::log(static_cast<double>(length));
    double previous = 0.0;
    for (int i = 0; i < length; ++i) {
        const int g = length - i;
        position[i] = (1.0 - std::log(static_cast<double>(g)) * inverseLogLength) * length;
        // ln L times 1/ln L can round to just below 1, which would leave position 0 a hair
        // above 0 and its weight not 0.
        if (i == 0) position[i] = 0.0;
        weight[i] = std::sqrt(position[i] - previous);
        previous = position[i];
    }
    return true;
}

void SpectrumEstimator::MapToLogFrequency(GrowableArray<double>& values)
{
    MapToLogFrequency(values.Data(), values.Size());
}

void SpectrumEstimator::MapToLogFrequency(double* values, int length)
{
    if (!values || length < 2 || !PrepareLogTables(length)) return;
    const double* position = logPosition.Data();
    const double* weight = logWeight.Data();
    // Position 0 is 0 and every other position lies below its own index (or, the last one
    // mapped, reads the last value, which is kept), which lets the mapping work in place.
    BestSpectrumKernels().logMap(values, position, weight, length);
}

int FrequencyToIndex(double hz, double sampleRate, int size, bool logScale)
{
    if (!IsUsableRate(sampleRate) || size <= 0) return 0;
    double x = (size / sampleRate) * hz + 0.5;
    // Nothing lies below 0 Hz, and past the sample rate no new bin starts: clamping there
    // keeps the conversion to an integer defined for any hz (NaN included).
    if (!(x >= 0.0)) x = 0.0;
    if (x > size) x = size;
    const int b = static_cast<int>(x);
    if (!logScale) return b;
    const int h = size / 2;
    if (h < 2) return 0;
    const double logHalf = std::log(static_cast<double>(h));
    return static_cast<int>(h - std::exp(logHalf - b * logHalf / (h - 1)) + 0.5);
}

double IndexToFrequency(int index, int size, double sampleRate, bool logScale)
{
    if (!IsUsableRate(sampleRate) || size <= 0) return 0.0;
    double x = index;
    if (logScale) {
        const int h = size / 2;
        if (h < 2) return 0.0;
        // ln(h - index) has no value at or past the top of the axis (h - 1).
        const double position = index > h - 1 ? h - 1 : index;
        x = (1.0 - std::log(h - position) / std::log(static_cast<double>(h))) * (h - 1);
    }
    const double hz = x * sampleRate / size;
    return std::isfinite(hz) ? hz : 0.0;
}
