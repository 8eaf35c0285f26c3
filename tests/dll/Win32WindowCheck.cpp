// Drives the editor's Win32 window layer directly under Wine, with real windows, messages
// and dialogs: class registration and its counter, child and floating windows, the timer's
// redraw, mouse routing, the value prompt, the colour chooser, the opener of the user guide
// and the module paths.
// Prints one line per check and a closing "N passed, M failed".
#include <windows.h>
#undef DrawText
#undef LoadBitmap

#include <atomic>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <thread>

#include "analyser/AnalyserView.h"
#include "graphics/Control.h"
#include "graphics/GraphicsRaster.h"
#include "graphics/win32/Win32Window.h"
#include "plugin/Module.h"
#include "plugin/Param.h"
#include "plugin/VstShell.h"
#include "tools/testhost/DialogPresser.h"
#include "tools/testhost/MessagePump.h"

namespace {

int passed = 0, failed = 0;

bool Check(bool ok, const std::string& what)
{
    std::printf("%s %s\n", ok ? "ok  " : "FAIL", what.c_str());
    std::fflush(stdout);
    ++(ok ? passed : failed);
    return ok;
}

void Note(const std::string& what)
{
    std::printf("note %s\n", what.c_str());
    std::fflush(stdout);
}

// A control that fills its area with one colour and counts what reaches it.
class ProbeControl : public Control {
public:
    ProbeControl(const Rect& r, int32_t paramIdx) : Control(nullptr, r, paramIdx, Blend(BlendKind::Copy, 1.0f)) {}
    bool Draw(Graphics& g) override
    {
        ++draws;
        return g.FillRect(Colour(255, 40, 120, 200), drawRect, blend);
    }
    void OnMouseDown(int32_t x, int32_t y, const MouseKeys& k) override { ++downs, lastX = x, lastY = y, keys = k; }
    void OnMouseUp(int32_t x, int32_t y) override { ++ups, lastX = x, lastY = y; }
    void OnMouseDrag(int32_t x, int32_t y, int32_t dx, int32_t, const MouseKeys&) override
    {
        ++drags, lastX = x, lastY = y, lastDx = dx;
    }
    void OnMouseDblClick(int32_t, int32_t, const MouseKeys&) override { ++doubles; }
    void OnMouseWheel(int32_t x, int32_t y, const MouseKeys&, int32_t steps) override
    {
        ++wheels, lastX = x, lastY = y, lastSteps = steps;
    }
    void OnMouseOver(int32_t, int32_t, const MouseKeys&) override { ++overs; }
    void OnMouseOut() override { ++outs; }

