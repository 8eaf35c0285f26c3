#include <gtest/gtest.h>

#include <numeric>
#include <vector>

#include "dsp/SampleRing.h"

TEST(SampleRing, AppendWrapsAndReadsBackwards)
{
    SampleRing ring;
    ASSERT_TRUE(ring.Resize(10, true));
    ring.SetWritePosition(0);
    std::vector<double> a(7);
    std::iota(a.begin(), a.end(), 1.0);
    EXPECT_EQ(ring.Append(a.data(), 7), 7);
    EXPECT_EQ(ring.WritePosition(), 7);
    // Exactly the remaining room: the position reaches the length, the next append starts at 0.
    EXPECT_EQ(ring.Append(a.data(), 3), 3);
    EXPECT_EQ(ring.WritePosition(), 10);
    EXPECT_EQ(ring.At(-1), 3.0);
    EXPECT_EQ(ring.Append(a.data() + 6, 1), 1);
    EXPECT_EQ(ring.WritePosition(), 1);
    EXPECT_EQ(ring.At(0), 7.0);
    // Splitting across the end.
    EXPECT_EQ(ring.Append(a.data(), 7), 7);
    EXPECT_EQ(ring.WritePosition(), 8);
    EXPECT_EQ(ring.At(1), 1.0);
    EXPECT_EQ(ring.At(7), 7.0);
    EXPECT_EQ(ring.At(-3), ring.At(7));
    EXPECT_EQ(ring.At(23), ring.At(3));
    // More than the length keeps the newest samples, and they end at the write position.
    std::vector<double> big(25);
    std::iota(big.begin(), big.end(), 100.0);
    EXPECT_EQ(ring.Append(big.data(), 25), 10);
    EXPECT_EQ(ring.WritePosition(), 8);
    for (int i = 1; i <= 10; ++i) EXPECT_EQ(ring.At(8 - i), 125.0 - i);
    EXPECT_EQ(ring.Append(nullptr, 3), 0);
}

TEST(SampleRing, GrowthRule)
{
    SampleRing ring;
    EXPECT_EQ(ring.Length(), 0);
    EXPECT_EQ(ring.At(5), 0.0);
    ring.Resize(10, true);
    ring.Resize(65, false);
    EXPECT_EQ(ring.Length(), 65);
    ring.Resize(-1, false);
    EXPECT_EQ(ring.Length(), 0);
    GrowableArray<double> a;
    a.Resize(65, false);
    EXPECT_EQ(a.Capacity(), 128);
    a.Resize(24000, true);
    EXPECT_EQ(a.Capacity(), 32768);
    EXPECT_EQ(a[23999], 0.0);
}
