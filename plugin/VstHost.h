// The VST host as the plug-in sees it: every request through the module's host callback,
// the one VSTPluginMain was last given.
#pragma once

#include "plugin/PluginHost.h"

class VstHost final : public PluginHost {
public:
    bool Identify(PluginCore& plug, std::string& vendor, std::string& product, int32_t& version) override;
    // audioMasterAutomate.
    void ParameterEdited(PluginCore& plug, int32_t index, float normalized) override;
    // audioMasterSizeWindow.
    bool ResizeEditor(PluginCore& plug, int32_t width, int32_t height) override;

    // Every instance of the module shares it, as it shares the callback.
    static VstHost& Shared();
};
