#include "graphics/GraphicsWindow.h"

#include <algorithm>
#include <new>

#include "graphics/ScaleBlit.h"
#include "graphics/SystemSurface.h"
#include "plugin/PluginCore.h"

namespace {

// Geometric emptiness: what the window system ignores when it is invalidated.
bool HasArea(const Rect& r)
{
    return r.right > r.left && r.bottom > r.top;
}

// Where a new floating window goes when no place is known.
constexpr int32_t kFloatingOrigin = 128;

}  // namespace

GraphicsWindow::GraphicsWindow(PluginCore* plug, int32_t width, int32_t height, double framesPerSecond)
    : Graphics(plug, width, height, framesPerSecond), platform(MakePlatformWindow(*this))
{
    if (!platform) throw std::bad_alloc();
}

GraphicsWindow::~GraphicsWindow()
{
    CloseWindow();
}

bool GraphicsWindow::IsWindowOpen() const
{
    return platform->Exists();
}

void* GraphicsWindow::GetWindowHandle() const
{
    return platform->Handle();
}

bool GraphicsWindow::OpenWindow(void* parent)
{
    hostParent = parent;
    if (floating) {
        if (IsWindowOpen()) return true;
        if (!platform->Prepare()) return false;
        const int32_t s = WantedScale();
        const Rect place = floatingPlace.IsEmpty() ? Rect(kFloatingOrigin, kFloatingOrigin, kFloatingOrigin + width * s,
                                                          kFloatingOrigin + height * s)
                                                   : floatingPlace;
        floatingPlace = Rect();
        return OpenFloatingWindow(place);
    }
    if (!platform->CanParent(parent) || !platform->Prepare()) return false;
    // The room the host made when it asked for our size, else the size we want.
    const int32_t s = WantedScale();
    Rect place(0, 0, roomWidth > 0 ? roomWidth : width * s, roomHeight > 0 ? roomHeight : height * s);
    if (IsWindowOpen()) {
        // Made anew at the place it had in its parent, whatever frame the new parent has.
        place = platform->Place();
        CloseWindow();
    }
    return WindowMade(platform->CreateChild(parent, place));
}

bool GraphicsWindow::OpenFloatingWindow(const Rect& rect)
{
    if (IsWindowOpen()) return true;
    return WindowMade(platform->CreateFloating(rect, plug ? plug->EffectName() : std::string()));
}

bool GraphicsWindow::WindowMade(bool made)
{
    if (!made) return false;
    invalid = Rect();
    painting = false;
    ForgetPointer();
    // The platform told the client size as it made the window; a window that is shown owes
    // one paint of all of it, and one made at another size than the editor wants asks for
    // room at its first tick.
    Invalidate(Rect(0, 0, clientWidth, clientHeight));
    if (clientWidth != width * WantedScale() || clientHeight != height * WantedScale()) RequestScale();
    return true;
}

void GraphicsWindow::CloseWindow()
{
    platform->Destroy();
    invalid = paintArea = Rect();
    painting = false;
    ForgetPointer();
}

void GraphicsWindow::WindowLost()
{
    invalid = paintArea = Rect();
    painting = false;
    ForgetPointer();
}

void GraphicsWindow::ForgetPointer()
{
    // A window that goes while the mouse holds it ends the gesture with it.
    if (hasCapture && plug) plug->EndEditGesture();
    hasCapture = trackingLeave = leaveWhileCaptured = false;
}

void GraphicsWindow::SetWindowTitle(const std::string& title)
{
    if (IsWindowOpen()) platform->SetTitle(title);
}

Rect GraphicsWindow::GetFloatingWindowRect() const
{
    return IsWindowOpen() ? platform->FloatingRect() : Rect();
}

bool GraphicsWindow::PromptParamValue(Control* control, Param* param)
{
    if (!control || !param) return false;
    return platform->PromptParamValue(control, param);
}

std::string GraphicsWindow::GetHostPath()
{
    return platform->HostFolder();
}

std::string GraphicsWindow::GetPluginPath()
{
    return platform->PluginFolder();
}

bool GraphicsWindow::PromptForFile(std::string& path, bool save, const std::string& directory,
                                   const std::string& extensions)
{
    path.clear();
    if (!IsWindowOpen()) return false;
    return platform->PromptForFile(path, save, directory.empty() ? GetHostPath() : directory, extensions);
}

bool GraphicsWindow::PromptForColour(Colour& colour, const std::string& title)
{
    return IsWindowOpen() && platform->PromptForColour(colour, title);
}

void GraphicsWindow::EndPrompts()
{
    platform->EndPrompts();
}

bool GraphicsWindow::OpenUrl(const std::string& url)
{
    return !url.empty() && platform->OpenUrl(url);
}

int32_t GraphicsWindow::ScreenScale() const
{
    return std::max(1, std::min(kMaxScale, platform->ScreenScale()));
}

void GraphicsWindow::SetResizer(Resizer newResizer, void* context)
{
    resizer = newResizer;
    resizerContext = context;
}

void GraphicsWindow::ClientResized(int32_t w, int32_t h)
{
    clientWidth = std::max(w, 0);
    clientHeight = std::max(h, 0);
    shownScale = FittingScale(clientWidth, clientHeight);
    Invalidate(Rect(0, 0, clientWidth, clientHeight));
}

void GraphicsWindow::ScreenChanged()
{
    if (IsWindowOpen() && ScaleChoice() == 0) ApplyScale();
}

