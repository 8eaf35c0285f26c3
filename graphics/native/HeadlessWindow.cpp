#include "graphics/native/HeadlessWindow.h"

#include <dlfcn.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <climits>
#include <cstring>
#include <utility>

#include "graphics/GraphicsRaster.h"
#include "graphics/PngLoader.h"
#include "graphics/ScaleBlit.h"
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

bool HeadlessWindow::SizeClient(int32_t w, int32_t h)
{
    w = std::max(w, 0);
    h = std::max(h, 0);
    try {
        presented.assign(static_cast<size_t>(w) * static_cast<size_t>(h), 0);
    } catch (...) {
        return false;
    }
    clientWidth = w;
    clientHeight = h;
    return true;
}

bool HeadlessWindow::CreateWindowAt(const Rect& outer)
{
    // A floating window's frame and caption take 6 and 23 pixels of its outer rectangle.
    const int64_t w = outer.Width() - (floating ? 6 : 0);
    const int64_t h = outer.Height() - (floating ? 23 : 0);
    const int64_t limit = int64_t(width) * kMaxScale;
    if (!SizeClient(static_cast<int32_t>(std::min(w, limit)), static_cast<int32_t>(std::min(h, int64_t(height) * kMaxScale))))
        return false;
    open = true;
    ++openWindows;
    windowRect = outer;
    invalid = Rect();
    hasCapture = trackingLeave = painting = false;
    shownScale = FittingScale(clientWidth, clientHeight);
    // A window made at another size than the editor wants asks for room at its first tick.
    if (clientWidth != width * WantedScale() || clientHeight != height * WantedScale()) RequestScale();
    // A window that is shown owes one paint of its whole client area.
    Invalidate(Rect(0, 0, clientWidth, clientHeight));
    return true;
}

void HeadlessWindow::SetScreenScale(int32_t scale)
{
    screenScale = std::max(1, std::min(kMaxScale, scale));
    if (open && ScaleChoice() == 0) ApplyScale();
}

void HeadlessWindow::ApplyScale()
{
    if (!open) return;
    const int32_t s = WantedScale();
    const int32_t w = width * s, h = height * s;
    if (w != clientWidth || h != clientHeight) {
        // A floating window is ours to resize; a child lives in the host's room.
        if (floating || (plug && plug->RequestEditorSize(w, h))) {
            if (SizeClient(w, h)) {
                roomWidth = w;
                roomHeight = h;
                windowRect.right = windowRect.left + w + (floating ? 6 : 0);
                windowRect.bottom = windowRect.top + h + (floating ? 23 : 0);
            }
        }
    }
    shownScale = FittingScale(clientWidth, clientHeight);
    Invalidate(Rect(0, 0, clientWidth, clientHeight));
}

bool HeadlessWindow::OpenWindow(void* parent)
{
    hostParent = parent;
    if (floating) {
        if (open) return true;
        return OpenFloatingWindow(Rect(128, 128, 128 + width * WantedScale(), 128 + height * WantedScale()));
    }
    // The room the host made for us when it asked for our size, else the size we want.
    const int32_t s = WantedScale();
    Rect outer(0, 0, roomWidth > 0 ? roomWidth : width * s, roomHeight > 0 ? roomHeight : height * s);
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
    clientWidth = clientHeight = 0;
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
    if (!pluginPath.empty()) return pluginPath;
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
    const Rect clipped(std::max(area.left, 0), std::max(area.top, 0), std::min(area.right, clientWidth),
                       std::min(area.bottom, clientHeight));
    if (!HasArea(clipped)) return;
    invalid = HasArea(invalid) ? RectUnion(invalid, clipped) : clipped;
}

bool HeadlessWindow::Tick()
{
    if (!open) return false;
    TakeHostChanges();
    if (TakeScaleRequest()) ApplyScale();
    Rect area;
    if (IsAnyDirty(area)) Invalidate(ScaledArea(area, shownScale));
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
    // As the DLL does: the blocks of the paint area are made in a scaled copy of the surface,
    // which is then copied to the window; what lies beyond the picture is black.
    const int32_t s = std::max(1, shownScale);
    const Surface* from = surface;
    if (s > 1) {
        if (scaled.width() != surface->width() * s || scaled.height() != surface->height() * s)
            scaled.resize(surface->width() * s, surface->height() * s);
        ScaleBlit(RowsOf(scaled), RowsOf(*surface), SourceAreaOf(paintArea, s), s);
        from = &scaled;
    }
    if (!HasPixels(*from)) return true;
    const int32_t bottom = std::min(paintArea.bottom, clientHeight);
    const int32_t right = std::min(paintArea.right, clientWidth);
    const int32_t left = std::max(paintArea.left, 0);
    for (int32_t y = std::max(paintArea.top, 0); y < bottom; ++y) {
        uint32_t* to = presented.data() + static_cast<size_t>(y) * static_cast<size_t>(clientWidth);
        const int32_t inside = y < from->height() ? std::max(std::min(right, from->width()) - left, 0) : 0;
        if (inside > 0) std::memcpy(to + left, SurfaceRow(*from, y) + left, static_cast<size_t>(inside) * 4);
        std::fill(to + left + inside, to + std::max(right, left + inside), 0u);
    }
    return true;
}

uint32_t HeadlessWindow::PresentedPixel(int32_t x, int32_t y) const
{
    if (!open || x < 0 || y < 0 || x >= clientWidth || y >= clientHeight) return 0;
    return presented[static_cast<size_t>(y) * static_cast<size_t>(clientWidth) + static_cast<size_t>(x)];
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
