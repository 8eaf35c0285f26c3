#include "tools/testhost/EditorChecks.h"

#include <cstdio>
#include <string>

#include "tools/testhost/EditorHost.h"
#include "tools/testhost/PluginInstance.h"

namespace {

// Periods of the editor's 24 frames-per-second redraw timer.
constexpr DWORD kTimerPeriod = 41;

bool ClassRegistered(HMODULE library)
{
    WNDCLASSA wc;
    return GetClassInfoA(library, "VireoWndClass", &wc) != 0;
}

std::string ClassOf(HWND hwnd)
{
    char name[128] = {};
    GetClassNameA(hwnd, name, sizeof name);
    return name;
}

std::string TitleOf(HWND hwnd)
{
    char text[256] = {};
    GetWindowTextA(hwnd, text, sizeof text);
    return text;
}

LPARAM Point(int x, int y)
{
    return MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y));
}

void Start(PluginInstance& p)
{
    p.Dispatch(effOpen);
    p.Dispatch(effSetSampleRate, 0, 0, nullptr, 44100.0f);
    p.Dispatch(effSetBlockSize, 0, 441);
    p.Dispatch(effMainsChanged, 0, 1);
}

// The host's normalized value that makes the v scale read 2.0.
float VScaleNormalized(PluginInstance& p, double plain)
{
    p->setParameter(p.get(), 1, static_cast<float>((plain - 0.1) / (20.0 - 0.1)));
    return p->getParameter(p.get(), 1);
}

// What a user does with the mouse, sent as the window system sends it.
void MouseSession(HWND editor, EditorHost& host)
{
    SendMessageA(editor, WM_MOUSEMOVE, 0, Point(120, 50));
    host.Pump(kTimerPeriod * 2);
    SendMessageA(editor, WM_LBUTTONDOWN, MK_LBUTTON, Point(120, 50));
    SendMessageA(editor, WM_MOUSEMOVE, MK_LBUTTON, Point(124, 40));
    SendMessageA(editor, WM_LBUTTONUP, 0, Point(124, 40));
    host.Pump(kTimerPeriod * 2);
    SendMessageA(editor, WM_LBUTTONDOWN, MK_LBUTTON, Point(60, 60));
    SendMessageA(editor, WM_LBUTTONUP, 0, Point(60, 60));
    SendMessageA(editor, WM_LBUTTONDBLCLK, MK_LBUTTON, Point(60, 60));
    SendMessageA(editor, WM_LBUTTONUP, 0, Point(60, 60));
    RECT r = {};
    GetWindowRect(editor, &r);
    SendMessageA(editor, WM_MOUSEWHEEL, MAKEWPARAM(MK_CONTROL, 120), Point(r.left + 100, r.top + 40));
    SendMessageA(editor, WM_RBUTTONDOWN, MK_RBUTTON | MK_SHIFT, Point(100, 40));
    SendMessageA(editor, WM_RBUTTONUP, MK_SHIFT, Point(100, 40));
    SendMessageA(editor, WM_MOUSELEAVE, 0, 0);
    host.Pump(kTimerPeriod * 3);
    // Whatever a right click may have prompted goes with a second one.
    if (GetDlgItem(editor, 99)) {
        SendMessageA(editor, WM_RBUTTONDOWN, MK_RBUTTON, Point(5, 5));
        host.Pump(kTimerPeriod * 3);
    }
}

}  // namespace