void GraphicsWindow::ApplyScale()
{
    if (!IsWindowOpen()) return;
    const int32_t s = WantedScale();
    const int32_t w = width * s, h = height * s;
    if (w != clientWidth || h != clientHeight) {
        // A window of its own is ours to resize; a child lives in the host's room, which only
        // the host can change. A host that refuses keeps the old size.
        const bool room = platform->OwnsItsSize() ||
                          (resizer ? resizer(resizerContext, w, h) : plug && plug->RequestEditorSize(w, h));
        if (room) {
            roomWidth = w;
            roomHeight = h;
            platform->Resize(w, h);
        }
    }
    shownScale = FittingScale(clientWidth, clientHeight);
    Invalidate(Rect(0, 0, clientWidth, clientHeight));
}

void GraphicsWindow::GrowIntoParent()
{
    if (!IsWindowOpen() || platform->OwnsItsSize()) return;
    const int32_t w = width * WantedScale(), h = height * WantedScale();
    if ((clientWidth >= w && clientHeight >= h) || !platform->ParentHolds(w, h)) return;
    platform->Resize(w, h);
}

bool GraphicsWindow::Tick()
{
    if (!IsWindowOpen() || platform->TakesTick()) return false;
    TakeHostChanges();
    if (TakeScaleRequest())
        ApplyScale();
    else if (shownScale < WantedScale())
        GrowIntoParent();
    Rect area;
    if (IsAnyDirty(area)) Invalidate(ScaledArea(area, shownScale));
    return PaintInvalid();
}

void GraphicsWindow::Invalidate(const Rect& area)
{
    if (!IsWindowOpen()) return;
    const Rect clipped(std::max(area.left, 0), std::max(area.top, 0), std::min(area.right, clientWidth),
                       std::min(area.bottom, clientHeight));
    if (!HasArea(clipped)) return;
    invalid = HasArea(invalid) ? RectUnion(invalid, clipped) : clipped;
    platform->Invalidate(clipped);
}

bool GraphicsWindow::PaintInvalid()
{
    if (!HasArea(invalid) || !IsWindowOpen()) return false;
    platform->PaintNow();
    return true;
}

bool GraphicsWindow::BeginWindowPaint()
{
    if (!IsWindowOpen()) return false;
    // As the system's paint: the pending area becomes the paint area and is no longer pending.
    Rect area = HasArea(invalid) ? invalid : Rect();
    invalid = Rect();
    painting = platform->BeginPaint(area);
    paintArea = painting ? area : Rect();
    return painting;
}

const Surface* GraphicsWindow::ScaledPicture(const SystemSurface* surface)
{
    const int32_t s = std::max(1, shownScale);
    if (!surface || s == 1) return surface;
    // The blocks of the paint area are made in a scaled copy, which the window takes.
    const int32_t w = surface->width() * s, h = surface->height() * s;
    if (!scaled) scaled.reset(new (std::nothrow) SystemSurface(w, h));
    if (!scaled) return nullptr;
    if (scaled->width() != w || scaled->height() != h) scaled->resize(w, h);
    if (scaled->width() != w || scaled->height() != h) return nullptr;
    ScaleBlit(RowsOf(*scaled), RowsOf(*surface), SourceAreaOf(paintArea, s), s);
    return scaled.get();
}

bool GraphicsWindow::PresentPaint(const SystemSurface* surface)
{
    if (!painting) return false;
    painting = false;
    return platform->Present(ScaledPicture(surface), paintArea);
}

Surface* GraphicsWindow::LoadModuleImage(int32_t id)
{
    return platform->LoadModuleImage(id);
}

void GraphicsWindow::ButtonPressed(int32_t x, int32_t y, const MouseKeys& keys)
{
    // A press while one holds the mouse still is the same gesture.
    if (!hasCapture && plug) plug->BeginEditGesture();
    hasCapture = true;
    platform->Capture(true);
    OnMouseDown(x, y, keys);
}

void GraphicsWindow::ButtonReleased(int32_t x, int32_t y)
{
    const bool held = hasCapture;
    hasCapture = false;
    platform->Capture(false);
    OnMouseUp(x, y);
    if (held && plug) plug->EndEditGesture();
    // A pointer that left while a button held it leaves now, if the release is outside.
    if (leaveWhileCaptured) {
        leaveWhileCaptured = false;
        if ((x < 0 || y < 0 || x >= clientWidth || y >= clientHeight) && trackingLeave) {
            trackingLeave = false;
            OnMouseOut();
        }
    }
}

void GraphicsWindow::CaptureLost()
{
    if (hasCapture && plug) plug->EndEditGesture();
    hasCapture = false;
}

void GraphicsWindow::PointerMoved(int32_t x, int32_t y, const MouseKeys& keys)
{
    if (keys.left || keys.right) {
        if (hasCapture) OnMouseDrag(x, y, keys);
        return;
    }
    if (OnMouseOver(x, y, keys)) {
        trackingLeave = true;
        platform->TrackLeave();
    }
}

void GraphicsWindow::PointerEntered()
{
    leaveWhileCaptured = false;
}

void GraphicsWindow::PointerLeft()
{
    if (hasCapture) {
        leaveWhileCaptured = true;
    } else if (trackingLeave) {
        trackingLeave = false;
        OnMouseOut();
    }
}

void GraphicsWindow::DoubleClicked(int32_t x, int32_t y, const MouseKeys& keys)
{
    OnMouseDblClick(x, y, keys);
}

void GraphicsWindow::WheelTurned(int32_t x, int32_t y, const MouseKeys& keys, int32_t steps)
{
    OnMouseWheel(x, y, keys, steps);
}
