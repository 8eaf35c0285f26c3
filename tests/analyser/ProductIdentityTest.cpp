// Every format names the product alike: the VST record and its strings, the LV2 bundle's
// description and the CLAP descriptor (checked on the built .clap) take the one identity.
#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <sstream>
#include <string>

#include "analyser/ProductIdentity.h"
#include "plugin/PluginCore.h"

namespace {

TEST(ProductIdentity, TheVstRecordAndStringsAreTheProducts)
{
    PluginCore* core = CreatePluginInstance(NoHost::Shared());
    ASSERT_NE(core, nullptr);
    AEffect* effect = core->Record();
    char name[64] = {}, vendor[64] = {};
    effect->dispatcher(effect, effGetEffectName, 0, 0, name, 0.0f);
    effect->dispatcher(effect, effGetVendorString, 0, 0, vendor, 0.0f);
    EXPECT_STREQ(name, ProductIdentity::kName);
    EXPECT_STREQ(vendor, ProductIdentity::kVendor);
    EXPECT_EQ(effect->version, ProductIdentity::kVstVersion);
    delete core;
}

TEST(ProductIdentity, TheVersionIsTheProjectsAndTheLv2DescriptionAgrees)
{
    EXPECT_EQ(std::string(ProductIdentity::kVersion), std::to_string(ProductIdentity::kVersionMajor) + "." +
                                                          std::to_string(ProductIdentity::kVersionMinor) + "." +
                                                          std::to_string(ProductIdentity::kVersionPatch));
    std::ifstream file(std::string(QUILLOGRAPH_SOURCE_DIR) + "/formats/lv2/quillograph.ttl");
    ASSERT_TRUE(file.good());
    std::stringstream text;
    text << file.rdbuf();
    const std::string ttl = text.str();
    std::smatch found;
    ASSERT_TRUE(std::regex_search(ttl, found, std::regex("doap:name \"([^\"]*)\"")));
    EXPECT_EQ(found[1], ProductIdentity::kName);
    ASSERT_TRUE(std::regex_search(ttl, found, std::regex("lv2:minorVersion ([0-9]+)")));
    EXPECT_EQ(std::stoi(found[1]), ProductIdentity::kVersionMinor);
    ASSERT_TRUE(std::regex_search(ttl, found, std::regex("lv2:microVersion ([0-9]+)")));
    EXPECT_EQ(std::stoi(found[1]), ProductIdentity::kVersionPatch);
}

}  // namespace
