// The graphics object's window layer, written once for every platform: opening the editor as
// a child of the host's window or as a floating one, the scale it is shown at and the room
// it asks the host for, the redraw tick, the paint's area, and the mouse's capture, hover
// and leave. What differs between platforms is the PlatformWindow it holds, chosen when the
// program is linked. The raster layer derives from this class.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "graphics/Graphics.h"
#include "graphics/PlatformWindow.h"

class SystemSurface;

class GraphicsWindow : public Graphics {
public:
    GraphicsWindow(PluginCore* plug, int32_t width, int32_t height, double framesPerSecond);
    ~GraphicsWindow() override;

    // Child mode: a window inside `parent`; opening again makes it anew at its previous
    // place in the new parent. Floating mode: a window of its own, kept when opened again.
    bool OpenWindow(void* parent) override;
    // Opens a floating window whose client area is `rect` (nothing when one is open).
    bool OpenFloatingWindow(const Rect& rect) override;
    void CloseWindow() override;
    bool IsWindowOpen() const override;
    void* GetWindowHandle() const override;
    void SetWindowTitle(const std::string& title) override;
    Rect GetFloatingWindowRect() const override;
    bool PromptParamValue(Control* control, Param* param) override;
    std::string GetHostPath() override;
    std::string GetPluginPath() override;
    bool PromptForFile(std::string& path, bool save, const std::string& directory,
                       const std::string& extensions) override;
    bool PromptForColour(Colour& colour, const std::string& title) override;
    void EndPrompts() override;
    bool OpenUrl(const std::string& url) override;
    int32_t ScreenScale() const override;

    // How the host is asked for room for the editor (the LV2 resize feature); true when it
    // made it. Without one, the plug-in asks its host.
    using Resizer = bool (*)(void* context, int32_t width, int32_t height);
    void SetResizer(Resizer resizer, void* context);

    // What the platform reports, on the window's thread.
    // The redraw timer: host changes taken up, a new scale applied, the dirty controls'
    // area invalidated and painted at once. True when a paint ran.
    bool Tick();
    // Marks part of the client area for repainting; PaintInvalid paints what is marked.
    void Invalidate(const Rect& area);
    bool PaintInvalid();
    void ButtonPressed(int32_t x, int32_t y, const MouseKeys& keys);
    void ButtonReleased(int32_t x, int32_t y);
    // A move with a button held drags while the press holds the capture; without one it hovers.
    void PointerMoved(int32_t x, int32_t y, const MouseKeys& keys);
    void PointerEntered();
    void PointerLeft();
    void DoubleClicked(int32_t x, int32_t y, const MouseKeys& keys);
    void WheelTurned(int32_t x, int32_t y, const MouseKeys& keys, int32_t steps);
    void CaptureLost();
    // The client area has a new size: the shown scale follows and everything is repainted.
    void ClientResized(int32_t w, int32_t h);
    // The screen's density changed: an automatic scale follows it.
    void ScreenChanged();
    // The system destroyed the window (with the host's).
    void WindowLost();

    void* HostParent() const { return hostParent; }
    int32_t ClientWidth() const { return clientWidth; }
    int32_t ClientHeight() const { return clientHeight; }
    PlatformWindow& Platform() const { return *platform; }

protected:
    void ApplyScale() override;
    // The platform part of Paint: opens the paint (the pending area becomes the paint area)
    // and, once the surface is drawn, puts the paint area on the window at the shown scale.
    bool BeginWindowPaint();
    bool PresentPaint(const SystemSurface* surface);
    Surface* LoadModuleImage(int32_t id);

private:
    bool WindowMade(bool made);
    // A child smaller than the editor wants grows once its parent holds the wanted size (a
    // host that resizes its frame without answering the request).
    void GrowIntoParent();
    // The surface at the shown scale for the paint area: the surface itself at 1x.
    const Surface* ScaledPicture(const SystemSurface* surface);
    void ForgetPointer();

    std::unique_ptr<PlatformWindow> platform;
    void* hostParent = nullptr;
    int32_t clientWidth = 0;
    int32_t clientHeight = 0;
    Rect invalid;
    Rect paintArea;
    bool painting = false;
    bool hasCapture = false;
    bool trackingLeave = false;
    bool leaveWhileCaptured = false;
    std::unique_ptr<SystemSurface> scaled;
    Resizer resizer = nullptr;
    void* resizerContext = nullptr;
};
