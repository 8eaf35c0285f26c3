// The DLL's window layer. The editor window itself is not made yet: OpenWindow answers
// false, the dialogs answer cancelled, and the paint has no window to present to.
#pragma once

#include <cstdint>
#include <string>

#include "graphics/Graphics.h"

class SystemSurface;

class Win32Window : public Graphics {
public:
    Win32Window(PluginCore* plug, int32_t width, int32_t height, double framesPerSecond);
    ~Win32Window() override;

    bool OpenWindow(void* parent) override;
    void CloseWindow() override;
    bool IsWindowOpen() const override { return window != nullptr; }
    bool PromptParamValue(Control* control, Param* param) override;
    // Folders end with a backslash; empty when the module's file name cannot be read.
    std::string GetHostPath() override;
    std::string GetPluginPath() override;
    bool PromptForFile(std::string& path, bool save, const std::string& directory,
                       const std::string& extensions) override;
    bool PromptForColour(Colour& colour, const std::string& title) override;
    bool OpenUrl(const std::string& url) override;
    void* GetWindowHandle() const override { return window; }
    void SetWindowTitle(const std::string& title) override;
    Rect GetFloatingWindowRect() const override;
    bool OpenFloatingWindow(const Rect& rect) override;

protected:
    // The platform part of Paint: BeginPaint on the window, then BitBlt of the paint
    // rectangle from the surface's device context and EndPaint.
    bool BeginWindowPaint();
    bool PresentPaint(const SystemSurface* surface);
    // Decodes the plug-in library's "PNG" resource `id` into a new surface, or null.
    Surface* LoadModuleImage(int32_t id);

    void* window = nullptr;     // HWND
    void* hostParent = nullptr;  // HWND

private:
    struct PaintState;
    PaintState* paint = nullptr;
};
