// What the test host offers outside the published interface, as host id 1 does: its own
// functions looked up by name through the callback ("GetPlayState", "GetMainHwnd"), a
// transport, and a main window that carries out the transport commands posted to it.
#pragma once

#include <windows.h>

#include <vector>

#include "plugin/Vst2Abi.h"

class HostFunctions {
public:
    static constexpr VstInt32 kLookupOpcode = static_cast<VstInt32>(0xDEADBEEFu);
    static constexpr VstInt32 kLookupIndex = static_cast<VstInt32>(0xDEADF00Du);
    enum Command { kPlay = 1007, kPause = 1008, kStop = 1016 };

    // The address of the function named, 0 for names the host does not offer.
    static VstIntPtr Lookup(const char* name);

    // The transport as GetPlayState answers it; the main window's commands move it.
    static void SetPlayState(int state);
    static int PlayState();

    // The main window GetMainHwnd answers (null until made).
    static HWND CreateMainWindow();
    static void DestroyMainWindow();
    // GetMainHwnd answers this handle instead of the main window's (null: the real one).
    static void AnswerMainWindow(HWND handle);

    struct Received {
        WPARAM wParam;
        LPARAM lParam;
        bool duringPluginCall;  // a call into the plug-in was still running on this thread
        DWORD thread;
    };
    static std::vector<Received> TakeCommands();

    // Marks a call into the plug-in as running on the calling thread, for its lifetime.
    class PluginCall {
    public:
        PluginCall();
        ~PluginCall();
        PluginCall(const PluginCall&) = delete;
        PluginCall& operator=(const PluginCall&) = delete;
    };
};
