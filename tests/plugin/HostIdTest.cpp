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
    EXPECT_EQ(IdentifyHost("Ableton", "rEaPeR Live"), 1);
    EXPECT_EQ(IdentifyHost("Reaper", "Live"), 0);  // the product decides
    EXPECT_EQ(IdentifyHost("Fruity Ableton", "Live"), 7);
}

TEST(HostId, GivesOnlyTheTablesNumbers)
{
    const char* words[] = {"", "reaper", "cubase", "nuendo", "cakewalk", "samplitude", "fruity", "ableton",
                           "live", "melodyne", "vstmanlib", "other"};
    for (const char* vendor : words) {
        for (const char* product : words) {
            const int32_t id = IdentifyHost(vendor, product);
            EXPECT_TRUE(id == 0 || id == 1 || id == 3 || id == 4 || id == 5 || id == 7 || id == 8 || id == 9 ||
                        id == 12 || id == 13)
                << vendor << " / " << product << " gives " << id;
        }
    }
}
