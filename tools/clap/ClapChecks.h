// The checks a CLAP host makes of Quillograph.clap, the same natively and under Wine: each
// group makes its own instances on its own test host, calls every function on the thread the
// format names for it, and reports line by line (a thread-rule breach is a failure too).
#pragma once

#include <cstdint>
#include <functional>

#include "formats/clap/ClapAbi.h"
#include "tools/clap/ClapTestHost.h"
#include "tools/testhost/Report.h"

// What the editor checks need of the platform's windows.
struct ClapWindowHooks {
    const char* api = nullptr;  // CLAP_WINDOW_API_X11 or _WIN32
    // A host window to embed the editor in, and its removal.
    std::function<clap_window_t()> makeParent;
    std::function<void(const clap_window_t&)> destroyParent;
    // The editor's window inside the parent, or 0 when there is none.
    std::function<uintptr_t(const clap_window_t&)> childOf;
    // Serves the platform's windows (their messages) for about `ms` milliseconds.
    std::function<void(int ms)> serve;
    // Mouse input to the editor's window as the window system delivers it.
    std::function<void(uintptr_t editor, int x, int y, bool ctrl)> click;
    std::function<void(uintptr_t editor, int x, int y, int dy, bool shift)> drag;
    // The host's timer must drive the editor (Linux).
    bool needsTimer = false;
};

void CheckClapEntry(const ClapLibrary& library, Report& report);
void CheckClapAudio(const ClapLibrary& library, Report& report);
void CheckClapBadInput(const ClapLibrary& library, Report& report);
void CheckClapParams(const ClapLibrary& library, Report& report);
void CheckClapState(const ClapLibrary& library, Report& report);
void CheckClapEditor(const ClapLibrary& library, const ClapWindowHooks& hooks, Report& report);

// Every registered timer of `host` fired for `plugin` about every 15 ms for `ms` milliseconds,
// the platform served between.
void RunClapTimers(ClapInstanceUnderTest& instance, const ClapWindowHooks& hooks, int ms);
// Reports each thread-rule breach the host noted; true when there was none.
bool ReportClapProblems(ClapTestHost& host, Report& report, const char* during);
