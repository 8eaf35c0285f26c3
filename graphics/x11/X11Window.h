// The Linux build's platform window: the editor as an Xlib window inside the host's window
// (or on its own when the host gives none), on a connection of its own that lives as long as
// the window. X has no timer or double-click messages of its own, so the host's idle calls
// ServeEvents, which reads the pending events, tells double clicks by their timing and runs
// the editor's tick when its period has passed.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

#include "graphics/PlatformWindow.h"
#include "graphics/x11/X11Image.h"

class Graphics;
class GraphicsWindow;
class X11Connection;

class X11Window final : public PlatformWindow {
public:
    explicit X11Window(GraphicsWindow& editor);
    ~X11Window() override;

    // The X11 window of an editor made in the Linux build; null for any other.
    static X11Window* Of(const Graphics* graphics);

    // Opens the connection (and reads the screen's density) ahead of the window.
    bool Prepare() override;
    // `parent` is an X window id; null makes a top-level window.
    bool CreateChild(void* parent, const Rect& place) override;
    bool CreateFloating(const Rect& client, const std::string& title) override;
    void Destroy() override;
    bool Exists() const override { return window != 0; }
    // The X window id, or null.
    void* Handle() const override;
    Rect Place() const override;
    bool OwnsItsSize() const override { return topLevelWindow; }
    void Resize(int32_t w, int32_t h) override;
    void SetTitle(const std::string& title) override;
    Rect FloatingRect() const override;
    // The host's own scale factor when it gives one (the LV2 option), otherwise the X
    // resource Xft.dpi / 96; whole, at least 1.
    int32_t ScreenScale() const override;
    void PaintNow() override;
    bool BeginPaint(Rect& area) override;
    bool Present(const Surface* picture, const Rect& area) override;
    // The colour chooser in a window of its own over the editor. It returns the answer, so
    // it serves the connection until the user has answered, as a system's modal dialog
    // does: the editor's window keeps its paints and ticks but takes no input meanwhile.
    // Closing the chooser, the editor's window going, or EndPrompts cancels.
    bool PromptForColour(Colour& colour, const std::string& title) override;
    // Ends a prompt under way as cancelled, and refuses new ones until the window is made
    // anew. Any thread.
    void EndPrompts() override { promptsEnded = true; }
    // Hands the address to xdg-open, which runs apart from the host.
    bool OpenUrl(const std::string& url) override;
    std::string HostFolder() const override;
    std::string PluginFolder() const override;
    Surface* LoadModuleImage(int32_t id) override;

    // Reads every pending event and, when a timer period has passed since the last tick,
    // runs the editor's tick. Answers false once the window is gone.
    bool ServeEvents();
    // The same at a given time of the monotonic clock, in milliseconds.
    bool ServeEvents(uint64_t nowMs);

    // The host's scale factor (0: none given).
    void SetHostScaleFactor(float factor) { hostScaleFactor = factor; }
    // How the picture is put, for tests and measurements: a change takes effect at the
    // next paint.
    void SetSharing(X11Image::Sharing sharing);
    const X11Image& Image() const { return image; }
    // The connection while the window is open, for tests; null otherwise.
    X11Connection* Connection() const { return x.get(); }

    // Double-click timing, as the Windows defaults: 500 ms within a 4 x 4 pixel box.
    static constexpr uint32_t kDoubleClickMs = 500;
    static constexpr int32_t kDoubleClickBox = 4;

private:
    bool CreateWindowIn(unsigned long parentWindow, int32_t x, int32_t y, int32_t w, int32_t h, bool topLevel,
                        const std::string& title);
    // A top-level window keeps the one size it has.
    void FixSizeHints(int32_t w, int32_t h);
    // modal: a prompt is up, and the editor's window takes no input.
    void HandleEvent(void* event, bool modal);
    void ButtonPressed(const void* event);
    // The editor's tick when its period has passed, then what is left to paint.
    void TickIfDue(uint64_t now);
    // The window is gone without our doing (with the host's, or with the connection).
    void WindowGone();
    // Closes the connection when no window needs it and nothing of ours is serving it.
    void ReleaseConnection();

    GraphicsWindow& editor;
    std::unique_ptr<X11Connection> x;
    _XGC* gc = nullptr;
    X11Image image;
    unsigned long window = 0;
    bool topLevelWindow = false;
    float hostScaleFactor = 0.0f;
    double screenFactor = 0.0;
    bool painting = false;
    // ServeEvents and prompts under way (a prompt runs inside ServeEvents).
    int32_t serving = 0;
    std::atomic<bool> promptsEnded{false};
    uint64_t nextTickMs = 0;
    // The last left press, for telling a double click: its time, place and whether it
    // already ended a double click (a third press starts anew).
    uint64_t lastPressMs = 0;
    int32_t lastPressX = 0;
    int32_t lastPressY = 0;
    unsigned int lastPressButton = 0;
    bool lastPressWasDouble = true;
};
