// The DLL's window layer: the editor window of the class "VireoWndClass" (a child of the
// host's editor frame, or in one host a floating tool window), its timer-driven redraw and
// mouse routing, the in-place value prompt, and the system dialogs and shell services.
#pragma once

#include <cstdint>
#include <string>

#include "graphics/Graphics.h"
#include "graphics/TextStyle.h"

class SystemSurface;

class Win32Window : public Graphics {
public:
    Win32Window(PluginCore* plug, int32_t width, int32_t height, double framesPerSecond);
    ~Win32Window() override;

    // Child mode: a child of `parent` (which must be a window); opening again makes the window
    // anew at its previous place in the new parent. Floating mode: a tool window owned by the
    // host's top-level window, kept when opened again.
    bool OpenWindow(void* parent) override;
    void CloseWindow() override;
    bool IsWindowOpen() const override { return window != nullptr; }
    // A drop list for on/off and enumerated parameters, a text box otherwise, centred on the
    // control; committed (Enter, a new choice) or cancelled (right click) by the next timer tick.
    bool PromptParamValue(Control* control, Param* param) override;
    // Folders end with a backslash; empty when the module's file name cannot be read.
    std::string GetHostPath() override;
    std::string GetPluginPath() override;
    bool PromptForFile(std::string& path, bool save, const std::string& directory,
                       const std::string& extensions) override;
    // An empty title keeps the dialog's own.
    bool PromptForColour(Colour& colour, const std::string& title) override;
    // Through the opener set below, the shell's "open" by default; true when it took the address.
    bool OpenUrl(const std::string& url) override;
    void* GetWindowHandle() const override { return window; }
    void SetWindowTitle(const std::string& title) override;
    Rect GetFloatingWindowRect() const override;
    bool OpenFloatingWindow(const Rect& rect) override;

    // The window's DPI / 96 (per monitor where the system tells it, the system's otherwise),
    // at least 1 and at most kMaxScale; before a window exists, that of the host's parent.
    int32_t ScreenScale() const override;

    // The host's top-level window (an HWND): found from the parent given to OpenWindow, or
    // by the remembered class name among this process's top-level windows; null when neither.
    void* FindHostWindow();

    // What opens an address for every editor of the module; null restores the shell. Tests
    // put their own here, so that no browser starts. Answers the opener it replaced.
    using UrlOpener = bool (*)(const std::string& url);
    static UrlOpener SetUrlOpener(UrlOpener opener);

    // Editors of the module holding the window class; it is registered while this is positive.
    static int32_t ClassUserCount();
    static const char* WindowClassName() { return "VireoWndClass"; }
    // The value prompt's box (an HWND, child id 99), null when no prompt is open.
    void* ValuePromptBox() const { return editBox; }

protected:
    // The platform part of Paint: BeginPaint on the window, then BitBlt of the paint
    // rectangle from the surface's device context and EndPaint.
    bool BeginWindowPaint();
    bool PresentPaint(const SystemSurface* surface);
    // Decodes the plug-in library's "PNG" resource `id` into a new surface, or null.
    Surface* LoadModuleImage(int32_t id);
    void ApplyScale() override;

    // What the value prompt is doing, read and changed by the window's timer.
    enum EditState : int32_t { EditNone = 0, EditFocused = 1, EditRefresh = 2, EditCancel = 3, EditCommit = 4 };

    void* window = nullptr;        // HWND
    void* editBox = nullptr;       // HWND
    Control* editControl = nullptr;
    Param* editParam = nullptr;
    void* editPrevProc = nullptr;  // WNDPROC
    int32_t editState = EditNone;
    void* editFont = nullptr;      // HFONT, owned while the prompt is open
    TextStyle promptStyle;
    uint32_t* customColours = nullptr;  // 16 COLORREFs, kept between colour prompts
    uint32_t hostProcess = 0;
    void* hostParent = nullptr;    // HWND
    void* hostTop = nullptr;       // HWND

private:
    struct PaintState;
    struct Procs;
    friend struct Procs;

    // Takes this editor's hold on the window class, registering it for the first holder.
    bool AcquireClass();
    void ReleaseClass();
    bool CreateEditorWindow(uint32_t exStyle, const char* title, uint32_t style, int x, int y, int w, int h,
                            void* parent);
    // The client area the picture may take: a floating window's outer size less the frame
    // allowance it was made with, a child's client rectangle.
    bool PictureRoom(int32_t& w, int32_t& h) const;
    // Follows a new window size: the shown scale, and the whole window repainted.
    void RoomChanged();
    // A child smaller than the editor wants grows once its parent holds the wanted size (a
    // host that resizes its frame without answering the request).
    void GrowIntoParent();
    // The window went away without CloseWindow (its parent was destroyed).
    void WindowLost();
    void ServeValuePrompt();
    void DestroyValuePrompt();
    intptr_t HandleMessage(void* hwnd, uint32_t message, uintptr_t wParam, intptr_t lParam);

    PaintState* paint = nullptr;
    bool holdsClass = false;
};
