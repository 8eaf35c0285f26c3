#include "dsp/SpectrumKernels.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

#include "dsp/FftTables.h"

namespace {

// Every build the processor runs against the loop written out one element at a time, on
// lengths with vector tails and on the values that take the other branches.
TEST(SpectrumKernelsTest, EveryBuildAgreesBitForBitWithOneElementAtATime)
{
    const double inf = std::numeric_limits<double>::infinity(), nan = std::numeric_limits<double>::quiet_NaN();
    const double special[] = {nan, inf, -inf, 1e300, -1e300, 1e100, -1e100, -0.0, 4.9e-324, 0.75};
    for (int n : {1, 7, 8, 13, 64, 1029}) {
        std::vector<Complex> x(n);
        std::vector<int> positions(n), bins(n);
        for (int i = 0; i < n; ++i) {
            x[i] = Complex{i % 3 == 0 ? special[i / 3 % 10] : std::sin(i * 0.37) * (i % 5), i % 4 == 1 ? special[i % 10] : 0.25 * i};
            positions[i] = static_cast<int>((i * 7919L) % n);
            bins[i] = static_cast<int>((i * 104729L) % n);
        }
        std::vector<double> expectedOut(n);
        for (int i = 0; i < n; ++i) {
            const Complex& v = x[positions[i]];
            expectedOut[bins[i]] = std::sqrt((v.re * v.re + v.im * v.im) * (1.0 / n));
        }
        for (int set = 0; set < kFftInstructionSetCount; ++set) {
            const SpectrumKernels* kernels = SpectrumKernelsFor(set);
            if (!kernels) continue;
            std::vector<double> out(n);
            kernels->magnitudes(x.data(), positions.data(), bins.data(), n, 1.0 / n, out.data());
            EXPECT_EQ(std::memcmp(out.data(), expectedOut.data(), sizeof(double) * n), 0) << FftInstructionSetName(set) << " n " << n;
        }
    }
    // The log mapping in place, over positions below their own index (position 0 reading the
    // value just made at 1), some exactly on a bin, with runs too short for a group and
    // tails after the groups.
    for (int n : {1, 2, 5, 9, 17, 512, 1027}) {
        std::vector<double> values(n), position(n), weight(n);
        for (int i = 0; i < n; ++i) {
            values[i] = i == 0 ? -0.0 : i % 9 == 4 ? special[i % 10] : std::cos(i * 0.3) * 7.0;
            position[i] = i % 5 == 0 ? (i > 0 ? i - 1 : 0) : i * (0.35 + 0.6 * std::sin(i * 0.01) * std::sin(i * 0.01));
            // Position 0 then shows by the sign of its zero which value at 1 it read.
            weight[i] = i % 6 == 0 ? -0.0 : i == 1 ? -2.0 : std::sqrt(i * 0.5);
        }
        std::vector<double> expected = values;
        for (int i = n - 2; i >= 0; --i) {
            const int k = static_cast<int>(position[i]);
            const double f = position[i] - k;
            expected[i] = (f * expected[k + 1] + (1.0 - f) * expected[k]) * weight[i];
        }
        for (int set = 0; set < kFftInstructionSetCount; ++set) {
            const SpectrumKernels* kernels = SpectrumKernelsFor(set);
            if (!kernels) continue;
            std::vector<double> ours = values;
            kernels->logMap(ours.data(), position.data(), weight.data(), n);
            EXPECT_EQ(std::memcmp(ours.data(), expected.data(), sizeof(double) * n), 0) << FftInstructionSetName(set) << " n " << n;
        }
    }
    EXPECT_EQ(&BestSpectrumKernels(), SpectrumKernelsFor(kFftAvx512) ? SpectrumKernelsFor(kFftAvx512)
                                      : SpectrumKernelsFor(kFftAvx2)  ? SpectrumKernelsFor(kFftAvx2)
                                                                       : SpectrumKernelsFor(kFftPortable));
}

}  // namespace
