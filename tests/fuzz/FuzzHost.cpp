#include "tests/fuzz/FuzzHost.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "graphics/Graphics.h"
#include "graphics/native/HeadlessWindow.h"
#include "plugin/PluginCore.h"
#include "plugin/native/HostWindowTree.h"
#include "plugin/VstShell.h"

namespace {

FuzzHost::Kind posingAs = FuzzHost::kPlainHost;
int playState = 0;
bool functionsOffered = false;
void* mainWindow = nullptr;

int GetPlayState() { return playState; }
void* GetMainHwnd() { return mainWindow; }

// The host's lookup of its own functions by name.
constexpr VstInt32 kLookupOpcode = static_cast<VstInt32>(0xDEADBEEFu);
constexpr VstInt32 kLookupIndex = static_cast<VstInt32>(0xDEADF00Du);

VstIntPtr LookUp(VstInt32 index, const void* ptr)
{
    if (!functionsOffered || index != kLookupIndex || !ptr) return 0;
    const char* name = static_cast<const char*>(ptr);
    if (std::strcmp(name, "GetPlayState") == 0) return reinterpret_cast<VstIntPtr>(&GetPlayState);
    if (std::strcmp(name, "GetMainHwnd") == 0) return reinterpret_cast<VstIntPtr>(&GetMainHwnd);
    return 0;
}

VstIntPtr VSTCALLBACK Callback(AEffect*, VstInt32 opcode, VstInt32 index, VstIntPtr, void* ptr, float)
{
    if (opcode == kLookupOpcode) return LookUp(index, ptr);
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

HeadlessWindow* Window(AEffect* effect) { return HeadlessWindow::Of(GraphicsOf(Core(effect))); }

std::vector<uint8_t> SaveChunk(AEffect* effect)
{
    void* data = nullptr;
    const VstIntPtr size = Dispatch(effect, effGetChunk, 0, 0, &data);
    if (size == 0) return {};
    if (size < 0 || !data) Fail("effGetChunk answered a size without data");
    const auto* bytes = static_cast<const uint8_t*>(data);
    return std::vector<uint8_t>(bytes, bytes + size);
}

void SetHostFunctions(int state, bool offered, bool mainIsWindow)
{
    HostWindowTree::Clear();
    playState = state;
    functionsOffered = offered;
    static char notAWindow;
    mainWindow = mainIsWindow ? HostWindowTree::Add(nullptr, "REAPER") : &notAWindow;
}

void Fail(const char* what)
{
    std::fprintf(stderr, "finding: %s\n", what);
    std::abort();
}

}  // namespace FuzzHost
