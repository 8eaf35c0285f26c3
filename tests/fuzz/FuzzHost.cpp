#include "tests/fuzz/FuzzHost.h"

#include <cstdio>
#include <cstdlib>

#include "graphics/native/HeadlessWindow.h"
#include "plugin/PluginCore.h"
#include "plugin/VstShell.h"

namespace {

FuzzHost::Kind posingAs = FuzzHost::kPlainHost;

VstIntPtr VSTCALLBACK Callback(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void* ptr, float)
{
    switch (opcode) {
    case audioMasterVersion:
        return 2400;
    case audioMasterGetVendorString:
        if (!ptr) return 0;
        std::snprintf(static_cast<char*>(ptr), kVstMaxVendorStrLen, "%s",
                      posingAs == FuzzHost::kHostOne ? "Cockos" : "Fuzz Vendor");
        return 1;
    case audioMasterGetProductString:
        if (!ptr) return 0;
        std::snprintf(static_cast<char*>(ptr), kVstMaxProductStrLen, "%s",
                      posingAs == FuzzHost::kHostOne ? "REAPER" : "Fuzz Host");
        return 1;
    case audioMasterGetVendorVersion:
        return 1;
    case audioMasterProcessEvents:
        return 1;
    default:
        return 0;  // no host functions, no transport
    }
}

}  // namespace

namespace FuzzHost {

AEffect* MakeInstance(Kind kind)
{
    posingAs = kind;
    return VSTPluginMain(Callback);
}

void Start(AEffect* effect)
{
    Dispatch(effect, effOpen);
    Dispatch(effect, effSetSampleRate, 0, 0, nullptr, 44100.0f);
    Dispatch(effect, effSetBlockSize, 0, 512);
    Dispatch(effect, effMainsChanged, 0, 1);
}

void Close(AEffect* effect)
{
    if (effect) Dispatch(effect, effClose);
}

VstIntPtr Dispatch(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt)
{
    return effect->dispatcher(effect, opcode, index, value, ptr, opt);
}

PluginCore* Core(AEffect* effect) { return PluginCore::FromRecord(effect); }

HeadlessWindow* Window(AEffect* effect)
{
    PluginCore* core = Core(effect);
    return core ? dynamic_cast<HeadlessWindow*>(core->GetGraphics()) : nullptr;
}

std::vector<uint8_t> SaveChunk(AEffect* effect)
{
    void* data = nullptr;
    const VstIntPtr size = Dispatch(effect, effGetChunk, 0, 0, &data);
    if (size == 0) return {};
    if (size < 0 || !data) Fail("effGetChunk answered a size without data");
    const auto* bytes = static_cast<const uint8_t*>(data);
    return std::vector<uint8_t>(bytes, bytes + size);
}

void Fail(const char* what)
{
    std::fprintf(stderr, "finding: %s\n", what);
    std::abort();
}

}  // namespace FuzzHost