    std::atomic<int> draws{0};
    int downs = 0, ups = 0, drags = 0, doubles = 0, wheels = 0, overs = 0, outs = 0;
    int32_t lastX = -1, lastY = -1, lastDx = 0, lastSteps = -99;
    MouseKeys keys;
};

const char* kHostClass = "QuillographCheckHost";

HWND MakeHostWindow(const char* title)
{
    return CreateWindowExA(0, kHostClass, title, WS_OVERLAPPEDWINDOW | WS_VISIBLE, 50, 50, 420, 300, nullptr, nullptr,
                           GetModuleHandleA(nullptr), nullptr);
}

void Pump(DWORD ms)
{
    PumpMessages(ms);
}

bool ClassRegistered()
{
    WNDCLASSA wc;
    return GetClassInfoA(GetModuleHandleA(nullptr), Win32Window::WindowClassName(), &wc) != 0;
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

struct Editor {
    std::unique_ptr<Graphics> graphics;
    ProbeControl* probe = nullptr;
    Win32Window* win() const { return Win32Window::Of(graphics.get()); }
    HWND hwnd() const { return static_cast<HWND>(graphics->GetWindowHandle()); }
};

Editor MakeEditor()
{
    Editor e;
    e.graphics.reset(CreateGraphics(nullptr, 232, 96, 24.0));
    e.probe = new ProbeControl(Rect(20, 10, 120, 60), 0);
    e.graphics->AttachControl(e.probe);
    e.graphics->mouseOverEnabled = true;
    e.graphics->CreateSurface();
    return e;
}

void CheckOpeningAndClass(HWND host)
{
    Editor e = MakeEditor();
    Check(!ClassRegistered() && Win32Window::ClassUserCount() == 0, "no class before the first open");
    Check(!e.graphics->OpenWindow(nullptr), "a null parent is refused");
    Check(!e.graphics->OpenWindow(reinterpret_cast<void*>(static_cast<uintptr_t>(0x1234))),
          "a parent that is no window is refused");
    Check(!ClassRegistered() && Win32Window::ClassUserCount() == 0, "refused opens leave the class counter at 0");

    Check(e.graphics->OpenWindow(host), "opens in the host's window");
    HWND editor = e.hwnd();
    RECT client = {};
    GetClientRect(editor, &client);
    const LONG_PTR style = GetWindowLongPtrA(editor, GWL_STYLE);
    Check(ClassRegistered() && Win32Window::ClassUserCount() == 1, "the class is registered while open");
    Check(GetParent(editor) == host && ClassOf(editor) == "VireoWndClass" && TitleOf(editor) == "Vireo",
          "a child of the host, class VireoWndClass, title Vireo");
    Check(client.right == 232 && client.bottom == 96, "client area 232 x 96");
    Check((style & (WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN)) == (WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN) &&
              (style & WS_VISIBLE),
          "child, clipping siblings and children, shown");
    Check((GetClassLongPtrA(editor, GCL_STYLE) & CS_DBLCLKS) != 0, "the class takes double clicks");

    Pump(300);
    Check(e.probe->draws > 0, "the timer paints the dirty control");
    const int drawn = e.probe->draws;
    Pump(200);
    Check(e.probe->draws == drawn, "a clean editor is not redrawn");
    e.probe->MarkDirty(false);
    Pump(200);
    Check(e.probe->draws == drawn + 1, "a control marked dirty is redrawn once by the next ticks");

    // Moved by the host, then opened again: made anew at the same place.
    SetWindowPos(editor, nullptr, 10, 20, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    Check(e.graphics->OpenWindow(host), "a second open in child mode succeeds");
    HWND again = e.hwnd();
    RECT r = {};
    GetWindowRect(again, &r);
    MapWindowPoints(HWND_DESKTOP, host, reinterpret_cast<POINT*>(&r), 2);
    Check(!IsWindow(editor) && IsWindow(again), "the window is made anew");
    Check(r.left == 10 && r.top == 20 && r.right - r.left == 232 && r.bottom - r.top == 96,
          "at the same place and size (" + std::to_string(r.left) + "," + std::to_string(r.top) + ")");
    Check(Win32Window::ClassUserCount() == 1, "the counter still counts one editor");

    // A second editor shares the class; it goes only with the last one.
    Editor other = MakeEditor();
    Check(other.graphics->OpenWindow(host) && Win32Window::ClassUserCount() == 2, "a second editor opens");
    e.graphics->CloseWindow();
    Check(!IsWindow(again) && !e.graphics->IsWindowOpen() && ClassRegistered(), "closing one keeps the class");
    e.graphics->CloseWindow();
    Check(Win32Window::ClassUserCount() == 1, "closing twice counts once");
    SendMessageA(other.hwnd(), WM_CLOSE, 0, 0);
    Check(!other.graphics->IsWindowOpen() && !ClassRegistered() && Win32Window::ClassUserCount() == 0,
          "WM_CLOSE closes the last editor and the class is gone");
    Check(e.graphics->OpenWindow(host) && ClassRegistered(), "the next open registers it again");

    // A window of our class that no editor owns answers as any plain window.
    HWND stray = CreateWindowExA(0, "VireoWndClass", "stray", WS_CHILD, 0, 0, 50, 50, host, nullptr,
                                 GetModuleHandleA(nullptr), nullptr);
    if (stray) {
        SendMessageA(stray, WM_LBUTTONDOWN, MK_LBUTTON, Point(30, 30));
        SendMessageA(stray, WM_TIMER, 2, 0);
        SendMessageA(stray, WM_MOUSEWHEEL, MAKEWPARAM(0, 120), Point(30, 30));
        DestroyWindow(stray);
    }
    Check(stray && e.probe->downs == 0 && e.probe->wheels == 0, "messages of a window without its editor are ignored");

    // The host destroys its frame before closing the editor.
    HWND frame = CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE, 0, 0, 300, 150, host, nullptr,
                                 GetModuleHandleA(nullptr), nullptr);
    e.graphics->CloseWindow();
    Check(e.graphics->OpenWindow(frame), "opens in a frame");
    DestroyWindow(frame);
    Check(!e.graphics->IsWindowOpen(), "a frame destroyed under the editor closes it");
    e.graphics->CloseWindow();
    Check(!ClassRegistered() && Win32Window::ClassUserCount() == 0, "the close that follows balances the class");

    // Opening and closing leaks no window or GDI object.
    const DWORD gdiBefore = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    const DWORD userBefore = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
    bool all = true;
    for (int i = 0; i < 100; ++i) {
        all = e.graphics->OpenWindow(host) && all;
        Pump(i % 25 == 0 ? 60 : 0);
        e.graphics->CloseWindow();
    }
    const DWORD gdiAfter = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    const DWORD userAfter = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
    Check(all && FindWindowExA(host, nullptr, "VireoWndClass", nullptr) == nullptr && !ClassRegistered(),
          "100 open/close cycles leave no window and no class");
    if (gdiBefore == 0 && gdiAfter == 0)
        Note("GetGuiResources counts nothing on this system: GDI and USER objects not measured");
    else
        Check(gdiAfter <= gdiBefore && userAfter <= userBefore,
              "GDI objects " + std::to_string(gdiBefore) + " -> " + std::to_string(gdiAfter) + ", USER objects " +
                  std::to_string(userBefore) + " -> " + std::to_string(userAfter));
}

void CheckMouse(HWND host)
{
    Editor e = MakeEditor();
    e.graphics->OpenWindow(host);
    HWND editor = e.hwnd();
    ProbeControl& p = *e.probe;
    Pump(100);

    SendMessageA(editor, WM_LBUTTONDOWN, MK_LBUTTON | MK_SHIFT | MK_CONTROL, Point(30, 25));
    Check(p.downs == 1 && p.lastX == 30 && p.lastY == 25 && p.keys.left && !p.keys.right && p.keys.shift && p.keys.ctrl,
          "left press reaches the control with its position and keys");
    Check(GetCapture() == editor, "a press takes the capture");
    SendMessageA(editor, WM_MOUSEMOVE, MK_LBUTTON, Point(36, 25));
    Check(p.drags == 1 && p.lastDx == 6, "a move with the button held drags by the distance moved");
    SendMessageA(editor, WM_LBUTTONUP, 0, Point(300, 300));
    Check(p.ups == 1 && GetCapture() != editor, "the release outside reaches the pressed control and frees the capture");
    SendMessageA(editor, WM_MOUSEMOVE, MK_LBUTTON, Point(40, 25));
    Check(p.drags == 1, "no drag without the capture");
    SendMessageA(editor, WM_LBUTTONDBLCLK, MK_LBUTTON, Point(30, 25));
    Check(p.doubles == 1, "a double click arrives as one");
    SendMessageA(editor, WM_RBUTTONDOWN, MK_RBUTTON, Point(30, 25));
    Check(p.downs == 2 && p.keys.right && !p.keys.left, "right press reaches the control");
    SendMessageA(editor, WM_RBUTTONUP, 0, Point(30, 25));
    Check(!p.keys.alt, "no alt while the key is up");

    // Mouse messages carry no flag for alt: it comes from the key state.
    BYTE state[256] = {};
    GetKeyboardState(state);
    state[VK_MENU] |= 0x80;
    SetKeyboardState(state);
    SendMessageA(editor, WM_RBUTTONDOWN, MK_RBUTTON, Point(30, 25));
    SendMessageA(editor, WM_RBUTTONUP, 0, Point(30, 25));
    Check(p.downs == 3 && p.keys.alt && p.keys.right && !p.keys.shift, "alt held: the press carries it");
    state[VK_MENU] &= 0x7F;
    SetKeyboardState(state);

    RECT r = {};
    GetWindowRect(editor, &r);
    SendMessageA(editor, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-240)), Point(r.left + 50, r.top + 30));
    Check(p.wheels == 1 && p.lastSteps == -2 && p.lastX == 50 && p.lastY == 30,
          "two wheel notches down at a screen point: -2 steps at the window point");
    SendMessageA(editor, WM_MOUSEWHEEL, MAKEWPARAM(0, 60), Point(r.left + 50, r.top + 30));
    Check(p.wheels == 2 && p.lastSteps == 0, "half a notch gives 0 steps and still reaches the control");

