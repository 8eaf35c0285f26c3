#include "graphics/native/HeadlessWindow.h"

#include <dlfcn.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <climits>
#include <utility>

#include "graphics/GraphicsRaster.h"
#include "graphics/PngLoader.h"
#include "graphics/SystemSurface.h"
#include "plugin/Module.h"
#include "plugin/PluginCore.h"

namespace {

std::atomic<int32_t> openWindows{0};

// Geometric emptiness: what the window manager ignores when it is invalidated.
bool HasArea(const Rect& r)
{
    return r.right > r.left && r.bottom > r.top;
}

std::string FolderOf(const std::string& path)
{
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}


}  // namespace

HeadlessWindow::HeadlessWindow(PluginCore* plug, int32_t width, int32_t height, double framesPerSecond)
    : Graphics(plug, width, height, framesPerSecond)
{
}

HeadlessWindow::~HeadlessWindow()
{
    CloseWindow();
}

int32_t HeadlessWindow::OpenWindowCount()
{
    return openWindows;
}

bool HeadlessWindow::CreateWindowAt(const Rect& outer)
{
    const size_t pixels = width > 0 && height > 0 ? static_cast<size_t>(width) * static_cast<size_t>(height) : 0;
    try {
        presented.assign(pixels, 0);
    } catch (...) {
        return false;
    }
    open = true;
    ++openWindows;
    windowRect = outer;
    invalid = Rect();
    hasCapture = trackingLeave = painting = false;
    // A window that is shown owes one paint of its whole client area.
    Invalidate(Rect(0, 0, width, height));
    return true;
}

bool HeadlessWindow::OpenWindow(void* parent)
{
    hostParent = parent;
    if (floating) {
        if (open) return true;
        return OpenFloatingWindow(Rect(128, 128, 128 + width, 128 + height));
    }
    Rect outer(0, 0, width, height);
    if (open) {
        // Made anew at the same place and size.
        outer = windowRect;
        CloseWindow();
    }
    return CreateWindowAt(outer);
}

bool HeadlessWindow::OpenFloatingWindow(const Rect& rect)
{
    if (open) return true;
    // The rectangle is the client area; the frame and caption add 6 and 23 pixels.
    const Rect outer(rect.left, rect.top, static_cast<int32_t>(std::min<int64_t>(rect.right + 6LL, INT32_MAX)),
                     static_cast<int32_t>(std::min<int64_t>(rect.bottom + 23LL, INT32_MAX)));
    if (!CreateWindowAt(outer)) return false;
    title = plug ? plug->EffectName() : std::string();
    return true;
}

void HeadlessWindow::CloseWindow()
{
    if (!open) return;
    open = false;
    --openWindows;
    presented.clear();
    invalid = Rect();
    hasCapture = trackingLeave = painting = false;
}

Rect HeadlessWindow::GetFloatingWindowRect() const
{
    if (!open) return Rect();
    return Rect(windowRect.left, windowRect.top, windowRect.right - 6, windowRect.bottom - 23);
}

void HeadlessWindow::SetWindowTitle(const std::string& text)
{
    if (open) title = text;
}

bool HeadlessWindow::PromptParamValue(Control* control, Param* param)
{
    if (!control || !param) return false;
    ++promptCount;
    promptedControl = control;
    promptedParam = param;
    return false;
}

std::string HeadlessWindow::GetHostPath()
{
    char path[4096];
    const ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
    if (n <= 0) return std::string();
    return FolderOf(std::string(path, static_cast<size_t>(n)));
}

std::string HeadlessWindow::GetPluginPath()
{
    // The file that holds this code: the test program, or a shared library built from it.
    Dl_info info = {};
    if (!dladdr(reinterpret_cast<void*>(&OpenWindowCount), &info) || !info.dli_fname) return std::string();
    std::string file = info.dli_fname;
    if (file.find('/') == std::string::npos) return GetHostPath();
    return FolderOf(file);
}

bool HeadlessWindow::PromptForFile(std::string& path, bool, const std::string&, const std::string&)
{
    path.clear();
    return false;
}

void HeadlessWindow::AnswerColourPrompt(bool confirm, const Colour& answer)
{
    colourConfirm = confirm;
    colourAnswer = answer;
}

