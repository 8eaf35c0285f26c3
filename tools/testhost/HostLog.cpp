#include "tools/testhost/HostLog.h"

#include <cstdio>
#include <cstring>

#include "tools/testhost/HostFunctions.h"

namespace {
std::string hostVendor = "Quillograph";
std::string hostProduct = "Test Host";
bool logEveryCall = false;
std::vector<LoggedCall> calls;
HostLog::SizeWindowHandler sizeWindowHandler = nullptr;

const char* OpcodeName(VstInt32 opcode)
{
    switch (opcode) {
    case audioMasterAutomate: return "audioMasterAutomate";
    case audioMasterVersion: return "audioMasterVersion";
    case audioMasterProcessEvents: return "audioMasterProcessEvents";
    case audioMasterGetVendorString: return "audioMasterGetVendorString";
    case audioMasterGetProductString: return "audioMasterGetProductString";
    case audioMasterGetVendorVersion: return "audioMasterGetVendorVersion";
    case audioMasterSizeWindow: return "audioMasterSizeWindow";
    case HostFunctions::kLookupOpcode: return "host function lookup";
    default: return "other";
    }
}
}  // namespace

void HostLog::Configure(const std::string& vendor, const std::string& product, bool verbose)
{
    hostVendor = vendor;
    hostProduct = product;
    logEveryCall = verbose;
}

VstIntPtr VSTCALLBACK HostLog::Callback(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                                        float opt)
{
    LoggedCall call{opcode, index, value, opt, {}, effect, {}};
    VstIntPtr answer = 0;
    // Offered whatever the host poses as: only host id 1 may ask.
    if (opcode == HostFunctions::kLookupOpcode && index == HostFunctions::kLookupIndex && ptr) {
        call.name = static_cast<const char*>(ptr);
        answer = HostFunctions::Lookup(call.name.c_str());
    }
    switch (opcode) {
    case audioMasterVersion:
        answer = 2400;
        break;
    case audioMasterGetVendorString:
        if (ptr) std::snprintf(static_cast<char*>(ptr), kVstMaxVendorStrLen, "%s", hostVendor.c_str());
        answer = ptr ? 1 : 0;
        break;
    case audioMasterGetProductString:
        if (ptr) std::snprintf(static_cast<char*>(ptr), kVstMaxProductStrLen, "%s", hostProduct.c_str());
        answer = ptr ? 1 : 0;
        break;
    case audioMasterGetVendorVersion:
        answer = 1;
        break;
    case audioMasterSizeWindow:
        answer = sizeWindowHandler ? sizeWindowHandler(index, static_cast<int>(value)) : 0;
        break;
    case audioMasterProcessEvents:
        if (auto* block = static_cast<VstEvents*>(ptr))
            for (VstInt32 i = 0; i < block->numEvents; ++i)
                if (block->events[i]) call.events.push_back(*block->events[i]);
        answer = 1;
        break;
    default:
        break;
    }
    if (logEveryCall)
        std::printf("host: %s (%d) index %d value %ld opt %g -> %ld\n", OpcodeName(opcode), static_cast<int>(opcode),
                    static_cast<int>(index), static_cast<long>(value), static_cast<double>(opt),
                    static_cast<long>(answer));
    calls.push_back(call);
    return answer;
}

const std::vector<LoggedCall>& HostLog::Calls() { return calls; }

size_t HostLog::Count(VstInt32 opcode)
{
    size_t n = 0;
    for (const auto& call : calls) n += call.opcode == opcode;
    return n;
}

void HostLog::Clear() { calls.clear(); }

void HostLog::SetSizeWindowHandler(SizeWindowHandler handler) { sizeWindowHandler = handler; }