    SendMessageA(editor, WM_MOUSEMOVE, 0, Point(40, 30));
    Check(p.overs == 1, "hover reaches the control");
    SendMessageA(editor, WM_MOUSELEAVE, 0, 0);
    Check(p.outs == 1, "leaving reaches the control");
    e.graphics->CloseWindow();
    SendMessageA(editor, WM_LBUTTONDOWN, MK_LBUTTON, Point(30, 25));
    Check(p.downs == 3, "nothing reaches the controls after the close");
}

void CheckValuePrompt(HWND host)
{
    Editor e = MakeEditor();
    e.graphics->OpenWindow(host);
    HWND editor = e.hwnd();
    ProbeControl& p = *e.probe;
    Param gain;
    gain.InitDouble("gain", 0.5, 0.0, 2.0, 0.01, "");
    Pump(100);

    Check(!e.graphics->PromptParamValue(nullptr, &gain) && !e.graphics->PromptParamValue(&p, nullptr),
          "no prompt without a control and a parameter");
    Check(e.graphics->PromptParamValue(&p, &gain), "a text box opens for a number");
    HWND box = GetDlgItem(editor, 99);
    RECT r = {};
    GetWindowRect(box, &r);
    MapWindowPoints(HWND_DESKTOP, editor, reinterpret_cast<POINT*>(&r), 2);
    Check(box && ClassOf(box) == "Edit" && TitleOf(box) == "0.50", "an EDIT box, id 99, holding \"0.50\"");
    Check(r.left == 70 - 16 && r.top == 35 - 8 && r.right - r.left == 32 && r.bottom - r.top == 16,
          "32 x 16, centred on the control");
    Check(!e.graphics->PromptParamValue(&p, &gain) && GetDlgItem(editor, 99) == box, "a second prompt is ignored");

    SetWindowTextA(box, "1.5");
    SendMessageA(box, WM_KEYDOWN, VK_RETURN, 0);
    Pump(200);
    Check(!IsWindow(box) && e.win()->ValuePromptBox() == nullptr, "Enter commits at the next tick and closes the box");
    Check(p.Value() == 0.75, "the typed 1.5 became the normalized 0.75 (" + std::to_string(p.Value()) + ")");

    e.graphics->PromptParamValue(&p, &gain);
    box = GetDlgItem(editor, 99);
    SetWindowTextA(box, "0.2");
    const int downs = p.downs;
    SendMessageA(editor, WM_LBUTTONDOWN, MK_LBUTTON, Point(200, 80));
    SendMessageA(editor, WM_LBUTTONUP, 0, Point(200, 80));
    SendMessageA(editor, WM_RBUTTONDOWN, MK_RBUTTON, Point(30, 25));
    Pump(200);
    Check(!IsWindow(box) && p.Value() == 0.75 && p.downs == downs,
          "a right click cancels without a change and does not reach the control");

    SetFocus(host);
    e.graphics->PromptParamValue(&p, &gain);
    box = GetDlgItem(editor, 99);
    SetFocus(box);
    if (GetFocus() == box) {
        Pump(100);
        const int drawn = p.draws;
        p.MarkDirty(false);
        Pump(250);
        Check(p.draws == drawn && IsWindow(box), "no redraw while the box has the focus");
        SetWindowTextA(box, "9");
        SetFocus(host);
        Pump(250);
        Check(p.draws > drawn, "redraws resume when the focus leaves");
        Check(TitleOf(box) == "0.50", "and the box's text is refreshed from the parameter");
    } else {
        Note("the box could not take the focus here: focus checks skipped");
    }
    SendMessageA(editor, WM_RBUTTONDOWN, MK_RBUTTON, Point(30, 25));
    Pump(150);
    Check(!IsWindow(box), "cancelled while focused");

    Param mode;
    mode.InitEnum("mode", 1, 3);
    mode.SetDisplayText(0, "time");
    mode.SetDisplayText(1, "freq");
    mode.SetDisplayText(2, "spectro");
    Check(e.graphics->PromptParamValue(&p, &mode), "a drop list opens for an enumerated parameter");
    box = GetDlgItem(editor, 99);
    GetWindowRect(box, &r);
    Check(box && ClassOf(box) == "ComboBox" && r.right - r.left == 8 * 7 + 24, "a COMBOBOX 8 x 7 + 24 wide");
    Check(SendMessageA(box, CB_GETCOUNT, 0, 0) == 3 && SendMessageA(box, CB_GETCURSEL, 0, 0) == 1,
          "three texts, the current one selected");
    SendMessageA(box, CB_SETCURSEL, 2, 0);
    SendMessageA(editor, WM_COMMAND, MAKEWPARAM(99, CBN_SELCHANGE), reinterpret_cast<LPARAM>(box));
    Pump(200);
    Check(!IsWindow(box) && p.Value() == 1.0, "a new choice commits \"spectro\" (normalized 1.0)");

    e.graphics->PromptParamValue(&p, &gain);
    box = GetDlgItem(editor, 99);
    e.graphics->CloseWindow();
    Check(!IsWindow(box) && e.win()->ValuePromptBox() == nullptr, "closing the editor takes the prompt with it");
}

