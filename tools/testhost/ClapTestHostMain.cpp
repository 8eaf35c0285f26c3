// Our CLAP host for Windows: loads a Quillograph.clap by path and drives it as a DAW does,
// through the checks the native tests make (tools/clap/ClapChecks), its editor embedded in a
// window of ours and driven by window messages.
//   clap_test_host.exe Quillograph.clap
#include <windows.h>

#include <cstdio>
#include <string>

#include "tools/clap/ClapChecks.h"
#include "tools/testhost/MessagePump.h"

namespace {

const char* const kHostClass = "QuillographClapHostFrame";

LPARAM Point(int x, int y) { return MAKELPARAM(x, y); }

ClapWindowHooks Win32Hooks()
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = kHostClass;
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    RegisterClassA(&wc);

    ClapWindowHooks hooks;
    hooks.api = CLAP_WINDOW_API_WIN32;
    hooks.makeParent = [] {
        HWND frame = CreateWindowExA(0, kHostClass, "Quillograph CLAP test host", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
                                     40, 40, 720, 340, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
        ShowWindow(frame, SW_SHOWNOACTIVATE);
        PumpMessages(20);
        clap_window_t window;
        window.api = CLAP_WINDOW_API_WIN32;
        window.win32 = frame;
        return window;
    };
    hooks.destroyParent = [](const clap_window_t& w) {
        DestroyWindow(static_cast<HWND>(w.win32));
        PumpMessages(20);
    };
    hooks.childOf = [](const clap_window_t& w) -> uintptr_t {
        HWND frame = static_cast<HWND>(w.win32);
        return IsWindow(frame) ? reinterpret_cast<uintptr_t>(GetWindow(frame, GW_CHILD)) : 0;
    };
    hooks.serve = [](int ms) { PumpMessages(static_cast<DWORD>(ms)); };
    hooks.click = [](uintptr_t editor, int x, int y, bool ctrl) {
        HWND hwnd = reinterpret_cast<HWND>(editor);
        const WPARAM keys = ctrl ? MK_CONTROL : 0;
        SendMessageA(hwnd, WM_LBUTTONDOWN, MK_LBUTTON | keys, Point(x, y));
        SendMessageA(hwnd, WM_LBUTTONUP, keys, Point(x, y));
    };
    hooks.drag = [](uintptr_t editor, int x, int y, int dy, bool shift) {
        HWND hwnd = reinterpret_cast<HWND>(editor);
        const WPARAM keys = shift ? MK_SHIFT : 0;
        SendMessageA(hwnd, WM_LBUTTONDOWN, MK_LBUTTON | keys, Point(x, y));
        for (int step = 1; step <= 3; ++step)
            SendMessageA(hwnd, WM_MOUSEMOVE, MK_LBUTTON | keys, Point(x, y + dy * step / 3));
        SendMessageA(hwnd, WM_LBUTTONUP, keys, Point(x, y + dy));
    };
    return hooks;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: clap_test_host Quillograph.clap\n");
        return 2;
    }
    Report report;
    {
        ClapLibrary library(argv[1]);
        CheckClapEntry(library, report);
        if (library.Factory()) {
            CheckClapAudio(library, report);
            CheckClapBadInput(library, report);
            CheckClapParams(library, report);
            CheckClapState(library, report);
            CheckClapEditor(library, Win32Hooks(), report);
        }
    }
    report.Summary();
    return report.Failed() == 0 ? 0 : 1;
}
