// The DLL's platform window: the editor window of the class kWindowClassName (a child of the
// host's editor frame, or in one host a floating tool window) with its timer and its
// messages, the in-place value prompt, and the system dialogs and shell services.
#pragma once

#include <cstdint>
#include <string>

#include "graphics/PlatformWindow.h"
#include "graphics/TextStyle.h"

class Graphics;
class GraphicsWindow;

class Win32Window final : public PlatformWindow {
public:
    explicit Win32Window(GraphicsWindow& editor);
    ~Win32Window() override;

    // The Win32 window of an editor made in the DLL; null for any other.
    static Win32Window* Of(const Graphics* graphics);

    bool CanParent(void* parent) const override;
    bool CreateChild(void* parent, const Rect& place) override;
    // A tool window owned by the host's top-level window; false when that cannot be found.
    bool CreateFloating(const Rect& client, const std::string& title) override;
    void Destroy() override;
    bool Exists() const override { return window != nullptr; }
    void* Handle() const override { return window; }
    Rect Place() const override;
    bool OwnsItsSize() const override { return floating; }
    void Resize(int32_t w, int32_t h) override;
    bool ParentHolds(int32_t w, int32_t h) const override;
    void SetTitle(const std::string& title) override;
    Rect FloatingRect() const override;
    // The window's DPI / 96 (per monitor where the system tells it, the system's otherwise),
    // at least 1; before a window exists, that of the host's parent.
    int32_t ScreenScale() const override;
    void Invalidate(const Rect& area) override;
    void PaintNow() override;
    // BeginPaint on the window: the area becomes the system's paint rectangle.
    bool BeginPaint(Rect& area) override;
    // BitBlt from the picture's device context, then EndPaint.
    bool Present(const Surface* picture, const Rect& area) override;
    void Capture(bool held) override;
    void TrackLeave() override;
    bool TakesTick() override;
    // A drop list for on/off and enumerated parameters, a text box otherwise, centred on the
    // control; committed (Enter, a new choice) or cancelled (right click) by the next tick.
    bool PromptParamValue(Control* control, Param* param) override;
    // An empty title keeps the dialog's own.
    bool PromptForColour(Colour& colour, const std::string& title) override;
    // The colour chooser open now answers as cancelled.
    void EndPrompts() override;
    bool PromptForFile(std::string& path, bool save, const std::string& directory,
                       const std::string& extensions) override;
    // Through the opener set below, the shell's "open" by default; true when it took the address.
    bool OpenUrl(const std::string& url) override;
    // Folders end with a backslash; empty when the module's file name cannot be read.
    std::string HostFolder() const override;
    std::string PluginFolder() const override;
    // Decodes the plug-in library's "PNG" resource `id` into a new surface, or null.
    Surface* LoadModuleImage(int32_t id) override;

    // The host's top-level window (an HWND): found from the parent given to OpenWindow, or
    // by the remembered class name among this process's top-level windows; null when neither.
    void* FindHostWindow();

    // What opens an address for every editor of the module; null restores the shell. Tests
    // put their own here, so that no browser starts. Answers the opener it replaced.
    using UrlOpener = bool (*)(const std::string& url);
    static UrlOpener SetUrlOpener(UrlOpener opener);

    // Editors of the module holding the window class; it is registered while this is positive.
    static int32_t ClassUserCount();
    static const char* WindowClassName();
    // The value prompt's box (an HWND, child id 99), null when no prompt is open.
    void* ValuePromptBox() const { return editBox; }

private:
    // What the value prompt is doing, read and changed by the window's timer.
    enum EditState : int32_t { EditNone = 0, EditFocused = 1, EditRefresh = 2, EditCancel = 3, EditCommit = 4 };
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
    void RoomChanged();
    // The window went away without Destroy (its parent was destroyed).
    void WindowLost();
    void ServeValuePrompt();
    void DestroyValuePrompt();
    intptr_t HandleMessage(void* hwnd, uint32_t message, uintptr_t wParam, intptr_t lParam);

    GraphicsWindow& editor;
    void* window = nullptr;        // HWND
    bool floating = false;         // the window was made as a tool window of its own
    void* editBox = nullptr;       // HWND
    Control* editControl = nullptr;
    Param* editParam = nullptr;
    void* editPrevProc = nullptr;  // WNDPROC
    int32_t editState = EditNone;
    void* editFont = nullptr;      // HFONT, owned while the prompt is open
    TextStyle promptStyle;
    uint32_t* customColours = nullptr;  // 16 COLORREFs, kept between colour prompts
    void* colourDialog = nullptr;       // HWND of the colour chooser while it is open
    uint32_t hostProcess = 0;
    void* hostTop = nullptr;       // HWND
    PaintState* paint = nullptr;
    bool holdsClass = false;
};
