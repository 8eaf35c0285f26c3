// A host callback for tests: answers vendor/product strings and records every call.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "plugin/Vst2Abi.h"

struct HostCall {
    VstInt32 opcode;
    VstInt32 index;
    VstIntPtr value;
    float opt;
    std::vector<VstEvent> events;  // copies of the events of audioMasterProcessEvents
    AEffect* effect = nullptr;
    std::string name;  // the name a host-function lookup asked for
};

struct FakeHost {
    static std::string vendor;
    static std::string product;
    static VstIntPtr version;
    static std::vector<HostCall> calls;
    // What audioMasterSizeWindow answers: 1 (the host makes the room) after Reset.
    static VstIntPtr sizeWindowAnswer;
    // Addresses answered to host-function lookups by name; unknown names answer 0.
    static std::map<std::string, VstIntPtr> functions;
    static constexpr VstInt32 kLookupOpcode = static_cast<VstInt32>(0xDEADBEEFu);
    static constexpr VstInt32 kLookupIndex = static_cast<VstInt32>(0xDEADF00Du);
    static void Reset(const char* vendor = "Test Vendor", const char* product = "Test Host");
    static VstIntPtr VSTCALLBACK Callback(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value,
                                          void* ptr, float opt);
    static size_t Count(VstInt32 opcode);
};

// A fresh instance made through the exported entry point, closed at scope end.
class PluginUnderTest {
public:
    PluginUnderTest();
    ~PluginUnderTest();
    AEffect* operator->() const { return effect; }
    AEffect* get() const { return effect; }
    VstIntPtr Dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr,
                       float opt = 0.0f) const
    {
        return effect->dispatcher(effect, opcode, index, value, ptr, opt);
    }
    // The state chunk as a host keeps it in a project, and handing such bytes back.
    std::vector<uint8_t> GetChunk() const;
    VstIntPtr SetChunk(const std::vector<uint8_t>& chunk) const;

private:
    AEffect* effect;
};
