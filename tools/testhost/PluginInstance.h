// One plug-in instance as a host holds it: only the record and its function pointers.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "tools/testhost/HostLog.h"
#include "tools/testhost/PluginModule.h"

class PluginInstance {
public:
    // The host callback is the logging one unless a check brings its own.
    explicit PluginInstance(PluginEntry entry, audioMasterCallback host = HostLog::Callback)
        : effect(entry ? entry(host) : nullptr)
    {
    }
    ~PluginInstance() { Close(); }
    PluginInstance(const PluginInstance&) = delete;
    PluginInstance& operator=(const PluginInstance&) = delete;

    AEffect* operator->() const { return effect; }
    AEffect* get() const { return effect; }
    explicit operator bool() const { return effect != nullptr; }

    VstIntPtr Dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr,
                       float opt = 0.0f) const
    {
        return effect->dispatcher(effect, opcode, index, value, ptr, opt);
    }

    // Opens the instance and resumes it as a host does before its first block.
    void Start(float sampleRate = 44100.0f, VstIntPtr blockSize = 441) const
    {
        Dispatch(effOpen);
        Dispatch(effSetSampleRate, 0, 0, nullptr, sampleRate);
        Dispatch(effSetBlockSize, 0, blockSize);
        Dispatch(effMainsChanged, 0, 1);
    }

    // The state chunk as effGetChunk answers it (empty when it answers nothing).
    std::vector<uint8_t> GetChunk() const
    {
        void* data = nullptr;
        const VstIntPtr n = Dispatch(effGetChunk, 0, 0, &data);
        if (n <= 0 || !data) return {};
        const auto* bytes = static_cast<const uint8_t*>(data);
        return std::vector<uint8_t>(bytes, bytes + n);
    }

    // Hands the plug-in a copy of the bytes, as a host does with what it stored.
    VstIntPtr SetChunk(std::vector<uint8_t> bytes) const
    {
        return Dispatch(effSetChunk, 0, static_cast<VstIntPtr>(bytes.size()), bytes.empty() ? nullptr : bytes.data());
    }

    // A text request into a generous buffer, as most hosts hand.
    std::string Text(VstInt32 opcode, VstInt32 index = 0) const
    {
        char buffer[256];
        std::memset(buffer, 0, sizeof buffer);
        Dispatch(opcode, index, 0, buffer);
        buffer[sizeof buffer - 1] = '\0';
        return buffer;
    }

    void Close()
    {
        if (effect) Dispatch(effClose);
        effect = nullptr;
    }
    // The instance was closed by the host's own code elsewhere: nothing is left to close.
    void Forget() { effect = nullptr; }

private:
    AEffect* effect;
};