void CheckColourPrompt(HWND host)
{
    Editor e = MakeEditor();
    Colour colour(128, 10, 20, 30);
    Check(!e.graphics->PromptForColour(colour, "Background Color"), "no colour prompt without a window");
    e.graphics->OpenWindow(host);

    std::atomic<bool> found{false};
    std::thread presser = PressDialog("Background Color", IDCANCEL, {}, found);
    bool confirmed = e.graphics->PromptForColour(colour, "Background Color");
    presser.join();
    Check(found, "the colour dialog shows the title Background Color");
    Check(!confirmed && colour.a == 128 && colour.r == 10 && colour.g == 20 && colour.b == 30,
          "Cancel leaves the colour unchanged");

    found = false;
    presser = PressDialog("Graph Edge Color", IDOK, {{kColourRedField, 200}}, found);
    confirmed = e.graphics->PromptForColour(colour, "Graph Edge Color");
    presser.join();
    Check(found, "found again by its new title");
    Check(confirmed && colour.a == 128 && colour.g == 20 && colour.b == 30,
          "OK confirms, keeping green, blue and alpha");
    Check(colour.r == 200, "the red typed into the dialog is kept (" + std::to_string(colour.r) + ")");
    e.graphics->CloseWindow();
}

std::string openedUrl;

