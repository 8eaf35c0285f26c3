#include "tools/testhost/EditorChecks.h"

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "tools/testhost/DialogPresser.h"
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
    // With a modifier a right click opens a modal colour chooser: those are the gesture checks'.
    SendMessageA(editor, WM_RBUTTONDOWN, MK_RBUTTON, Point(100, 40));
    SendMessageA(editor, WM_RBUTTONUP, 0, Point(100, 40));
    SendMessageA(editor, WM_MOUSELEAVE, 0, 0);
    host.Pump(kTimerPeriod * 3);
    // Whatever a right click may have prompted goes with a second one.
    if (GetDlgItem(editor, 99)) {
        SendMessageA(editor, WM_RBUTTONDOWN, MK_RBUTTON, Point(5, 5));
        host.Pump(kTimerPeriod * 3);
    }
}

void Post(HWND editor, UINT message, WPARAM wParam, LPARAM lParam)
{
    PostMessageA(editor, message, wParam, lParam);
}

void PostClick(HWND editor, UINT down, UINT up, WPARAM keys, int x, int y)
{
    Post(editor, down, keys, Point(x, y));
    Post(editor, up, keys & ~static_cast<WPARAM>(MK_LBUTTON | MK_RBUTTON), Point(x, y));
}

void PostWheel(HWND editor, WPARAM keys, int delta)
{
    RECT r = {};
    GetWindowRect(editor, &r);
    Post(editor, WM_MOUSEWHEEL, MAKEWPARAM(keys, static_cast<WORD>(static_cast<int16_t>(delta))),
         Point(r.left + 100, r.top + 50));
}

bool HostToldOf(int index, float value)
{
    for (const LoggedCall& call : HostLog::Calls())
        if (call.opcode == audioMasterAutomate && call.index == index && call.opt == value) return true;
    return false;
}

// Within the editor's 232 x 96: a floating window's client area may be a row larger.
size_t PixelsOf(const Capture& c, uint32_t rgb)
{
    size_t n = 0;
    for (int y = 0; y < 96 && y < c.height; ++y)
        for (int x = 0; x < 232 && x < c.width; ++x) n += c.At(x, y) == rgb;
    return n;
}

std::string Count(size_t n) { return std::to_string(n); }

// Holds alt down in this thread's key state, where the editor reads it for mouse messages.
void SetAlt(bool down)
{
    BYTE state[256] = {};
    GetKeyboardState(state);
    state[VK_MENU] = down ? 0x80 : 0;
    SetKeyboardState(state);
}

// A right click with modifiers that opens a colour chooser titled `title`; a second thread
// types the colour (when red is not negative) and presses `button`. Answers whether the
// chooser with that title appeared.
bool ChooseColour(EditorHost& host, HWND editor, WPARAM keys, bool alt, const std::string& title, int button,
                  int red, int green, int blue)
{
    std::atomic<bool> found{false};
    const std::vector<std::pair<int, int>> typed =
        red < 0 ? std::vector<std::pair<int, int>>() : ColourFields(red, green, blue);
    std::thread presser = PressDialog(title, button, typed, found);
    if (alt) SetAlt(true);
    PostClick(editor, WM_RBUTTONDOWN, WM_RBUTTONUP, MK_RBUTTON | keys, 60, 60);
    host.Pump(kTimerPeriod * 2);
    if (alt) SetAlt(false);
    presser.join();
    host.Pump(kTimerPeriod * 3);
    return found;
}

