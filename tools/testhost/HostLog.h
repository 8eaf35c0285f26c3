// The test host's side of the VST callback: answers what a DAW answers and logs every call.
#pragma once

#include <string>
#include <vector>

#include "plugin/Vst2Abi.h"

struct LoggedCall {
    VstInt32 opcode;
    VstInt32 index;
    VstIntPtr value;
    float opt;
    std::vector<VstEvent> events;  // copies of what came back through audioMasterProcessEvents
    AEffect* effect = nullptr;
    std::string name;  // the name a host-function lookup asked for
};

class HostLog {
public:
    static void Configure(const std::string& vendor, const std::string& product, bool verbose);
    static VstIntPtr VSTCALLBACK Callback(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value,
                                          void* ptr, float opt);
    static const std::vector<LoggedCall>& Calls();
    static size_t Count(VstInt32 opcode);
    static void Clear();
    // Answers audioMasterSizeWindow (width, height); without one the request answers 0.
    using SizeWindowHandler = VstIntPtr (*)(int width, int height);
    static void SetSizeWindowHandler(SizeWindowHandler handler);
};
