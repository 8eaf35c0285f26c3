#include "tests/PictureExpectation.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdio>

#include "tools/SurfacePng.h"

void ExpectStoredPicture(const Surface& s, const std::string& expectedDir, const std::string& actualDir,
                         const std::string& name)
{
    mkdir(actualDir.c_str(), 0755);
    const std::string actual = actualDir + "/" + name + ".png";
    const std::string expectedPath = expectedDir + "/" + name + ".png";
    ASSERT_TRUE(WriteSurfacePng(s, actual)) << actual;
    const auto expected = ReadSurfacePng(expectedPath);
    ASSERT_TRUE(expected) << "no expected picture " << expectedPath << "; look at " << actual
                          << " and store it there if it is right";
    ASSERT_EQ(expected->width(), s.width());
    ASSERT_EQ(expected->height(), s.height());
    int differing = 0;
    std::string first;
    for (int32_t y = 0; y < s.height(); ++y)
        for (int32_t x = 0; x < s.width(); ++x) {
            const uint32_t want = SurfaceRow(*expected, y)[x], got = SurfaceRow(s, y)[x];
            if (want != got && differing++ == 0) {
                char text[96];
                std::snprintf(text, sizeof text, "(%d, %d): expected %08X, drew %08X", x, y, want, got);
                first = text;
            }
        }
    EXPECT_EQ(differing, 0) << name << ": first difference at " << first << "; see " << actual;
}