// The user's gestures posted to the editor as the window system posts them: what the host is
// told, and what the screen shows.
void GestureChecks(PluginInstance& p, EditorHost& host, HWND editor, Report& report)
{
    p->setParameter(p.get(), 0, 1.0f / 3.0f);  // freq
    p->setParameter(p.get(), 2, 0.0f);
    p->setParameter(p.get(), 3, 0.0f);
    VScaleNormalized(p, 1.0);
    host.Pump(kTimerPeriod * 2);

    HostLog::Clear();
    PostClick(editor, WM_LBUTTONDOWN, WM_LBUTTONUP, MK_LBUTTON, 100, 50);
    host.Pump(kTimerPeriod * 2);
    report.Check(HostToldOf(3, 1.0f) && p.Text(effGetParamDisplay, 3) == "on",
                 "a left click turns pause " + p.Text(effGetParamDisplay, 3) +
                     " and the host is told (audioMasterAutomate, 3)");
    PostClick(editor, WM_LBUTTONDOWN, WM_LBUTTONUP, MK_LBUTTON, 100, 50);
    host.Pump(kTimerPeriod * 2);
    report.Check(HostToldOf(3, 0.0f) && p.Text(effGetParamDisplay, 3) == "off", "a second click turns it off");

    const std::string before = p.Text(effGetParamDisplay, 0);
    PostClick(editor, WM_RBUTTONDOWN, WM_RBUTTONUP, MK_RBUTTON, 100, 50);
    host.Pump(kTimerPeriod * 2);
    const std::string after = p.Text(effGetParamDisplay, 0);
    report.Check(before == "freq" && after == "phase" && HostToldOf(0, 2.0f / 3.0f),
                 "a right click steps the domain from " + before + " to " + after);

    std::string scales;
    const struct {
        WPARAM keys;
        int delta;
    } wheels[] = {{0, 240}, {MK_CONTROL, 120}, {MK_SHIFT, -120}, {MK_CONTROL | MK_SHIFT, -120}, {0, 60}};
    for (const auto& w : wheels) {
        PostWheel(editor, w.keys, w.delta);
        host.Pump(kTimerPeriod);
        scales += (scales.empty() ? "" : " ") + p.Text(effGetParamDisplay, 1);
    }
    report.Check(scales == "1.20 1.21 0.21 0.20 0.20", "wheel notches plain, ctrl, shift, ctrl+shift, half: " + scales);
    VScaleNormalized(p, 1.0);

    // The background, in a still "time" picture.
    p->setParameter(p.get(), 0, 0.0f);
    host.FeedAudio(false);
    host.Pump(kTimerPeriod * 3);
    Capture still, cancelled, chosen;
    host.CaptureEditor(still);
    report.Check(ChooseColour(host, editor, MK_SHIFT, false, "Background Color", IDCANCEL, -1, 0, 0),
                 "shift + right click opens the colour chooser titled Background Color");
    host.CaptureEditor(cancelled);
    report.Check(!cancelled.DiffersIn(still, 0, 0, 232, 96) && PixelsOf(still, 0) > 10000,
                 "Cancel leaves the black background (" + Count(PixelsOf(still, 0)) + " pixels)");
    ChooseColour(host, editor, MK_SHIFT, false, "Background Color", IDOK, 20, 90, 160);
    host.CaptureEditor(chosen);
    report.Check(PixelsOf(chosen, 0x145AA0) == PixelsOf(still, 0) && PixelsOf(chosen, 0) == 0,
                 "OK with (20, 90, 160) typed: " + Count(PixelsOf(chosen, 0x145AA0)) + " pixels of it, none black");
    report.Check(ChooseColour(host, editor, 0, true, "Graph Edge Color", IDCANCEL, -1, 0, 0),
                 "alt + right click opens the chooser titled Graph Edge Color");

    // The fill of the freq graph while the tones play.
    p->setParameter(p.get(), 0, 1.0f / 3.0f);
    host.FeedAudio(true);
    host.Pump(kTimerPeriod * 6);
    Capture freq, filled;
    host.CaptureEditor(freq);
    const size_t defaultFill = PixelsOf(freq, 0xDCDC64);
    report.Check(ChooseColour(host, editor, MK_CONTROL, false, "Graph Fill Color", IDOK, 30, 200, 60),
                 "ctrl + right click opens the chooser titled Graph Fill Color");
    host.CaptureEditor(filled);
    report.Check(defaultFill > 50 && PixelsOf(filled, 0x1EC83C) > 50 && PixelsOf(filled, 0xDCDC64) == 0,
                 "the freq fill on screen: " + Count(defaultFill) + " default pixels before, " +
                     Count(PixelsOf(filled, 0x1EC83C)) + " of (30, 200, 60) after");

    // A plain double click: its first press pauses, then the defaults return.
    VScaleNormalized(p, 3.0);
    Post(editor, WM_LBUTTONDOWN, MK_LBUTTON, Point(60, 60));
    Post(editor, WM_LBUTTONUP, 0, Point(60, 60));
    Post(editor, WM_LBUTTONDBLCLK, MK_LBUTTON, Point(60, 60));
    Post(editor, WM_LBUTTONUP, 0, Point(60, 60));
    host.Pump(kTimerPeriod * 3);
    Capture reset;
    host.CaptureEditor(reset);
    report.Check(PixelsOf(reset, 0xDCDC64) > 50 && PixelsOf(reset, 0x1EC83C) == 0 && PixelsOf(reset, 0x145AA0) == 0 &&
                     PixelsOf(reset, 0) > 5000,
                 "a double click restores the default fill (" + Count(PixelsOf(reset, 0xDCDC64)) +
                     " pixels) and background on screen");
    report.Check(p.Text(effGetParamDisplay, 1) == "1.00" && p.Text(effGetParamDisplay, 3) == "on",
                 "after pausing with its first press it reset the v scale to " + p.Text(effGetParamDisplay, 1));
    p->setParameter(p.get(), 3, 0.0f);
}

}  // namespace

