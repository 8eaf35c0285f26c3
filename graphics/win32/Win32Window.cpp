#include "graphics/win32/Win32Window.h"

#include <windows.h>
#include <commdlg.h>
#include <shellapi.h>
#undef DrawText
#undef LoadBitmap

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <new>
#include <vector>

#include "graphics/Control.h"
#include "graphics/GraphicsWindow.h"
#include "graphics/PngLoader.h"
#include "graphics/SystemSurface.h"
#include "graphics/WindowNames.h"
#include "graphics/win32/StyleFont.h"
#include "plugin/Module.h"
#include "plugin/Param.h"
#include "plugin/PluginCore.h"

struct Win32Window::PaintState {
    PAINTSTRUCT ps;
    bool active = false;
};

namespace {

constexpr UINT_PTR kTimerId = 2;
constexpr int kEditBoxId = 99;
// Sent when a window's DPI changes: a top-level window's own, a child's after its parent's.
constexpr UINT kDpiChanged = 0x02E0;
constexpr UINT kDpiChangedAfterParent = 0x02E3;
// What a floating window's frame and caption add to its client area.
constexpr int kFrameWidth = 6;
constexpr int kFrameHeight = 23;

// Editors holding the window class, across every instance of the module.
std::atomic<int32_t> classUsers{0};
std::atomic<Win32Window::UrlOpener> urlOpener{nullptr};

HINSTANCE ModuleInstance()
{
    HINSTANCE module = static_cast<HINSTANCE>(ModuleHandleRef());
    return module ? module : GetModuleHandleA(nullptr);
}

// The folder of a module's file, with its trailing backslash; empty on failure.
std::string ModuleFolder(HMODULE module)
{
    char path[256] = {};
    const DWORD n = GetModuleFileNameA(module, path, sizeof path);
    if (n == 0 || n >= sizeof path) return std::string();
    std::string folder(path, n);
    const size_t slash = folder.rfind('\\');
    return slash == std::string::npos ? std::string() : folder.substr(0, slash + 1);
}


MouseKeys KeysOf(WPARAM wParam)
{
    MouseKeys keys;
    keys.left = (wParam & MK_LBUTTON) != 0;
    keys.right = (wParam & MK_RBUTTON) != 0;
    keys.shift = (wParam & MK_SHIFT) != 0;
    keys.ctrl = (wParam & MK_CONTROL) != 0;
    keys.alt = (GetKeyState(VK_MENU) & 0x8000) != 0;
    return keys;
}

int32_t XOf(LPARAM lParam) { return static_cast<int16_t>(LOWORD(lParam)); }
int32_t YOf(LPARAM lParam) { return static_cast<int16_t>(HIWORD(lParam)); }

// The common dialogs and the shell are bound when first used, for the call only: a plug-in
// that never opens them never loads them.
template <typename Function>
class SystemFunction {
public:
    SystemFunction(const char* library, const char* name) : module(LoadLibraryA(library))
    {
        if (module) function = reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
    }
    ~SystemFunction()
    {
        if (module) FreeLibrary(module);
    }
    SystemFunction(const SystemFunction&) = delete;
    SystemFunction& operator=(const SystemFunction&) = delete;
    Function get() const { return function; }

private:
    HMODULE module;
    Function function = nullptr;
};

using ChooseColorFunction = BOOL(WINAPI*)(LPCHOOSECOLORA);
using DpiForWindowFunction = UINT(WINAPI*)(HWND);

// The DPI of a window where the system tells it per window (Windows 10 and later), of the
// screen otherwise; a process the system does not treat as DPI-aware gets 96 either way.
UINT DpiOf(HWND hwnd)
{
    static const DpiForWindowFunction dpiForWindow = reinterpret_cast<DpiForWindowFunction>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("user32.dll"), "GetDpiForWindow")));
    if (hwnd && IsWindow(hwnd) && dpiForWindow)
        if (const UINT dpi = dpiForWindow(hwnd)) return dpi;
    HDC screen = GetDC(nullptr);
    const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSX) : 96;
    if (screen) ReleaseDC(nullptr, screen);
    return dpi > 0 ? static_cast<UINT>(dpi) : 96;
}
using FileDialogFunction = BOOL(WINAPI*)(LPOPENFILENAMEA);
using ShellExecuteFunction = HINSTANCE(WINAPI*)(HWND, LPCSTR, LPCSTR, LPCSTR, LPCSTR, INT);