bool RecordUrl(const std::string& url)
{
    openedUrl = url;
    return true;
}

VstIntPtr VSTCALLBACK QuietHost(AEffect*, VstInt32, VstInt32, VstIntPtr, void*, float) { return 0; }

// The analyser's corner square, clicked in a real window: the user guide beside the plug-in's
// binary (this program here) reaches the opener that stands in for the shell as a file: URL,
// so no browser starts; without a guide nothing is opened.
void CheckUserGuide(HWND host)
{
    const Win32Window::UrlOpener previous = Win32Window::SetUrlOpener(RecordUrl);
    AEffect* effect = VSTPluginMain(QuietHost);
    if (!Check(effect != nullptr, "an analyser instance is made")) return;
    effect->dispatcher(effect, effOpen, 0, 0, nullptr, 0.0f);
    Check(effect->dispatcher(effect, effEditOpen, 0, 0, host, 0.0f) == 1, "its editor opens");
    HWND editor = FindWindowExA(host, nullptr, "VireoWndClass", nullptr);
    auto clickCorner = [editor] {
        SendMessageA(editor, WM_LBUTTONDOWN, MK_LBUTTON, Point(224, 88));
        SendMessageA(editor, WM_LBUTTONUP, 0, Point(224, 88));
    };

    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, sizeof path);
    std::string folder = path;
    folder.erase(folder.rfind('\\') + 1);
    const std::string guide = folder + AnalyserView::kUserGuide;
    DeleteFileA(guide.c_str());
    clickCorner();
    Check(openedUrl.empty(), "without a guide beside the plug-in the corner square opens nothing");

    if (std::FILE* file = std::fopen(guide.c_str(), "wb")) {
        std::fputs("<!DOCTYPE html><title>Quillograph</title>", file);
        std::fclose(file);
    }
    std::string expected = "file:///" + guide;
    for (char& c : expected)
        if (c == '\\') c = '/';
    clickCorner();
    Check(openedUrl == expected, "the corner square opens " + openedUrl + " (" + guide + ")");
    DeleteFileA(guide.c_str());
    openedUrl.clear();
    Win32Window::SetUrlOpener(previous);
    Check(!Win32Window::SetUrlOpener(nullptr), "the shell is the opener again");
    effect->dispatcher(effect, effEditClose, 0, 0, nullptr, 0.0f);
    effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.0f);
}