bool HeadlessWindow::PromptForColour(Colour& colour, const std::string& text)
{
    if (!open) return false;
    lastColourTitle = text;
    if (!colourConfirm) return false;
    // The chooser gives red, green and blue; alpha stays.
    colour.r = colourAnswer.r & 255;
    colour.g = colourAnswer.g & 255;
    colour.b = colourAnswer.b & 255;
    return true;
}

bool HeadlessWindow::OpenUrl(const std::string& url)
{
    lastUrl = url;
    return false;
}

void HeadlessWindow::Invalidate(const Rect& area)
{
    if (!open) return;
    const Rect clipped(std::max(area.left, 0), std::max(area.top, 0), std::min(area.right, width),
                       std::min(area.bottom, height));
    if (!HasArea(clipped)) return;
    invalid = HasArea(invalid) ? RectUnion(invalid, clipped) : clipped;
}

bool HeadlessWindow::Tick()
{
    if (!open) return false;
    Rect area;
    if (IsAnyDirty(area)) Invalidate(area);
    if (!HasArea(invalid)) return false;
    Paint();
    return true;
}

bool HeadlessWindow::BeginWindowPaint()
{
    if (!open) return false;
    // As BeginPaint: the pending area becomes the paint area and is no longer pending.
    paintArea = HasArea(invalid) ? invalid : Rect();
    invalid = Rect();
    painting = true;
    return true;
}

bool HeadlessWindow::PresentPaint(const SystemSurface* surface)
{
    if (!painting) return false;
    painting = false;
    ++paintCount;
    lastPaintArea = paintArea;
    if (!surface || !HasPixels(*surface) || !HasArea(paintArea)) return true;
    const int32_t right = std::min({paintArea.right, width, surface->width()});
    const int32_t bottom = std::min({paintArea.bottom, height, surface->height()});
    for (int32_t y = paintArea.top; y < bottom; ++y) {
        const uint32_t* from = SurfaceRow(*surface, y);
        uint32_t* to = presented.data() + static_cast<size_t>(y) * static_cast<size_t>(width);
        for (int32_t x = paintArea.left; x < right; ++x) to[x] = from[x];
    }
    return true;
}

uint32_t HeadlessWindow::PresentedPixel(int32_t x, int32_t y) const
{
    if (!open || x < 0 || y < 0 || x >= width || y >= height) return 0;
    return presented[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)];
}

void HeadlessWindow::MouseDown(int32_t x, int32_t y, const MouseKeys& keys)
{
    if (!open) return;
    hasCapture = true;
    OnMouseDown(x, y, keys);
}

void HeadlessWindow::MouseUp(int32_t x, int32_t y)
{
    if (!open) return;
    hasCapture = false;
    OnMouseUp(x, y);
}

void HeadlessWindow::MouseMove(int32_t x, int32_t y, const MouseKeys& keys)
{
    if (!open) return;
    if (keys.left || keys.right) {
        if (hasCapture) OnMouseDrag(x, y, keys);
        return;
    }
    if (OnMouseOver(x, y, keys)) trackingLeave = true;
}

void HeadlessWindow::MouseDoubleClick(int32_t x, int32_t y, const MouseKeys& keys)
{
    if (open) OnMouseDblClick(x, y, keys);
}

void HeadlessWindow::MouseWheel(int32_t x, int32_t y, const MouseKeys& keys, int32_t wheelDelta)
{
    if (!open) return;
    // The message carries a 16-bit signed delta; 120 is one notch, smaller deltas give 0 steps.
    OnMouseWheel(x, y, keys, static_cast<int16_t>(wheelDelta) / 120);
}

void HeadlessWindow::MouseLeave()
{
    if (!open || !trackingLeave) return;
    trackingLeave = false;
    OnMouseOut();
}

void HeadlessWindow::AddImageResource(int32_t id, std::vector<uint8_t> png)
{
    imageResources[id] = std::move(png);
}

Surface* HeadlessWindow::LoadModuleImage(int32_t id)
{
    auto found = imageResources.find(id);
    if (found == imageResources.end()) return LoadPngResource(ModuleHandleRef(), id, nullptr);
    return DecodePng(found->second.data(), found->second.size(), nullptr);
}

Graphics* CreateGraphics(PluginCore* plug, int32_t width, int32_t height, double framesPerSecond)
{
    try {
        return new GraphicsRaster(plug, width, height, framesPerSecond);
    } catch (...) {
        return nullptr;
    }
}
