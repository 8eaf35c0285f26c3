#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "FakeHost.h"
#include "plugin/PluginCore.h"
#include "plugin/VstHost.h"

namespace {

// A plug-in with two parameters and two presets (and a third whose values do not fit).
class PresetPlugin : public PluginCore {
public:
    PresetPlugin() : PluginCore(VstHost::Shared(), 2, 2, 2, "Presets", "", "Test", 1, 1234, 0, false, false, true)
    {
        ParamAt(0).InitDouble("gain", 0.5, 0.0, 1.0, 0.01, "");
        ParamAt(1).InitEnum("mode", 0, 3);
        DefinePreset("Soft", {0.2, 1.0});
        DefinePreset("Hard", {0.9, 2.0});
        DefinePreset("Broken", {0.1});
        RestorePreset(0);
        changed.clear();
    }
    void ParameterChanged(int index) override { changed.push_back(index); }
    std::vector<int> changed;
};

std::string ProgramName(AEffect* e, VstInt32 opcode, VstInt32 index = 0)
{
    char name[40];
    std::memset(name, 0x55, sizeof name);
    e->dispatcher(e, opcode, index, 0, name, 0.0f);
    name[sizeof name - 1] = '\0';
    return name;
}

}  // namespace

TEST(Presets, SelectingAProgramStoresTheOneLeftAndRestoresTheNext)
{
    FakeHost::Reset();
    auto* plugin = new PresetPlugin();
    AEffect* e = plugin->Record();
    auto dispatch = [&](VstInt32 op, VstIntPtr value, void* ptr = nullptr, VstInt32 index = 0) {
        return e->dispatcher(e, op, index, value, ptr, 0.0f);
    };
    EXPECT_EQ(e->numPrograms, 3);
    EXPECT_EQ(plugin->ParamAt(0).Value(), 0.2);
    EXPECT_EQ(ProgramName(e, effGetProgramNameIndexed, 1), "Hard");

    // Program 1: its values are set, every parameter announced, its name current.
    ASSERT_EQ(dispatch(effSetProgram, 1), 1);
    EXPECT_EQ(dispatch(effGetProgram, 0), 1);
    EXPECT_EQ(plugin->ParamAt(0).Value(), 0.9);
    EXPECT_EQ(plugin->ParamAt(1).Value(), 2.0);
    EXPECT_EQ(plugin->changed, (std::vector<int>{0, 1}));
    EXPECT_EQ(ProgramName(e, effGetProgramName), "Hard");

    // Edits and a new name made while it is current are kept when another is chosen.
    e->setParameter(e, 0, 0.4f);
    char renamed[] = "Harder";
    ASSERT_EQ(dispatch(effSetProgramName, 0, renamed), 1);
    EXPECT_EQ(ProgramName(e, effGetProgramNameIndexed, 1), "Harder");
    ASSERT_EQ(dispatch(effSetProgram, 0), 1);
    EXPECT_EQ(plugin->ParamAt(0).Value(), 0.2);
    EXPECT_EQ(ProgramName(e, effGetProgramName), "Soft");
    EXPECT_EQ(ProgramName(e, effGetProgramNameIndexed, 1), "Harder");
    ASSERT_EQ(dispatch(effSetProgram, 1), 1);
    EXPECT_FLOAT_EQ(static_cast<float>(plugin->ParamAt(0).Value()), 0.4f);
    EXPECT_EQ(ProgramName(e, effGetProgramName), "Harder");

    // A preset whose values do not fit the parameters is not loaded; out of range is refused.
    plugin->changed.clear();
    EXPECT_EQ(dispatch(effSetProgram, 2), 1);
    EXPECT_EQ(dispatch(effGetProgram, 0), 1);
    EXPECT_TRUE(plugin->changed.empty());
    EXPECT_EQ(dispatch(effSetProgram, 3), 0);
    EXPECT_EQ(dispatch(effSetProgram, -1), 0);
    char name[40];
    EXPECT_EQ(dispatch(effGetProgramNameIndexed, 0, name, 3), 0);
    dispatch(effClose, 0);
}
