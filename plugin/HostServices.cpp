#include "plugin/HostServices.h"

#include "plugin/HostId.h"
#include "plugin/HostWindows.h"
#include "plugin/Module.h"
#include "plugin/PluginCore.h"

namespace {

// The host's request for the address of one of its functions.
constexpr VstInt32 kLookupOpcode = static_cast<VstInt32>(0xDEADBEEFu);
constexpr VstInt32 kLookupIndex = static_cast<VstInt32>(0xDEADF00Du);

// Titles are read into a buffer of 256 characters.
constexpr size_t kMaxTitle = 255;

// Deep enough for any real window tree; ends a walk that a broken tree would make endless.
constexpr int kMaxWindowDepth = 256;

using PlayStateFunction = int (*)();
using MainWindowFunction = void* (*)();

bool ReadPlayState(int& state)
{
    auto function = reinterpret_cast<PlayStateFunction>(LookupHostFunction("GetPlayState"));
    if (!function) return false;
    state = function();
    return true;
}

bool Recording(int state) { return state == kHostRecording || state == kHostRecordPaused; }

// The name a title gives; false when the title names no FX chain.
bool ChainNameFromTitle(const std::string& title, std::string& name)
{
    size_t at = title.find("FX Chain");
    if (at == std::string::npos) at = title.find("FX chain");
    if (at == std::string::npos) return false;
    if (at == 0)
        name = title.size() > 13 ? title.substr(13) : title;
    else
        name = title.substr(0, at - 1);
    return true;
}

}  // namespace

void* LookupHostFunction(const char* name)
{
    audioMasterCallback host = HostCallbackRef();
    if (!host || !name) return nullptr;
    const VstIntPtr address = host(nullptr, kLookupOpcode, kLookupIndex, 0, const_cast<char*>(name), 0.0f);
    return reinterpret_cast<void*>(address);
}

void PostHostCommand(int command)
{
    int state = 0;
    if (!ReadPlayState(state) || Recording(state)) return;
    auto mainWindow = reinterpret_cast<MainWindowFunction>(LookupHostFunction("GetMainHwnd"));
    if (!mainWindow) return;
    void* window = mainWindow();
    if (HostWindows::IsWindow(window)) HostWindows::PostCommand(window, command);
}

int SetHostTransport(const PluginCore& plug, int request)
{
    if (!HasTransportCommands(plug.HostId())) return 0;
    int state = 0;
    if (!ReadPlayState(state)) return 0;
    if (Recording(state) || state == request) return state;
    switch (request) {
    case kHostStop: PostHostCommand(kHostCommandStop); break;
    case kHostPlay: PostHostCommand(kHostCommandPlay); break;
    case kHostPause: PostHostCommand(kHostCommandPause); break;
    default: break;
    }
    return state;
}

std::string FindFxChainName(void* window)
{
    std::string title;
    std::string name;
    for (int depth = 0; window && depth < kMaxWindowDepth; ++depth, window = HostWindows::ParentOf(window)) {
        if (!HostWindows::ReadTitle(window, title) || title.empty()) continue;
        if (title.size() > kMaxTitle) title.resize(kMaxTitle);
        if (ChainNameFromTitle(title, name)) return name;
    }
    return std::string();
}
