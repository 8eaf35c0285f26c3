#include <gtest/gtest.h>

#include "plugin/HostId.h"

TEST(HostId, RulesInOrderOnLowerCaseCopies)
{
    EXPECT_EQ(IdentifyHost("Cockos", "REAPER"), 1);
    EXPECT_EQ(IdentifyHost("x", "ReApEr64"), 1);
    EXPECT_EQ(IdentifyHost("Steinberg", "Nuendo Cubase"), 3);
    EXPECT_EQ(IdentifyHost("Steinberg", "Nuendo"), 4);
    EXPECT_EQ(IdentifyHost("", "Cakewalk"), 5);
    EXPECT_EQ(IdentifyHost("", "Samplitude Pro"), 8);
    EXPECT_EQ(IdentifyHost("Image-Line Fruity", "FL"), 7);
    EXPECT_EQ(IdentifyHost("Image-Line", "Fruity"), 0);
    EXPECT_EQ(IdentifyHost("Ableton", "Live 11"), 9);
    EXPECT_EQ(IdentifyHost("Ableton", "Push"), 0);
    EXPECT_EQ(IdentifyHost("Celemony", "Melodyne"), 12);
    EXPECT_EQ(IdentifyHost("", "VSTManLib"), 13);
    EXPECT_EQ(IdentifyHost(nullptr, nullptr), 0);
}