void RunEditorChecks(const PluginModule& module, HMODULE library, const std::string& pngPath, Report& report)
{
    PluginInstance p(module.Entry());
    if (!report.Check(bool(p), "the plug-in made an instance")) return;
    Start(p);
    EditorHost host(p);
    if (!report.Check(host.Frame() != nullptr, "the host's frame window is made")) return;
    host.Pump(100);

    ERect* rect = nullptr;
    report.Check(p.Dispatch(effEditGetRect, 0, 0, &rect) == 1 && rect && rect->right - rect->left == 232 &&
                     rect->bottom - rect->top == 96,
                 "effEditGetRect answers 232 x 96");
    report.Check(!ClassRegistered(library), "no window class before the editor opens");
    report.Check(p.Dispatch(effEditOpen, 0, 0, nullptr) == 0 && !ClassRegistered(library),
                 "effEditOpen without a parent answers 0 and registers nothing");
    report.Check(p.Dispatch(effEditOpen, 0, 0, reinterpret_cast<void*>(static_cast<uintptr_t>(0xBAD0))) == 0 &&
                     !ClassRegistered(library),
                 "effEditOpen with a parent that is no window answers 0");

    const bool floating = p.Dispatch(effEditOpen, 0, 0, host.Frame()) == 1 && !FindWindowExA(host.Frame(), nullptr, "VireoWndClass", nullptr);
    HWND editor = host.Editor();
    if (!report.Check(editor != nullptr, "effEditOpen opens the editor")) return;
    RECT client = {};
    GetClientRect(editor, &client);
    if (floating) {
        report.Check(GetWindow(editor, GW_OWNER) == host.Frame() && TitleOf(editor).rfind("Quillograph", 0) == 0,
                     "a floating window owned by the host's window, titled " + TitleOf(editor));
    } else {
        report.Check(GetParent(editor) == host.Frame() && ClassOf(editor) == "VireoWndClass" &&
                         TitleOf(editor) == "Vireo",
                     "a child of the host's window, class VireoWndClass, title Vireo");
    }
    if (floating) {
        // The frame allowance is fixed; what it leaves for the client depends on the system's frame metrics.
        RECT outer = {};
        GetWindowRect(editor, &outer);
        report.Check(outer.right - outer.left == 232 + 6 && outer.bottom - outer.top == 96 + 23 && IsWindowVisible(editor),
                     "238 x 119 with its frame (client " + std::to_string(client.right) + " x " +
                         std::to_string(client.bottom) + "), shown");
    } else {
        report.Check(client.right == 232 && client.bottom == 96 && IsWindowVisible(editor), "232 x 96 client area, shown");
    }
    report.Check(ClassRegistered(library), "the class is registered while the editor is open");

    // The picture with the audio running, then a v-scale change from the host.
    p.Dispatch(effEditIdle);
    host.Pump(600);
    Capture before;
    report.Check(host.CaptureEditor(before), "the editor's client area is captured from the screen");
    if (!pngPath.empty())
        report.Check(EditorHost::WritePng(before, pngPath), "the picture on screen is written to " + pngPath);
    const std::string oldScale = p.Text(effGetParamDisplay, 1);
    VScaleNormalized(p, 2.0);
    const std::string newScale = p.Text(effGetParamDisplay, 1);
    host.FeedAudio(false);
    host.Pump(kTimerPeriod * 4);
    Capture after;
    host.CaptureEditor(after);
    report.Check(oldScale.rfind("1.0", 0) == 0 && newScale.rfind("2.0", 0) == 0,
                 "the host set v scale from " + oldScale + " to " + newScale);
    report.Check(after.DiffersIn(before, 212, 0, 232, 10),
                 "the v-scale caption changed on screen within four timer periods");
    host.Pump(kTimerPeriod * 4);
    Capture still;
    host.CaptureEditor(still);
    report.Check(!still.DiffersIn(after, 0, 0, 232, 96), "without new audio the picture stays still");
    host.FeedAudio(true);

    // Real mouse input.
    MouseSession(editor, host);
    const long fed = host.BlocksFed();
    host.Pump(300);
    Capture moved;
    report.Check(IsWindow(editor) && host.CaptureEditor(moved) && host.BlocksFed() > fed,
                 "after presses, drags, a double click, the wheel and right clicks the editor runs on");

    if (!floating) {
        SetWindowPos(editor, nullptr, 15, 25, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        report.Check(p.Dispatch(effEditOpen, 0, 0, host.Frame()) == 1, "a second effEditOpen answers 1");
        HWND again = host.Editor();
        RECT r = {};
        GetWindowRect(again, &r);
        MapWindowPoints(HWND_DESKTOP, host.Frame(), reinterpret_cast<POINT*>(&r), 2);
        report.Check(again && !IsWindow(editor) && r.left == 15 && r.top == 25 && r.right - r.left == 232,
                     "it re-creates the window at the same place");
        editor = again;
    } else {
        report.Check(p.Dispatch(effEditOpen, 0, 0, host.Frame()) == 1 && host.Editor() == editor,
                     "a second effEditOpen keeps the floating window");
    }

    report.Check(p.Dispatch(effEditClose) == 1 && !IsWindow(editor) && !ClassRegistered(library),
                 "effEditClose destroys the window and the class is gone");
    report.Check(p.Dispatch(effEditOpen, 0, 0, host.Frame()) == 1 && ClassRegistered(library),
                 "the next effEditOpen registers the class again");
    p.Dispatch(effEditClose);

    const DWORD gdiBefore = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    const DWORD userBefore = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
    bool all = true;
    // Top-level windows cost the window system far more: fewer floating cycles, each let settle.
    const int cycles = floating ? 10 : 100;
    for (int i = 0; i < cycles; ++i) {
        all = p.Dispatch(effEditOpen, 0, 0, host.Frame()) == 1 && all;
        if (floating || i % 20 == 0) host.Pump(kTimerPeriod * 2);
        p.Dispatch(effEditClose);
    }
    const DWORD gdiAfter = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    const DWORD userAfter = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
    report.Check(all && !host.Editor() && !ClassRegistered(library), std::to_string(cycles) + " open/close cycles leave no window and no class");
    if (gdiBefore == 0 && gdiAfter == 0)
        std::printf("note GetGuiResources counts nothing on this system: GDI and USER objects not measured\n");
    else
        report.Check(gdiAfter <= gdiBefore && userAfter <= userBefore,
                     "GDI objects " + std::to_string(gdiBefore) + " -> " + std::to_string(gdiAfter) + ", USER objects " +
                         std::to_string(userBefore) + " -> " + std::to_string(userAfter));

    // effClose while the editor is open closes it first.
    p.Dispatch(effEditOpen, 0, 0, host.Frame());
    editor = host.Editor();
    host.Pump(kTimerPeriod * 3);
    p.Dispatch(effMainsChanged, 0, 0);
    p.Close();
    report.Check(editor && !IsWindow(editor) && !ClassRegistered(library), "effClose with the editor open closes it");
    host.Pump(kTimerPeriod * 3);
}

bool CaptureEditorPng(const PluginModule& module, const std::string& pngPath, Report& report)
{
    PluginInstance p(module.Entry());
    if (!p) return false;
    Start(p);
    EditorHost host(p);
    if (!host.Frame() || p.Dispatch(effEditOpen, 0, 0, host.Frame()) != 1) return report.Check(false, "the editor opens");
    p.Dispatch(effEditIdle);
    host.Pump(1000);
    Capture picture;
    const bool written = host.CaptureEditor(picture) && EditorHost::WritePng(picture, pngPath);
    report.Check(written, "the editor as it was on screen, written to " + pngPath);
    p.Dispatch(effEditClose);
    p.Dispatch(effMainsChanged, 0, 0);
    return written;
}
