#include "graphics/native/HeadlessWindow.h"

#include <algorithm>
#include <atomic>
#include <climits>
#include <cstring>
#include <utility>

#include "graphics/GraphicsWindow.h"
#include "graphics/PngLoader.h"
#include "graphics/Surface.h"
#include "graphics/native/ModuleFolders.h"
#include "plugin/Module.h"
#include "plugin/PluginCore.h"

namespace {

std::atomic<int32_t> openWindows{0};

// What a floating window's frame and caption add to its client area, as on Windows.
constexpr int32_t kFrameWidth = 6;
constexpr int32_t kFrameHeight = 23;

bool HasArea(const Rect& r)
{
    return r.right > r.left && r.bottom > r.top;
}

// One event of the editor, as the window procedure runs one: nothing of the window is
// touched after it, since a close the host made meanwhile ends the plug-in with it.
template <typename Handle>
void EditorEvent(GraphicsWindow& editor, Handle handle)
{
    PluginCore* plug = editor.Plug();
    if (plug) plug->EnterEditorEvent();
    handle();
    if (plug) PluginCore::LeaveEditorEvent(plug);
}

}  // namespace

std::unique_ptr<PlatformWindow> MakePlatformWindow(GraphicsWindow& editor)
{
    return std::unique_ptr<PlatformWindow>(new HeadlessWindow(editor));
}

HeadlessWindow::HeadlessWindow(GraphicsWindow& editor) : editor(editor) {}

HeadlessWindow::~HeadlessWindow()
{
    Destroy();
}

HeadlessWindow* HeadlessWindow::Of(const Graphics* graphics)
{
    const auto* window = dynamic_cast<const GraphicsWindow*>(graphics);
    return window ? dynamic_cast<HeadlessWindow*>(&window->Platform()) : nullptr;
}

int32_t HeadlessWindow::OpenWindowCount()
{
    return openWindows;
}

void* HeadlessWindow::HostParent() const
{
    return editor.HostParent();
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

bool HeadlessWindow::CreateAt(const Rect& outer, bool floatingWindow)
{
    const int64_t w = outer.Width() - (floatingWindow ? kFrameWidth : 0);
    const int64_t h = outer.Height() - (floatingWindow ? kFrameHeight : 0);
    // No screen holds more than the largest scale of the editor.
    const int64_t most = int64_t(Graphics::kMaxScale);
    if (!SizeClient(static_cast<int32_t>(std::min(w, int64_t(editor.Width()) * most)),
                    static_cast<int32_t>(std::min(h, int64_t(editor.Height()) * most))))
        return false;
    open = true;
    floating = floatingWindow;
    ++openWindows;
    windowRect = outer;
    painting = false;
    editor.ClientResized(clientWidth, clientHeight);
    return true;
}

bool HeadlessWindow::CreateChild(void*, const Rect& place)
{
    return CreateAt(place, false);
}

bool HeadlessWindow::CreateFloating(const Rect& client, const std::string& text)
{
    const Rect outer(client.left, client.top, static_cast<int32_t>(std::min<int64_t>(client.right + int64_t(kFrameWidth), INT32_MAX)),
                     static_cast<int32_t>(std::min<int64_t>(client.bottom + int64_t(kFrameHeight), INT32_MAX)));
    if (!CreateAt(outer, true)) return false;
    title = text;
    return true;
}

void HeadlessWindow::Destroy()
{
    if (!open) return;
    open = false;
    --openWindows;
    presented.clear();
    clientWidth = clientHeight = 0;
    painting = false;
}

void HeadlessWindow::Resize(int32_t w, int32_t h)
{
    if (!open || !SizeClient(w, h)) return;
    windowRect.right = windowRect.left + w + (floating ? kFrameWidth : 0);
    windowRect.bottom = windowRect.top + h + (floating ? kFrameHeight : 0);
    editor.ClientResized(clientWidth, clientHeight);
}

Rect HeadlessWindow::FloatingRect() const
{
    if (!open) return Rect();
    return Rect(windowRect.left, windowRect.top, windowRect.right - kFrameWidth, windowRect.bottom - kFrameHeight);
}

void HeadlessWindow::SetScreenScale(int32_t scale)
{
    screenScale = std::max(1, std::min(Graphics::kMaxScale, scale));
    editor.ScreenChanged();
}

void HeadlessWindow::Expose(const Rect& area)
{
    editor.Invalidate(area);
}

bool HeadlessWindow::Tick()
{
    bool painted = false;
    EditorEvent(editor, [&] { painted = editor.Tick(); });
    return painted;
}

void HeadlessWindow::PaintNow()
{
    editor.Paint();
}

bool HeadlessWindow::BeginPaint(Rect&)
{
    if (!open) return false;
    painting = true;
    return true;
}

bool HeadlessWindow::Present(const Surface* picture, const Rect& area)
{
    if (!painting) return false;
    painting = false;
    ++paintCount;
    lastPaintArea = area;
    if (!picture || !HasPixels(*picture) || !HasArea(area)) return true;
    // What lies beyond the picture is black.
    const int32_t bottom = std::min(area.bottom, clientHeight);
    const int32_t right = std::min(area.right, clientWidth);
    const int32_t left = std::max(area.left, 0);
    for (int32_t y = std::max(area.top, 0); y < bottom; ++y) {
        uint32_t* to = presented.data() + static_cast<size_t>(y) * static_cast<size_t>(clientWidth);
        const int32_t inside = y < picture->height() ? std::max(std::min(right, picture->width()) - left, 0) : 0;
        if (inside > 0) std::memcpy(to + left, SurfaceRow(*picture, y) + left, static_cast<size_t>(inside) * 4);
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
    if (open) EditorEvent(editor, [&] { editor.ButtonPressed(x, y, keys); });
}

void HeadlessWindow::MouseUp(int32_t x, int32_t y)
{
    if (open) EditorEvent(editor, [&] { editor.ButtonReleased(x, y); });
}

void HeadlessWindow::MouseMove(int32_t x, int32_t y, const MouseKeys& keys)
{
    if (open) EditorEvent(editor, [&] { editor.PointerMoved(x, y, keys); });
}

void HeadlessWindow::MouseDoubleClick(int32_t x, int32_t y, const MouseKeys& keys)
{
    if (open) EditorEvent(editor, [&] { editor.DoubleClicked(x, y, keys); });
}

void HeadlessWindow::MouseWheel(int32_t x, int32_t y, const MouseKeys& keys, int32_t wheelDelta)
{
    // The message carries a 16-bit signed delta; 120 is one notch, smaller deltas give 0 steps.
    if (open) EditorEvent(editor, [&] { editor.WheelTurned(x, y, keys, static_cast<int16_t>(wheelDelta) / 120); });
}

void HeadlessWindow::MouseLeave()
{
    if (open) EditorEvent(editor, [&] { editor.PointerLeft(); });
}

bool HeadlessWindow::PromptParamValue(Control* control, Param* param)
{
    ++promptCount;
    promptedControl = control;
    promptedParam = param;
    return false;
}

void HeadlessWindow::AnswerColourPrompt(bool confirm, const Colour& answer)
{
    colourConfirm = confirm;
    colourAnswer = answer;
}

bool HeadlessWindow::PromptForColour(Colour& colour, const std::string& text)
{
    lastColourTitle = text;
    if (duringColourPrompt) duringColourPrompt();
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

std::string HeadlessWindow::HostFolder() const
{
    return ProgramFolder();
}

std::string HeadlessWindow::PluginFolder() const
{
    return pluginPath.empty() ? ModuleFolder() : pluginPath;
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
