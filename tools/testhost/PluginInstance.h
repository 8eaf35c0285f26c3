// One plug-in instance as a host holds it: only the record and its function pointers.
#pragma once

#include <cstring>
#include <string>

#include "tools/testhost/HostLog.h"
#include "tools/testhost/PluginModule.h"

class PluginInstance {
public:
    explicit PluginInstance(PluginEntry entry) : effect(entry ? entry(HostLog::Callback) : nullptr) {}
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

private:
    AEffect* effect;
};