std::vector<std::string> SplitAtBlanks(const std::string& text)
{
    std::vector<std::string> items;
    std::string item;
    for (char c : text) {
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
            if (!item.empty()) items.push_back(item);
            item.clear();
        } else {
            item += c;
        }
    }
    if (!item.empty()) items.push_back(item);
    return items;
}

struct HostSearch {
    DWORD process;
    const std::string* className;
    HWND found;
};

BOOL CALLBACK MatchHostWindow(HWND hwnd, LPARAM lParam)
{
    HostSearch* search = reinterpret_cast<HostSearch*>(lParam);
    DWORD process = 0;
    GetWindowThreadProcessId(hwnd, &process);
    if (process != search->process) return TRUE;
    char name[128] = {};
    if (GetClassNameA(hwnd, name, sizeof name) <= 0 || *search->className != name) return TRUE;
    search->found = hwnd;
    return FALSE;
}

UINT_PTR CALLBACK ColourHookProc(HWND dialog, UINT message, WPARAM, LPARAM lParam)
{
    if (message == WM_INITDIALOG && lParam) {
        const CHOOSECOLORA* chooser = reinterpret_cast<const CHOOSECOLORA*>(lParam);
        if (chooser->lCustData) SetWindowTextA(dialog, reinterpret_cast<const char*>(chooser->lCustData));
    }
    return 0;
}

}  // namespace

