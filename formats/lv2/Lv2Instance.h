// One LV2 instance of the plug-in: the plug-in object, what the LV2 ports and the editor need
// around it, and the host as the plug-in sees it. The bundle's editor reaches it through the
// instance-access feature, through Lv2Instances.
#pragma once

#include <atomic>
#include <cstdint>
#include <vector>

#include "plugin/PluginHost.h"

class PluginCore;

// The LV2 host as the plug-in sees it: it has no names to tell, it learns the user's changes
// through its control ports (the editor writes them on its next idle), and it makes room for
// the editor through the UI's resize feature, which the editor holds itself.
class Lv2Host final : public PluginHost {
public:
    bool Identify(PluginCore&, std::string&, std::string&, int32_t&) override { return false; }
    void ParameterEdited(PluginCore& plug, int32_t index, float normalized) override;
    bool ResizeEditor(PluginCore&, int32_t, int32_t) override { return false; }

    // One bit per parameter whose value the host's control port does not know yet
    // (changed in the editor, or by a state restore); the editor sends them on idle.
    std::atomic<uint32_t> pendingToHost{0};
};

struct Lv2Instance {
    // Port indices, as the bundle's description numbers them.
    enum Port : uint32_t { kInLeft = 0, kInRight = 1, kOutLeft = 2, kOutRight = 3, kFirstControl = 4 };
    static constexpr int kControlCount = 4;
    // Blocks are handed to the plug-in in pieces of at most this many frames, through
    // buffers made once, so the audio thread never allocates whatever the host's block size.
    static constexpr int kPieceFrames = 2048;
    // The state blob is the chunk written outside host id 1: at least these bytes, and more
    // when it carries the editor's scale in its tail. Its layout is the chunk loader's to judge.
    static constexpr size_t kStateBytes = 96;

    PluginCore* core = nullptr;
    const float* inputs[2] = {nullptr, nullptr};
    float* outputs[2] = {nullptr, nullptr};
    const float* controls[kControlCount] = {nullptr, nullptr, nullptr, nullptr};
    // The control values last seen, compared as bits; NaN until the first block applies
    // whatever is there.
    float lastControls[kControlCount];
    // A restored state outranks the ports: their values at the restore count as seen, so
    // only a port that changes afterwards applies. A port not connected then, or connected
    // anew before the next block (to a buffer the host just made), takes its first value in
    // that block as seen.
    bool adoptControl[kControlCount] = {};
    bool restoredBeforeRun = false;
    std::vector<double> wide[4];
    uint32_t chunkKey = 0;
    uint32_t chunkType = 0;
    Lv2Host host;
};

// Sets parameter `index` to the plain value a control port carries: clamped to the range
// and, for on/off and list parameters, snapped to the nearest step. Called on the audio
// thread: the value is stored at once and reaches the editor at its next tick.
void SetParameterFromPort(PluginCore* core, int index, float value);
