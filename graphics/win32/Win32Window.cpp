#include "graphics/win32/Win32Window.h"

#include <windows.h>
#undef DrawText
#undef LoadBitmap

#include <new>

#include "graphics/GraphicsRaster.h"
#include "graphics/PngLoader.h"
#include "graphics/SystemSurface.h"
#include "plugin/Module.h"

struct Win32Window::PaintState {
    PAINTSTRUCT ps;
    bool active = false;
};

namespace {

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

}  // namespace

Win32Window::Win32Window(PluginCore* plug, int32_t width, int32_t height, double framesPerSecond)
    : Graphics(plug, width, height, framesPerSecond), paint(new (std::nothrow) PaintState())
{
}

Win32Window::~Win32Window()
{
    CloseWindow();
    delete paint;
}

bool Win32Window::OpenWindow(void* parent)
{
    hostParent = parent;
    return false;
}

bool Win32Window::OpenFloatingWindow(const Rect&)
{
    return window != nullptr;
}

void Win32Window::CloseWindow()
{
    if (!window) return;
    DestroyWindow(static_cast<HWND>(window));
    window = nullptr;
}

bool Win32Window::PromptParamValue(Control*, Param*)
{
    return false;
}

std::string Win32Window::GetHostPath()
{
    return ModuleFolder(nullptr);
}

std::string Win32Window::GetPluginPath()
{
    return ModuleFolder(static_cast<HMODULE>(ModuleHandleRef()));
}

bool Win32Window::PromptForFile(std::string& path, bool, const std::string&, const std::string&)
{
    path.clear();
    return false;
}

bool Win32Window::PromptForColour(Colour&, const std::string&)
{
    return false;
}

bool Win32Window::OpenUrl(const std::string&)
{
    return false;
}

void Win32Window::SetWindowTitle(const std::string& title)
{
    if (window) SetWindowTextA(static_cast<HWND>(window), title.c_str());
}

Rect Win32Window::GetFloatingWindowRect() const
{
    RECT r;
    if (!window || !GetWindowRect(static_cast<HWND>(window), &r)) return Rect();
    // Without the frame allowance a floating window is opened with.
    return Rect(r.left, r.top, r.right - 6, r.bottom - 23);
}

bool Win32Window::BeginWindowPaint()
{
    if (!paint) return false;
    paint->active = false;
    if (!window) return false;
    paint->active = BeginPaint(static_cast<HWND>(window), &paint->ps) != nullptr;
    return paint->active;
}

bool Win32Window::PresentPaint(const SystemSurface* surface)
{
    if (!paint || !paint->active) return false;
    paint->active = false;
    const RECT& r = paint->ps.rcPaint;
    HDC source = surface ? static_cast<HDC>(surface->deviceContext()) : nullptr;
    const bool copied = source && BitBlt(paint->ps.hdc, r.left, r.top, r.right - r.left, r.bottom - r.top, source,
                                         r.left, r.top, SRCCOPY);
    EndPaint(static_cast<HWND>(window), &paint->ps);
    return copied;
}

Surface* Win32Window::LoadModuleImage(int32_t id)
{
    return LoadPngResource(ModuleHandleRef(), id, nullptr);
}

Graphics* CreateGraphics(PluginCore* plug, int32_t width, int32_t height, double framesPerSecond)
{
    return new (std::nothrow) GraphicsRaster(plug, width, height, framesPerSecond);
}