void CheckFloatingAndPaths(HWND host)
{
    Editor e = MakeEditor();
    e.graphics->floating = true;
    HWND frame = CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE, 0, 0, 300, 150, host, nullptr,
                                 GetModuleHandleA(nullptr), nullptr);
    Check(e.graphics->OpenWindow(frame), "floating mode opens from a frame");
    HWND floating = e.hwnd();
    const LONG_PTR ex = GetWindowLongPtrA(floating, GWL_EXSTYLE);
    RECT client = {};
    GetClientRect(floating, &client);
    Check(floating && GetParent(floating) != frame && GetWindow(floating, GW_OWNER) == host &&
              ClassOf(floating) == "VireoWndClass",
          "a top-level window owned by the host's top window");
    Check((ex & WS_EX_TOOLWINDOW) && (ex & WS_EX_TOPMOST), "a topmost tool window");
    Check(e.win()->FindHostWindow() == host && e.graphics->hostClass == kHostClass, "the host's class is remembered");
    const Rect place = e.graphics->GetFloatingWindowRect();
    Check(place.left == 128 && place.top == 128 && place.right == 128 + 232 && place.bottom == 128 + 96,
          "at 128,128 with the frame allowance taken off");
    Check(e.graphics->OpenWindow(frame) && e.hwnd() == floating, "opening again keeps the floating window");
    e.graphics->SetWindowTitle("Quillograph : Track 1");
    Check(TitleOf(floating) == "Quillograph : Track 1", "the title is set");
    e.graphics->CloseWindow();

    // Restored from a project: no parent yet, the host found by its class in this process.
    Editor restored = MakeEditor();
    restored.graphics->floating = true;
    restored.graphics->hostClass = kHostClass;
    Check(restored.graphics->OpenFloatingWindow(Rect(200, 150, 432, 246)), "reopened by the host's class name");
    Check(GetWindow(restored.hwnd(), GW_OWNER) == host, "owned by the host found");
    const Rect again = restored.graphics->GetFloatingWindowRect();
    Check(again.left == 200 && again.top == 150 && again.right == 432 && again.bottom == 246,
          "at the stored place");
    restored.graphics->CloseWindow();
    Editor lost = MakeEditor();
    lost.graphics->floating = true;
    lost.graphics->hostClass = "NoSuchHostClass";
    Check(!lost.graphics->OpenFloatingWindow(Rect(0, 0, 232, 96)) && Win32Window::ClassUserCount() == 0,
          "no host window found: not opened, the counter balanced");
    DestroyWindow(frame);

    const std::string plugin = e.graphics->GetPluginPath();
    const std::string hostPath = e.graphics->GetHostPath();
    Check(!plugin.empty() && plugin.back() == '\\', "GetPluginPath ends with a backslash: " + plugin);
    Check(!hostPath.empty() && hostPath.back() == '\\', "GetHostPath ends with a backslash: " + hostPath);
    std::string path = "x";
    Check(!e.graphics->PromptForFile(path, false, "", "wav") && path.empty(), "no file prompt without a window");
}

}  // namespace

int main()
{
    ModuleHandleRef() = GetModuleHandleA(nullptr);
    WNDCLASSA wc;
    std::memset(&wc, 0, sizeof wc);
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = kHostClass;
    RegisterClassA(&wc);
    HWND host = MakeHostWindow("Quillograph window check");
    if (!Check(host != nullptr, "the host window is made")) return 1;
    Pump(100);

    CheckOpeningAndClass(host);
    CheckMouse(host);
    CheckValuePrompt(host);
    CheckColourPrompt(host);
    CheckUserGuide(host);
    CheckFloatingAndPaths(host);

    DestroyWindow(host);
    std::printf("%d passed, %d failed\n", passed, failed);
    return failed == 0 ? 0 : 1;
}
