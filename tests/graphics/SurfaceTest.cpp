#include <gtest/gtest.h>

#include <climits>
#include <cstring>

#include "graphics/MemorySurface.h"
#include "graphics/SystemSurface.h"

TEST(MemorySurface, AllocatesOnlyForPositiveSizes)
{
    EXPECT_NE(MemorySurface(3, 2).bits(), nullptr);
    EXPECT_EQ(MemorySurface(0, 5).bits(), nullptr);
    EXPECT_EQ(MemorySurface(-2, -3).bits(), nullptr);  // negative times negative is no size
    EXPECT_EQ(MemorySurface(INT32_MAX, INT32_MAX).bits(), nullptr);
    EXPECT_EQ(MemorySurface(65536, 1).bits(), nullptr);
    MemorySurface s(4, 3);
    EXPECT_EQ(s.width(), 4);
    EXPECT_EQ(s.height(), 3);
    EXPECT_EQ(s.rowSpan(), 4);
    EXPECT_FALSE(s.isFlipped());
}

TEST(MemorySurface, ResizeKeepsBytesAndReportsChange)
{
    MemorySurface s(2, 2);
    for (uint32_t i = 0; i < 4; ++i) s.bits()[i] = 0x11111111u * (i + 1);
    EXPECT_FALSE(s.resize(2, 2));
    EXPECT_TRUE(s.resize(4, 1));  // same bytes, not re-laid-out
    ASSERT_NE(s.bits(), nullptr);
    EXPECT_EQ(s.bits()[3], 0x44444444u);
    EXPECT_TRUE(s.resize(8, 8));
    EXPECT_EQ(s.bits()[2], 0x33333333u);
    EXPECT_TRUE(s.resize(0, 8));
    EXPECT_EQ(s.bits(), nullptr);
    EXPECT_EQ(s.width(), 0);
    EXPECT_TRUE(s.resize(3, 3));
    EXPECT_NE(s.bits(), nullptr);
}

TEST(SystemSurface, StartsClearedAndTopDown)
{
    SystemSurface s(232, 96);
    ASSERT_NE(s.bits(), nullptr);
    EXPECT_EQ(s.width(), 232);
    EXPECT_EQ(s.height(), 96);
    EXPECT_EQ(s.rowSpan(), 232);
    EXPECT_FALSE(s.isFlipped());
    for (int i = 0; i < 232 * 96; ++i) ASSERT_EQ(s.bits()[i], 0u);
}

TEST(SystemSurface, EmptySizeKeepsOldPixelsAndSize)
{
    SystemSurface s(10, 10);
    s.bits()[0] = 0xDEADBEEFu;
    uint32_t* before = s.bits();
    EXPECT_FALSE(s.resize(10, 10));
    EXPECT_FALSE(s.resize(0, 10));
    EXPECT_FALSE(s.resize(10, -4));
    EXPECT_EQ(s.bits(), before);
    EXPECT_EQ(s.width(), 10);
    EXPECT_EQ(s.bits()[0], 0xDEADBEEFu);
    EXPECT_TRUE(s.resize(20, 5));
    EXPECT_EQ(s.width(), 20);
    EXPECT_EQ(s.bits()[0], 0u);  // a new section is cleared
    SystemSurface none(0, 0);
    EXPECT_EQ(none.bits(), nullptr);
}
