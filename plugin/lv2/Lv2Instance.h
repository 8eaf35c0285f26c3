// One LV2 instance of the plug-in: the plug-in object driven through its instance record,
// as a VST host would drive it, plus what the LV2 ports and the editor need around it.
// The bundle's editor reaches it through the instance-access feature.
#pragma once

#include <atomic>
#include <cstdint>
#include <vector>

#include "plugin/Vst2Abi.h"

class PluginCore;

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
    // The control values last applied; NaN until the first block applies whatever is there.
    float lastControls[kControlCount];
    std::vector<double> wide[4];
    uint32_t chunkKey = 0;
    uint32_t chunkType = 0;
    // One bit per parameter whose value the host's control port does not know yet
    // (changed in the editor, or by a state restore); the editor sends them on idle.
    std::atomic<uint32_t> pendingToHost{0};
};

// The host callback every instance of the bundle calls: it records the editor's parameter
// changes for the host's control ports and answers nothing else.
VstIntPtr VSTCALLBACK Lv2HostCallback(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value,
                                      void* ptr, float opt);

// Whether `instance` is a live instance of this module: a host that cleans up the plug-in
// before its editor leaves the editor holding a pointer to nothing.
bool Lv2InstanceAlive(const Lv2Instance* instance);

// Sets parameter `index` to the plain value a control port carries: clamped to the range
// and, for on/off and list parameters, snapped to the nearest step. Called on the audio
// thread: the value is stored at once and reaches the editor at its next tick.
void SetParameterFromPort(PluginCore* core, int index, float value);