// The window procedures: the editor window's, and the value prompt box's subclass.
struct Win32Window::Procs {
    static LRESULT CALLBACK Window(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
    {
        if (message == WM_CREATE) {
            // The editor's pointer is not stored yet: only the timer and the showing.
            SetTimer(hwnd, kTimerId, Graphics::TimerPeriod(), nullptr);
            ShowWindow(hwnd, SW_SHOWNA);
            return 0;
        }
        Win32Window* editor = reinterpret_cast<Win32Window*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
        if (!editor || editor->window != hwnd) return DefWindowProcA(hwnd, message, wParam, lParam);
        PluginCore* plug = editor->editor.Plug();
        if (plug) plug->EnterEditorEvent();
        LRESULT result = 0;
        // An exception cannot unwind through the system's frames into the host: a message
        // whose handling failed (the timer's redraw among them) gets the default handling.
        try {
            result = static_cast<LRESULT>(editor->HandleMessage(hwnd, message, wParam, lParam));
        } catch (...) {
            // A paint begun must end, or the window keeps its device context.
            if (message == WM_PAINT) editor->Present(nullptr, Rect());
            result = DefWindowProcA(hwnd, message, wParam, lParam);
        }
        // May end the plug-in, this window with it, when the host closed it meanwhile.
        if (plug) PluginCore::LeaveEditorEvent(plug);
        return result;
    }

    static LRESULT CALLBACK Edit(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
    {
        Win32Window* editor = reinterpret_cast<Win32Window*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
        if (!editor || editor->editBox != hwnd || !editor->editPrevProc)
            return DefWindowProcA(hwnd, message, wParam, lParam);
        const WNDPROC previous = reinterpret_cast<WNDPROC>(editor->editPrevProc);
        switch (message) {
        case WM_SETFOCUS:
            editor->editState = EditFocused;
            break;
        case WM_KILLFOCUS:
            // A commit or cancel already asked for still stands.
            if (editor->editState == EditFocused) editor->editState = EditNone;
            break;
        case WM_KEYDOWN:
            if (wParam == VK_RETURN) {
                editor->editState = EditCommit;
                return 0;
            }
            break;
        case WM_CHAR:
            // The Enter that commits does not also become a line break in the box.
            if (wParam == '\r' || wParam == '\n') return 0;
            break;
        case WM_COMMAND:
            if (HIWORD(wParam) == CBN_SELCHANGE) {
                editor->editState = EditCommit;
                return 0;
            }
            break;
        default:
            break;
        }
        return CallWindowProcA(previous, hwnd, message, wParam, lParam);
    }
};

std::unique_ptr<PlatformWindow> MakePlatformWindow(GraphicsWindow& editor)
{
    return std::unique_ptr<PlatformWindow>(new Win32Window(editor));
}

Win32Window::Win32Window(GraphicsWindow& editor) : editor(editor), paint(new PaintState()) {}

Win32Window::~Win32Window()
{
    Destroy();
    delete[] customColours;
    delete paint;
}

Win32Window* Win32Window::Of(const Graphics* graphics)
{
    const auto* owner = dynamic_cast<const GraphicsWindow*>(graphics);
    return owner ? dynamic_cast<Win32Window*>(&owner->Platform()) : nullptr;
}

int32_t Win32Window::ClassUserCount()
{
    return classUsers;
}

const char* Win32Window::WindowClassName()
{
    return kWindowClassName;
}

bool Win32Window::AcquireClass()
{
    if (holdsClass) return true;
    if (classUsers++ == 0) {
        WNDCLASSA wc;
        std::memset(&wc, 0, sizeof wc);
        wc.style = CS_DBLCLKS;
        wc.lpfnWndProc = Procs::Window;
        wc.hInstance = ModuleInstance();
        wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
        wc.lpszClassName = kWindowClassName;
        if (!RegisterClassA(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
            --classUsers;
            return false;
        }
    }
    holdsClass = true;
    return true;
}

void Win32Window::ReleaseClass()
{
    if (!holdsClass) return;
    holdsClass = false;
    if (--classUsers == 0) UnregisterClassA(kWindowClassName, ModuleInstance());
}

bool Win32Window::CreateEditorWindow(uint32_t exStyle, const char* title, uint32_t style, int x, int y, int w,
                                     int h, void* parent)
{
    if (!AcquireClass()) return false;
    HWND hwnd = CreateWindowExA(exStyle, kWindowClassName, title, style, x, y, w, h, static_cast<HWND>(parent),
                                nullptr, ModuleInstance(), nullptr);
    if (!hwnd) {
        ReleaseClass();
        return false;
    }
    window = hwnd;
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    RoomChanged();
    return true;
}

bool Win32Window::CanParent(void* parent) const
{
    HWND parentWindow = static_cast<HWND>(parent);
    return parentWindow && IsWindow(parentWindow);
}

bool Win32Window::CreateChild(void* parent, const Rect& place)
{
    floating = false;
    return CreateEditorWindow(0, kChildWindowTitle, WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, place.left,
                              place.top, place.Width(), place.Height(), parent);
}

bool Win32Window::CreateFloating(const Rect& client, const std::string& title)
{
    HWND owner = static_cast<HWND>(FindHostWindow());
    if (!owner) return false;
    // The rectangle is the client area; the frame and caption take 6 and 23 pixels more.
    const auto extent = [](int64_t from, int64_t to, int64_t frame) {
        return static_cast<int>(std::min<int64_t>(std::max<int64_t>(to - from + frame, 0), 16384));
    };
    floating = true;
    return CreateEditorWindow(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, title.c_str(), WS_SYSMENU, client.left, client.top,
                              extent(client.left, client.right, kFrameWidth),
                              extent(client.top, client.bottom, kFrameHeight), owner);
}

Rect Win32Window::Place() const
{
    HWND hwnd = static_cast<HWND>(window);
    RECT r;
    if (!hwnd || !GetWindowRect(hwnd, &r)) return Rect(0, 0, editor.ClientWidth(), editor.ClientHeight());
    MapWindowPoints(HWND_DESKTOP, GetParent(hwnd), reinterpret_cast<POINT*>(&r), 2);
    return Rect(r.left, r.top, r.right, r.bottom);
}

int32_t Win32Window::ScreenScale() const
{
    HWND hwnd = static_cast<HWND>(window ? window : editor.HostParent());
    return std::max(1, static_cast<int32_t>(DpiOf(hwnd) / 96));
}

bool Win32Window::PictureRoom(int32_t& w, int32_t& h) const
{
    w = h = 0;
    HWND hwnd = static_cast<HWND>(window);
    RECT r;
    if (!hwnd) return false;
    if (floating) {
        if (!GetWindowRect(hwnd, &r)) return false;
        w = std::max<int32_t>(0, r.right - r.left - kFrameWidth);
        h = std::max<int32_t>(0, r.bottom - r.top - kFrameHeight);
        return true;
    }
    if (!GetClientRect(hwnd, &r)) return false;
    w = r.right;
    h = r.bottom;
    return true;
}

void Win32Window::RoomChanged()
{
    int32_t w = 0, h = 0;
    PictureRoom(w, h);
    editor.ClientResized(w, h);
}

void Win32Window::Resize(int32_t w, int32_t h)
{
    HWND hwnd = static_cast<HWND>(window);
    if (!hwnd) return;
    SetWindowPos(hwnd, nullptr, 0, 0, floating ? w + kFrameWidth : w, floating ? h + kFrameHeight : h,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    RoomChanged();
}

bool Win32Window::ParentHolds(int32_t w, int32_t h) const
{
    HWND hwnd = static_cast<HWND>(window);
    HWND parent = hwnd ? GetParent(hwnd) : nullptr;
    RECT place, inside;
    if (!parent || !GetWindowRect(hwnd, &place) || !GetClientRect(parent, &inside)) return false;
    MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&place), 2);
    return inside.right - place.left >= w && inside.bottom - place.top >= h;
}

void* Win32Window::FindHostWindow()
{
    if (hostTop && IsWindow(static_cast<HWND>(hostTop))) return hostTop;
    hostTop = nullptr;
    HWND from = static_cast<HWND>(editor.HostParent());
    if (from && IsWindow(from)) {
        HWND top = from;
        // Parent chains are short; the bound only guards against a host's odd owner links.
        for (int depth = 0; depth < 256; ++depth) {
            HWND up = GetParent(top);
            if (!up) break;
            top = up;
        }
        hostTop = top;
        char name[128] = {};
        GetClassNameA(top, name, sizeof name);
        editor.hostClass = name;
    } else if (!editor.hostClass.empty()) {
        hostProcess = GetCurrentProcessId();
        HostSearch search = {hostProcess, &editor.hostClass, nullptr};
        EnumWindows(MatchHostWindow, reinterpret_cast<LPARAM>(&search));
        hostTop = search.found;
    }
    return hostTop;
}

void Win32Window::Destroy()
{
    HWND hwnd = static_cast<HWND>(window);
    if (hwnd) {
        DestroyValuePrompt();
        // From here on the window's messages, its destruction's included, are not ours.
        window = nullptr;
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
        KillTimer(hwnd, kTimerId);
        DestroyWindow(hwnd);
    }
    ReleaseClass();
}

void Win32Window::WindowLost()
{
    // The children, the prompt's box among them, are gone already; its font is not.
    editBox = nullptr;
    DestroyValuePrompt();
    window = nullptr;
    editor.WindowLost();
}

bool Win32Window::TakesTick()
{
    if (!editBox || editState == EditNone) return false;
    ServeValuePrompt();
    return true;
}

intptr_t Win32Window::HandleMessage(void* handle, uint32_t message, uintptr_t wParam, intptr_t lParam)
{
    HWND hwnd = static_cast<HWND>(handle);
    const WPARAM w = static_cast<WPARAM>(wParam);
    const LPARAM l = static_cast<LPARAM>(lParam);

    if (message == WM_NCDESTROY) {
        WindowLost();
        return DefWindowProcA(hwnd, message, w, l);
    }
    // A new choice in the drop list reaches its parent, whatever has the focus.
    if (message == WM_COMMAND && editBox && LOWORD(w) == kEditBoxId && HIWORD(w) == CBN_SELCHANGE) {
        editState = EditCommit;
        return 0;
    }
    if (editBox && editState == EditFocused) {
        if (message == WM_RBUTTONDOWN) {
            editState = EditCancel;
            return 0;
        }
        return DefWindowProcA(hwnd, message, w, l);
    }

    switch (message) {
    case WM_PAINT:
        editor.Paint();
        // A paint that could not begin must not come back at once.
        ValidateRect(hwnd, nullptr);
        return 0;
    case WM_CLOSE:
        editor.CloseWindow();
        return 0;
    case WM_SIZE:
        RoomChanged();
        return 0;
    case kDpiChanged:
    case kDpiChangedAfterParent:
        editor.ScreenChanged();
        return 0;
    case WM_TIMER:
        if (w == kTimerId) editor.Tick();
        return 0;
    case WM_MOUSEMOVE:
        editor.PointerMoved(XOf(l), YOf(l), KeysOf(w));
        return 0;
    case WM_RBUTTONDOWN:
        if (editBox) {
            editState = EditCancel;
            return 0;
        }
        editor.ButtonPressed(XOf(l), YOf(l), KeysOf(w));
        return 0;
    case WM_LBUTTONDOWN:
        editor.ButtonPressed(XOf(l), YOf(l), KeysOf(w));
        return 0;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
        editor.ButtonReleased(XOf(l), YOf(l));
        return 0;
    case WM_CAPTURECHANGED:
        if (reinterpret_cast<HWND>(l) != hwnd) editor.CaptureLost();
        return 0;
    case WM_LBUTTONDBLCLK:
        editor.DoubleClicked(XOf(l), YOf(l), KeysOf(w));
        return 0;
    case WM_MOUSEWHEEL: {
        RECT r = {0, 0, 0, 0};
        GetWindowRect(hwnd, &r);
        const int32_t steps = static_cast<int16_t>(HIWORD(w)) / WHEEL_DELTA;
        editor.WheelTurned(XOf(l) - r.left, YOf(l) - r.top, KeysOf(GET_KEYSTATE_WPARAM(w)), steps);
        return 0;
    }
    case WM_MOUSELEAVE:
        editor.PointerLeft();
        return 0;
    default:
        return DefWindowProcA(hwnd, message, w, l);
    }
}

void Win32Window::Capture(bool held)
{
    if (!window) return;
    if (held)
        SetCapture(static_cast<HWND>(window));
    else if (GetCapture() == static_cast<HWND>(window))
        ReleaseCapture();
}

void Win32Window::TrackLeave()
{
    if (!window) return;
    TRACKMOUSEEVENT track;
    std::memset(&track, 0, sizeof track);
    track.cbSize = sizeof track;
    track.dwFlags = TME_LEAVE;
    track.hwndTrack = static_cast<HWND>(window);
    track.dwHoverTime = HOVER_DEFAULT;
    TrackMouseEvent(&track);
}

void Win32Window::Invalidate(const Rect& area)
{
    if (!window) return;
    RECT r = {area.left, area.top, area.right, area.bottom};
    InvalidateRect(static_cast<HWND>(window), &r, FALSE);
}

void Win32Window::PaintNow()
{
    if (!window) return;
    UpdateWindow(static_cast<HWND>(window));
    // The open value prompt shows the value the picture now shows.
    if (editBox) editState = EditRefresh;
}

bool Win32Window::PromptParamValue(Control* control, Param* param)
{
    if (!control || !param || editBox || !window) return false;
    HWND parent = static_cast<HWND>(window);
    const Rect& r = control->DrawRect();
    // Centred on the control as the window shows it.
    const int32_t shown = editor.ShownScale();
    const int cx = static_cast<int>((static_cast<double>(r.left) + r.right) * 0.5 * shown);
    const int cy = static_cast<int>((static_cast<double>(r.top) + r.bottom) * 0.5 * shown);
    const std::string current = param->GetDisplayString();
    const HMENU id = reinterpret_cast<HMENU>(static_cast<INT_PTR>(kEditBoxId));

    HWND box = nullptr;
    if (param->Kind() == ParamKind::Bool || param->Kind() == ParamKind::Enum) {
        const std::vector<std::string> texts = param->GetDisplayTexts();
        size_t longest = 0;
        int selected = -1;
        for (size_t i = 0; i < texts.size(); ++i) {
            longest = std::max(longest, texts[i].size());
            if (texts[i] == current) selected = static_cast<int>(i);
        }
        const int boxWidth = static_cast<int>(std::min<size_t>(8 * longest + 24, 4096));
        box = CreateWindowExA(0, "COMBOBOX", "", WS_CHILD | WS_VISIBLE | CBS_DROPDOWNLIST, cx - boxWidth / 2, cy - 8,
                              boxWidth, 16, parent, id, ModuleInstance(), nullptr);
        if (!box) return false;
        for (const std::string& text : texts) SendMessageA(box, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
        SendMessageA(box, CB_SETCURSEL, static_cast<WPARAM>(selected), 0);
    } else {
        box = CreateWindowExA(0, "EDIT", current.c_str(), WS_CHILD | WS_VISIBLE | ES_MULTILINE | ES_CENTER, cx - 16,
                              cy - 8, 32, 16, parent, id, ModuleInstance(), nullptr);
        if (!box) return false;
    }

    // The box must know its editor before its first message reaches the new procedure.
    editBox = box;
    editControl = control;
    editParam = param;
    SetWindowLongPtrA(box, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    editPrevProc = reinterpret_cast<void*>(GetWindowLongPtrA(box, GWLP_WNDPROC));
    SetWindowLongPtrA(box, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(Procs::Edit));

    HFONT font = static_cast<HFONT>(CreateStyleFont(promptStyle));
    editFont = font;
    if (font) SendMessageA(box, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    return true;
}

void Win32Window::ServeValuePrompt()
{
    HWND box = static_cast<HWND>(editBox);
    switch (editState) {
    case EditRefresh: {
        char text[32] = {};
        if (editParam) editParam->GetDisplayText(text);
        SendMessageA(box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
        editState = EditNone;
        return;
    }
    case EditCommit: {
        char text[32] = {};
        SendMessageA(box, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
        text[sizeof text - 1] = 0;
        if (editParam && editControl) {
            const double value = editParam->ValueForUserText(text);
            // "inf" or a huge exponent is no value to set.
            if (std::isfinite(value)) editControl->SetValueFromUserInput(editParam->ToNormalized(value));
        }
        DestroyValuePrompt();
        return;
    }
    case EditCancel:
        DestroyValuePrompt();
        return;
    default:
        editState = EditNone;
        return;
    }
}

void Win32Window::DestroyValuePrompt()
{
    HWND box = static_cast<HWND>(editBox);
    if (box) {
        if (editPrevProc) SetWindowLongPtrA(box, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(editPrevProc));
        SetWindowLongPtrA(box, GWLP_USERDATA, 0);
        DestroyWindow(box);
    }
    editBox = nullptr;
    editControl = nullptr;
    editParam = nullptr;
    editPrevProc = nullptr;
    editState = EditNone;
    if (editFont) DeleteObject(static_cast<HFONT>(editFont));
    editFont = nullptr;
}

std::string Win32Window::HostFolder() const
{
    return ModuleFolder(nullptr);
}

std::string Win32Window::PluginFolder() const
{
    return ModuleFolder(ModuleInstance());
}

bool Win32Window::PromptForFile(std::string& path, bool save, const std::string& directory,
                                const std::string& extensions)
{
    path.clear();
    if (!window) return false;
    SystemFunction<FileDialogFunction> dialog("comdlg32.dll", save ? "GetSaveFileNameA" : "GetOpenFileNameA");
    if (!dialog.get()) return false;

    const std::string& folder = directory;
    const std::vector<std::string> items = SplitAtBlanks(extensions);
    std::string patterns;
    for (const std::string& item : items) patterns += (patterns.empty() ? "*." : ";*.") + item;
    // Name, pattern, and the empty entry that ends the list.
    std::string filter;
    if (!items.empty()) {
        filter = "Files (" + patterns + ")";
        filter += '\0';
        filter += patterns;
        filter += '\0';
        filter += '\0';
    }

    char file[256] = {};
    OPENFILENAMEA ofn;
    std::memset(&ofn, 0, sizeof ofn);
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = static_cast<HWND>(window);
    ofn.lpstrFile = file;
    ofn.nMaxFile = sizeof file - 1;
    ofn.lpstrInitialDir = folder.c_str();
    ofn.Flags = OFN_PATHMUSTEXIST | (save ? OFN_OVERWRITEPROMPT : OFN_FILEMUSTEXIST);
    if (!items.empty()) {
        ofn.lpstrFilter = filter.c_str();
        ofn.lpstrDefExt = items.front().c_str();
    }
    if (!dialog.get()(&ofn)) return false;
    file[sizeof file - 1] = 0;
    path = file;
    return !path.empty();
}

bool Win32Window::PromptForColour(Colour& colour, const std::string& title)
{
    if (!window) return false;
    SystemFunction<ChooseColorFunction> choose("comdlg32.dll", "ChooseColorA");
    if (!choose.get()) return false;
    if (!customColours) customColours = new (std::nothrow) uint32_t[16]();
    if (!customColours) return false;

    CHOOSECOLORA cc;
    std::memset(&cc, 0, sizeof cc);
    cc.lStructSize = sizeof cc;
    cc.hwndOwner = static_cast<HWND>(window);
    cc.rgbResult = RGB(colour.r & 255, colour.g & 255, colour.b & 255);
    cc.lpCustColors = reinterpret_cast<COLORREF*>(customColours);
    cc.Flags = CC_RGBINIT | CC_FULLOPEN | CC_ENABLEHOOK | CC_SOLIDCOLOR | CC_ANYCOLOR;
    cc.lCustData = title.empty() ? 0 : reinterpret_cast<LPARAM>(title.c_str());
    cc.lpfnHook = ColourHookProc;
    if (!choose.get()(&cc)) return false;
    colour.r = GetRValue(cc.rgbResult);
    colour.g = GetGValue(cc.rgbResult);
    colour.b = GetBValue(cc.rgbResult);
    return true;
}

Win32Window::UrlOpener Win32Window::SetUrlOpener(UrlOpener opener)
{
    return urlOpener.exchange(opener);
}

bool Win32Window::OpenUrl(const std::string& url)
{
    if (const UrlOpener opener = urlOpener.load()) return opener(url);
    SystemFunction<ShellExecuteFunction> execute("shell32.dll", "ShellExecuteA");
    if (!execute.get()) return false;
    // The shell returns once it has handed the address to the browser: a moment on the
    // editor's thread, which the user's click asked for.
    const HINSTANCE result = execute.get()(nullptr, "open", url.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    return reinterpret_cast<INT_PTR>(result) > 32;
}

void Win32Window::SetTitle(const std::string& title)
{
    if (window) SetWindowTextA(static_cast<HWND>(window), title.c_str());
}

Rect Win32Window::FloatingRect() const
{
    RECT r;
    if (!window || !GetWindowRect(static_cast<HWND>(window), &r)) return Rect();
    // Without the frame allowance a floating window is opened with.
    return Rect(r.left, r.top, r.right - kFrameWidth, r.bottom - kFrameHeight);
}

bool Win32Window::BeginPaint(Rect& area)
{
    paint->active = false;
    if (!window) return false;
    paint->active = ::BeginPaint(static_cast<HWND>(window), &paint->ps) != nullptr;
    if (!paint->active) return false;
    const RECT& r = paint->ps.rcPaint;
    area = Rect(r.left, r.top, r.right, r.bottom);
    return true;
}

bool Win32Window::Present(const Surface* picture, const Rect&)
{
    if (!paint->active) return false;
    paint->active = false;
    const RECT& r = paint->ps.rcPaint;
    HDC dc = paint->ps.hdc;
    const auto* from = dynamic_cast<const SystemSurface*>(picture);
    HDC source = from ? static_cast<HDC>(from->deviceContext()) : nullptr;
    bool copied = false;
    if (source) {
        GdiFlush();
        const LONG right = std::min<LONG>(r.right, from->width());
        const LONG bottom = std::min<LONG>(r.bottom, from->height());
        copied = right <= r.left || bottom <= r.top ||
                 BitBlt(dc, r.left, r.top, right - r.left, bottom - r.top, source, r.left, r.top, SRCCOPY);
        // What the window holds beyond the picture (a host that kept a larger room) is black.
        const LONG besideFrom = std::max(right, r.left), belowFrom = std::max(bottom, r.top);
        if (r.right > besideFrom) PatBlt(dc, besideFrom, r.top, r.right - besideFrom, r.bottom - r.top, BLACKNESS);
        if (r.bottom > belowFrom && besideFrom > r.left)
            PatBlt(dc, r.left, belowFrom, besideFrom - r.left, r.bottom - belowFrom, BLACKNESS);
    }
    EndPaint(static_cast<HWND>(window), &paint->ps);
    return copied;
}

Surface* Win32Window::LoadModuleImage(int32_t id)
{
    return LoadPngResource(ModuleHandleRef(), id, nullptr);
}
