#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <limits>

#include "plugin/SafeConvert.h"

// Values on their way to pixels keep what they are, so that the drawing can leave out what
// is no number; a setting always becomes a number the view can work with.
TEST(SafeConvert, NarrowingKeepsPixelsHonestAndSettingsUsable)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    for (const double v : {0.0, -0.0, 0.1, -2.5e7, 1e-300, static_cast<double>(FLT_MAX)}) {
        EXPECT_EQ(NarrowToFloat(v), static_cast<float>(v)) << v;
        EXPECT_EQ(ClampToFloat(v), static_cast<float>(v)) << v;
    }
    EXPECT_EQ(NarrowToFloat(1e300), HUGE_VALF);
    EXPECT_EQ(NarrowToFloat(-HUGE_VAL), -HUGE_VALF);
    EXPECT_TRUE(std::isnan(NarrowToFloat(nan)));

    EXPECT_EQ(ClampToFloat(1e300), FLT_MAX);
    EXPECT_EQ(ClampToFloat(-HUGE_VAL), -FLT_MAX);
    EXPECT_EQ(ClampToFloat(nan), 0.0f);
}
