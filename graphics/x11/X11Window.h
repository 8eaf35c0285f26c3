// The Linux build's window layer: the editor as an Xlib window inside the host's window
// (or on its own when the host gives none). X has no timer or double-click messages of
// its own, so the host's idle calls ServeEvents, which reads the pending events, tells
// double clicks by their timing and runs the redraw tick when its period has passed.
#pragma once

#include <cstdint>
#include <string>

#include "graphics/Graphics.h"

class SystemSurface;

class X11Window : public Graphics {
public:
    X11Window(PluginCore* plug, int32_t width, int32_t height, double framesPerSecond);
    ~X11Window() override;

    // `parent` is an X window id; null opens a top-level window. Opening again in child
    // mode makes the window anew inside the new parent at the old position.
    bool OpenWindow(void* parent) override;
    void CloseWindow() override;
    bool IsWindowOpen() const override { return window != 0; }
    // No system dialogs on X: prompts answer as cancelled.
    bool PromptParamValue(Control* control, Param* param) override;
    std::string GetHostPath() override;
    std::string GetPluginPath() override;
    bool PromptForFile(std::string& path, bool save, const std::string& directory,
                       const std::string& extensions) override;
    bool PromptForColour(Colour& colour, const std::string& title) override;
    // Hands the address to xdg-open, which runs apart from the host.
    bool OpenUrl(const std::string& url) override;
    // The X window id, or null.
    void* GetWindowHandle() const override;
    void SetWindowTitle(const std::string& title) override;
    Rect GetFloatingWindowRect() const override;
    bool OpenFloatingWindow(const Rect& rect) override;

    // Reads every pending event and, when a timer period has passed since the last tick,
    // paints the dirty area. Answers false once the window is gone.
    bool ServeEvents();
    // The same at a given time of the monotonic clock, in milliseconds.
    bool ServeEvents(uint64_t nowMs);

    // The screen's scale: the host's own scale factor when it gives one (the LV2 option),
    // otherwise the X resource Xft.dpi / 96; whole, 1 to kMaxScale.
    int32_t ScreenScale() const override;
    // The host's scale factor (0: none given).
    void SetHostScaleFactor(float factor) { hostScaleFactor = factor; }
    // How the host is asked for room for the editor (the LV2 resize feature); true when it
    // made it. Without one the plug-in's own request to its host is used.
    using Resizer = bool (*)(void* context, int32_t width, int32_t height);
    void SetResizer(Resizer resizer, void* context);

    // Double-click timing, as the Windows defaults: 500 ms within a 4 x 4 pixel box.
    static constexpr uint32_t kDoubleClickMs = 500;
    static constexpr int32_t kDoubleClickBox = 4;

protected:
    bool BeginWindowPaint();
    bool PresentPaint(const SystemSurface* surface);
    Surface* LoadModuleImage(int32_t id);
    void ApplyScale() override;

private:
    struct Connection;

    bool CreateWindowIn(unsigned long parentWindow, int32_t x, int32_t y, int32_t w, int32_t h, bool topLevel);
    bool OpenDisplay();
    // A top-level window keeps the one size it has.
    void FixSizeHints(int32_t w, int32_t h);
    // Follows a new window size: the shown scale, and the whole window repainted.
    void RoomChanged(int32_t w, int32_t h);
    void Invalidate(const Rect& area);
    void Tick();
    void HandleEvent(void* event);
    MouseKeys KeysOf(unsigned int state) const;

    Connection* x = nullptr;
    unsigned long window = 0;
    void* hostParent = nullptr;
    bool topLevelWindow = false;
    int32_t clientWidth = 0;
    int32_t clientHeight = 0;
    float hostScaleFactor = 0.0f;
    Resizer resizer = nullptr;
    void* resizerContext = nullptr;
    bool painting = false;
    bool hasCapture = false;
    bool trackingLeave = false;
    bool leaveWhileCaptured = false;
    Rect invalid;
    Rect paintArea;
    uint64_t nextTickMs = 0;
    // The last left press, for telling a double click: its time, place and whether it
    // already ended a double click (a third press starts anew).
    uint64_t lastPressMs = 0;
    int32_t lastPressX = 0;
    int32_t lastPressY = 0;
    unsigned int lastPressButton = 0;
    bool lastPressWasDouble = true;
};
