#include "tools/testhost/HostFunctions.h"

#include <cstring>

namespace {

const char* kMainClass = "QuillographTestHostMain";
volatile LONG playState = 0;
HWND mainWindow = nullptr;
HWND answeredWindow = nullptr;
std::vector<HostFunctions::Received> received;
thread_local int pluginCalls = 0;

int GetPlayState() { return static_cast<int>(playState); }

HWND GetMainHwnd() { return answeredWindow ? answeredWindow : mainWindow; }

LRESULT CALLBACK MainProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message != WM_COMMAND) return DefWindowProcA(hwnd, message, wParam, lParam);
    received.push_back(HostFunctions::Received{wParam, lParam, pluginCalls > 0, GetCurrentThreadId()});
    // The transport follows its commands, as the host's would.
    if (wParam == HostFunctions::kPlay) playState = 1;
    if (wParam == HostFunctions::kPause) playState = 2;
    if (wParam == HostFunctions::kStop) playState = 0;
    return 0;
}

}  // namespace

VstIntPtr HostFunctions::Lookup(const char* name)
{
    if (!name) return 0;
    if (std::strcmp(name, "GetPlayState") == 0) return reinterpret_cast<VstIntPtr>(&GetPlayState);
    if (std::strcmp(name, "GetMainHwnd") == 0) return reinterpret_cast<VstIntPtr>(&GetMainHwnd);
    return 0;
}

void HostFunctions::SetPlayState(int state) { playState = state; }

int HostFunctions::PlayState() { return static_cast<int>(playState); }

HWND HostFunctions::CreateMainWindow()
{
    if (mainWindow) return mainWindow;
    WNDCLASSA wc;
    std::memset(&wc, 0, sizeof wc);
    wc.lpfnWndProc = MainProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = kMainClass;
    RegisterClassA(&wc);
    mainWindow = CreateWindowExA(0, kMainClass, "Quillograph test host main window", WS_OVERLAPPEDWINDOW, 0, 0, 300,
                                 200, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    return mainWindow;
}

void HostFunctions::DestroyMainWindow()
{
    if (mainWindow) DestroyWindow(mainWindow);
    mainWindow = nullptr;
}

void HostFunctions::AnswerMainWindow(HWND handle) { answeredWindow = handle; }

std::vector<HostFunctions::Received> HostFunctions::TakeCommands()
{
    std::vector<Received> taken;
    taken.swap(received);
    return taken;
}

HostFunctions::PluginCall::PluginCall() { ++pluginCalls; }

HostFunctions::PluginCall::~PluginCall() { --pluginCalls; }