// A host whose timer fires while the modal colour chooser runs and closes the plug-in there.
AEffect* closingInside = nullptr;
bool closedInside = false;

VOID CALLBACK CloseWhenTheChooserShows(HWND, UINT, UINT_PTR timer, DWORD)
{
    if (!closingInside || !FindWindowA("#32770", "Background Color")) return;
    KillTimer(nullptr, timer);
    AEffect* effect = closingInside;
    closingInside = nullptr;
    effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.0f);
    closedInside = true;
}

// The chooser and the editor go with the plug-in, and neither the click that opened the
// chooser nor anything after it touches what is gone.
void CheckCloseDuringChooser(const PluginModule& module, Report& report)
{
    PluginInstance p(module.Entry());
    if (!p) return;
    p.Start();
    HWND frame = CreateWindowExA(0, "STATIC", "Closing host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 60, 60, 320, 200,
                                 nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    if (!frame || p.Dispatch(effEditOpen, 0, 0, frame) != 1) {
        if (frame) DestroyWindow(frame);
        report.Check(false, "the editor opens for the close during the chooser");
        return;
    }
    HWND editor = FindWindowExA(frame, nullptr, "VireoWndClass", nullptr);
    for (HWND top = FindWindowExA(nullptr, nullptr, "VireoWndClass", nullptr); !editor && top;
         top = FindWindowExA(nullptr, top, "VireoWndClass", nullptr))
        if (GetWindow(top, GW_OWNER) == frame) editor = top;
    closingInside = p.get();
    closedInside = false;
    const UINT_PTR timer = SetTimer(nullptr, 0, 50, CloseWhenTheChooserShows);
    PostClick(editor, WM_RBUTTONDOWN, WM_RBUTTONUP, MK_RBUTTON | MK_SHIFT, 60, 60);
    for (int i = 0; i < 100 && !closedInside; ++i) EditorHost::Pump(50);
    EditorHost::Pump(kTimerPeriod * 3);
    if (closedInside) {
        p.Forget();
    } else {
        KillTimer(nullptr, timer);
        closingInside = nullptr;
    }
    const bool chooserLeft = FindWindowA("#32770", "Background Color") != nullptr;
    report.Check(closedInside && editor && !IsWindow(editor) && !chooserLeft,
                 "a host closing the plug-in while its colour chooser is open ends the chooser, the editor and the "
                 "plug-in, and runs on (closed " + std::to_string(closedInside) + ", editor " +
                     std::to_string(editor != nullptr) + " " + std::to_string(editor && IsWindow(editor)) +
                     ", chooser left " + std::to_string(chooserLeft) + ")");
    DestroyWindow(frame);
}

void RunEditorChecks(const PluginModule& module, HMODULE library, const std::string& pngPath, Report& report)
{
    PluginInstance p(module.Entry());
    if (!report.Check(bool(p), "the plug-in made an instance")) return;
    p.Start();
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
    GestureChecks(p, host, editor, report);

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
    CheckCloseDuringChooser(module, report);
}

bool CaptureEditorPng(const PluginModule& module, const std::string& pngPath, Report& report)
{
    PluginInstance p(module.Entry());
    if (!p) return false;
    p.Start();
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
