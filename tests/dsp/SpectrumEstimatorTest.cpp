#include "dsp/SpectrumEstimator.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <vector>

namespace {

const double kPi = 3.14159265358979323846;
const double kInf = std::numeric_limits<double>::infinity();
const double kNaN = std::numeric_limits<double>::quiet_NaN();

void FillSamples(SpectrumEstimator& estimator, int n, double (*signal)(int, int))
{
    estimator.samples.Resize(n, false);
    estimator.samples.SetWritePosition(0);
    for (int i = 0; i < n; ++i) estimator.samples.Data()[i] = signal(i, n);
}

std::vector<double> Copy(const GrowableArray<double>& values)
{
    return std::vector<double>(values.Data(), values.Data() + values.Size());
}

double BinCentredSine(int i, int n) { return std::sin(2.0 * kPi * 1000.0 * i / n); }
double Noise(int i, int) { return std::sin(i * 12.9898) * 43758.5453 - std::floor(std::sin(i * 12.9898) * 43758.5453) - 0.5; }

TEST(SpectrumEstimatorTest, BinCentredUnitSinePeaksNearNineteenAtItsBin)
{
    SpectrumEstimator estimator;
    FillSamples(estimator, 8192, BinCentredSine);
    const GrowableArray<double>& magnitudes = estimator.ComputeFrame();
    ASSERT_EQ(magnitudes.Size(), 4096);
    // Coherent gain 0.42 times N/2, divided by sqrt(N).
    EXPECT_NEAR(magnitudes[1000], 0.42 * 8192 / 2 / std::sqrt(8192.0), 0.05);
    // The Blackman window keeps the energy within three bins of the tone.
    for (int bin : {995, 996, 1004, 1005, 900, 1100, 10, 4000}) EXPECT_LT(magnitudes[bin], 0.03) << "bin " << bin;
}

TEST(SpectrumEstimatorTest, ConstantInputPeaksAtBinZeroAndRespacesToZeroThere)
{
    SpectrumEstimator estimator;
    FillSamples(estimator, 8192, [](int, int) { return 0.5; });
    GrowableArray<double>& magnitudes = estimator.ComputeFrame();
    for (int i = 1; i < magnitudes.Size(); ++i) ASSERT_LT(magnitudes[i], magnitudes[0]) << "bin " << i;
    const double last = magnitudes[4095];
    estimator.MapToLogFrequency(magnitudes);
    EXPECT_EQ(magnitudes[0], 0.0);
    EXPECT_EQ(magnitudes[4095], last);
}

TEST(SpectrumEstimatorTest, LogTablesForFourThousandPositions)
{
    SpectrumEstimator estimator;
    std::vector<double> values(4096, 1.0);
    estimator.MapToLogFrequency(values.data(), 4096);
    const GrowableArray<double>& position = estimator.LogPositions();
    const GrowableArray<double>& weight = estimator.LogWeights();
    ASSERT_EQ(position.Size(), 4096);
    ASSERT_EQ(weight.Size(), 4096);
    EXPECT_EQ(position[0], 0.0);
    EXPECT_NEAR(position[1], 0.1202, 1e-4);
    EXPECT_NEAR(position[4094], 3754.7, 0.05);
    EXPECT_EQ(position[4095], 4096.0);
    EXPECT_EQ(weight[0], 0.0);
    EXPECT_NEAR(weight[1], std::sqrt(position[1]), 1e-15);
    for (int n = 1; n < 4095; ++n) ASSERT_LE(position[n], n) << "position " << n << " would read a value already re-spaced";
}

TEST(SpectrumEstimatorTest, InPlaceRespacingEqualsRespacingFromACopy)
{
    for (int length : {4096, 512, 1000, 3, 2}) {
        SpectrumEstimator estimator;
        std::vector<double> values(static_cast<size_t>(length));
        for (int i = 0; i < length; ++i) values[static_cast<size_t>(i)] = std::fabs(Noise(i, length)) + 0.01 * i;
        const std::vector<double> original = values;
        estimator.MapToLogFrequency(values.data(), length);
        const GrowableArray<double>& position = estimator.LogPositions();
        const GrowableArray<double>& weight = estimator.LogWeights();
        for (int n = 0; n + 1 < length; ++n) {
            // What working in place needs of the tables: below its own index, or reading the
            // last value, which stays as it is.
            EXPECT_TRUE(n == 0 ? position[n] == 0.0 : position[n] < n || n + 2 == length)
                << "length " << length << " position " << n;
            const int k = static_cast<int>(position[n]);
            const double f = position[n] - k;
            const double expected = (f * original[static_cast<size_t>(k + 1)] + (1.0 - f) * original[static_cast<size_t>(k)]) * weight[n];
            ASSERT_EQ(values[static_cast<size_t>(n)], expected) << "length " << length << " position " << n;
        }
        EXPECT_EQ(values[0], 0.0) << "length " << length;
        EXPECT_EQ(values.back(), original.back()) << "length " << length;
    }
}

TEST(SpectrumEstimatorTest, FrequencyBandColumnsAt44100)
{
    const double bands[7][2] = {{0, 18000}, {25, 200}, {100, 500}, {500, 2000}, {1000, 7500}, {7500, 12000}, {12000, 20000}};
    const int columns[7][2] = {{0, 4091}, {41, 297}, {155, 705}, {705, 2172}, {1289, 3854}, {3854, 4052}, {4052, 4094}};
    for (int zoom = 0; zoom < 7; ++zoom) {
        EXPECT_EQ(FrequencyToIndex(bands[zoom][0], 44100.0, 8192, true), columns[zoom][0]) << "zoom " << zoom;
        EXPECT_EQ(FrequencyToIndex(bands[zoom][1], 44100.0, 8192, true), columns[zoom][1]) << "zoom " << zoom;
    }
}

TEST(SpectrumEstimatorTest, AxisEndsAndRoundTrip)
{
    for (double rate : {22050.0, 44100.0, 48000.0, 96000.0}) {
        for (int size : {1024, 8192}) {
            EXPECT_EQ(FrequencyToIndex(0.0, rate, size, true), 0);
            EXPECT_EQ(FrequencyToIndex(rate / 2, rate, size, true), size / 2 - 1);
            EXPECT_EQ(FrequencyToIndex(rate / 2, rate, size, false), size / 2);
            EXPECT_EQ(IndexToFrequency(0, size, rate, true), 0.0);
            EXPECT_DOUBLE_EQ(IndexToFrequency(size / 2 - 1, size, rate, true), (size / 2 - 1) * rate / size);
            // A position reads back as its frequency, to within half a bin plus the span
            // of the position (one bin at the bottom, many near the top).
            for (double hz : {20.0, 100.0, 440.0, 1000.0, 5000.0, 9000.0}) {
                const int position = FrequencyToIndex(hz, rate, size, true);
                const double back = IndexToFrequency(position, size, rate, true);
                const double span = IndexToFrequency(position + 1, size, rate, true) - back;
                EXPECT_NEAR(back, hz, span + 0.5 * rate / size) << "rate " << rate << " size " << size << " hz " << hz;
            }
        }
    }
}

TEST(SpectrumEstimatorTest, ConversionsStayFiniteForAnyRateSizeOrIndex)
{
    // A host may report a sample rate of 0 (or worse); a frequency or position then has no
    // meaning, but the answer must still be an ordinary number the view can draw with.
    const double rates[] = {0.0, -0.0, -44100.0, kNaN, kInf, -kInf, 1e-320, 1e300, 44100.0};
    const double frequencies[] = {0.0, -5.0, 1000.0, 1e300, -1e300, kInf, -kInf, kNaN};
    const int sizes[] = {0, 1, 2, 3, 4, -8, 1024, 8192, std::numeric_limits<int>::max()};
    for (double rate : rates) {
        for (int size : sizes) {
            for (bool logScale : {true, false}) {
                for (double hz : frequencies) {
                    const int index = FrequencyToIndex(hz, rate, size, logScale);
                    EXPECT_GE(index, 0);
                    EXPECT_LE(index, size < 0 ? 0 : (logScale ? size / 2 : size));
                }
                for (int index : {0, 1, size / 2 - 1, size / 2, size / 2 + 7, -1, std::numeric_limits<int>::max(), std::numeric_limits<int>::min()})
                    EXPECT_TRUE(std::isfinite(IndexToFrequency(index, size, rate, logScale))) << "rate " << rate << " size " << size << " index " << index;
            }
        }
        if (!(rate > 0.0) || !std::isfinite(rate)) {
            EXPECT_EQ(FrequencyToIndex(1000.0, rate, 8192, true), 0);
            EXPECT_EQ(IndexToFrequency(100, 8192, rate, true), 0.0);
        }
    }
    // At or past the top of the axis a position reads as the top one.
    const double top = IndexToFrequency(4095, 8192, 44100.0, true);
    EXPECT_EQ(IndexToFrequency(4096, 8192, 44100.0, true), top);
    EXPECT_EQ(IndexToFrequency(std::numeric_limits<int>::max(), 8192, 44100.0, true), top);
    // Frequencies beyond the sample rate land on the top; NaN on the bottom.
    EXPECT_EQ(FrequencyToIndex(kInf, 44100.0, 8192, true), 4096);
    EXPECT_EQ(FrequencyToIndex(kNaN, 44100.0, 8192, true), 0);
    EXPECT_EQ(FrequencyToIndex(-kInf, 44100.0, 8192, true), 0);
}

TEST(SpectrumEstimatorTest, WindowFollowsTheFrameSizeAndFramesRepeat)
{
    SpectrumEstimator switching, fresh8192, fresh1024;
    FillSamples(fresh8192, 8192, Noise);
    FillSamples(fresh1024, 1024, Noise);
    const std::vector<double> expected8192 = Copy(fresh8192.ComputeFrame());
    const std::vector<double> expected1024 = Copy(fresh1024.ComputeFrame());

    FillSamples(switching, 8192, Noise);
    EXPECT_EQ(Copy(switching.ComputeFrame()), expected8192);
    EXPECT_EQ(Copy(switching.ComputeFrame()), expected8192);
    FillSamples(switching, 1024, Noise);
    EXPECT_EQ(Copy(switching.ComputeFrame()), expected1024);
    FillSamples(switching, 8192, Noise);
    EXPECT_EQ(Copy(switching.ComputeFrame()), expected8192);
}

TEST(SpectrumEstimatorTest, SamplesThatAreNoNumberGiveFiniteMagnitudes)
{
    SpectrumEstimator estimator;
    FillSamples(estimator, 1024, [](int i, int) { return i % 7 == 0 ? kNaN : (i % 11 == 0 ? kInf : (i % 13 == 0 ? -1e308 : 0.25)); });
    GrowableArray<double>& magnitudes = estimator.ComputeFrame();
    estimator.MapToLogFrequency(magnitudes);
    ASSERT_EQ(magnitudes.Size(), 512);
    for (int i = 0; i < magnitudes.Size(); ++i) ASSERT_TRUE(std::isfinite(magnitudes[i])) << "bin " << i;
}

TEST(SpectrumEstimatorTest, BlockLengthsTheTransformCannotTakeGiveZeros)
{
    for (int n : {0, 1, 3, 1000, 65536}) {
        SpectrumEstimator estimator;
        FillSamples(estimator, n, [](int, int) { return 1.0; });
        const GrowableArray<double>& magnitudes = estimator.ComputeFrame();
        ASSERT_EQ(magnitudes.Size(), n / 2) << "n " << n;
        for (int i = 0; i < magnitudes.Size(); ++i) ASSERT_EQ(magnitudes[i], 0.0) << "n " << n << " bin " << i;
    }
    // Small powers of two are transformed: a constant shows at bin 0 only.
    SpectrumEstimator estimator;
    FillSamples(estimator, 8, [](int, int) { return 1.0; });
    const GrowableArray<double>& magnitudes = estimator.ComputeFrame();
    ASSERT_EQ(magnitudes.Size(), 4);
    EXPECT_GT(magnitudes[0], magnitudes[1]);
    EXPECT_GT(magnitudes[0], 0.0);
}

} // namespace
