// What the plug-in needs of the host it runs in, whatever the plug-in format: each format
// implements it over its own host interface (the VST shell over the host callback; LV2 and
// CLAP over theirs), so no format poses as another's host.
#pragma once

#include <cstdint>
#include <string>

class PluginCore;

class PluginHost {
public:
    virtual ~PluginHost() = default;

    // The host's vendor and product names and version, for telling hosts apart; false when
    // the host does not say. Asked once, while the plug-in is made.
    virtual bool Identify(PluginCore& plug, std::string& vendor, std::string& product, int32_t& version) = 0;
    // The user changed parameter `index` to `normalized` in the editor. The host hears of it
    // before it can read the value back, on the editor's thread, with no lock of ours held.
    virtual void ParameterEdited(PluginCore& plug, int32_t index, float normalized) = 0;
    // Asks for room for the editor of w x h pixels; true when the host made it.
    virtual bool ResizeEditor(PluginCore& plug, int32_t width, int32_t height) = 0;
    // The user pressed a mouse button in the editor and released it (or the editor lost the
    // mouse): the edits between are one gesture, for hosts that record them as one. On the
    // editor's thread; hosts without gestures ignore them.
    virtual void EditGestureBegan(PluginCore&) {}
    virtual void EditGestureEnded(PluginCore&) {}
};

// A host that answers nothing: for tools and tests that make the plug-in by themselves.
class NoHost final : public PluginHost {
public:
    bool Identify(PluginCore&, std::string&, std::string&, int32_t&) override { return false; }
    void ParameterEdited(PluginCore&, int32_t, float) override {}
    bool ResizeEditor(PluginCore&, int32_t, int32_t) override { return false; }
    static NoHost& Shared()
    {
        static NoHost host;
        return host;
    }
};
