#include "graphics/Graphics.h"

#include <algorithm>
#include <atomic>
#include <climits>
#include <cmath>

#include "graphics/BitmapControl.h"
#include "graphics/Surface.h"
#include "plugin/CriticalSection.h"

namespace {

// Shared by every editor of the module: each graphics object made with a positive rate
// replaces it, and a window's timer takes the value current when the window is made.
std::atomic<double> frameRate{24.0};

bool Contains(const Rect& r, int32_t x, int32_t y)
{
    return r.left <= x && x < r.right && r.top <= y && y < r.bottom;
}

// A movement between far-apart points does not fit 32 bits; it is held at the widest that does.
int32_t Distance(int32_t to, int32_t from)
{
    const int64_t d = static_cast<int64_t>(to) - from;
    return d > INT32_MAX ? INT32_MAX : d < INT32_MIN ? INT32_MIN : static_cast<int32_t>(d);
}

}  // namespace

Graphics::Graphics(PluginCore* plug, int32_t width, int32_t height, double framesPerSecond)
    : plug(plug), width(width), height(height)
{
    if (framesPerSecond > 0.0 && std::isfinite(framesPerSecond)) frameRate = framesPerSecond;
}

Graphics::~Graphics()
{
    for (Control* control : controls) delete control;
    controls.clear();
    for (auto& entry : bitmaps) delete entry.second.image;
    bitmaps.clear();
}

double Graphics::FrameRate()
{
    return frameRate;
}

uint32_t Graphics::TimerPeriod()
{
    const double period = 1000.0 / frameRate;
    return period >= 1.0 ? static_cast<uint32_t>(period) : 1;
}

int32_t Graphics::AttachControl(Control* control)
{
    // The list owns its controls: a null or repeated entry would be drawn, hit or deleted wrongly.
    if (control && std::find(controls.begin(), controls.end(), control) == controls.end())
        controls.push_back(control);
    return ControlCount();
}

bool Graphics::SetPixelRow(const uint32_t* packed, int32_t count, int32_t x, int32_t y)
{
    if (!packed) return false;
    for (int32_t i = 0; i < count; ++i) SetPixel(UnpackColour(packed[i]), x + i, y);
    return true;
}

bool Graphics::DrawPolylines(const Colour& colour, const float* x, const float* first, const float* second,
                             int32_t count, const Blend& blend, bool antiAlias)
{
    if (!x || !first) return false;
    auto finite = [](float a, float b, float c, float d) {
        return std::isfinite(a) && std::isfinite(b) && std::isfinite(c) && std::isfinite(d);
    };
    for (int32_t i = 0; i + 1 < count; ++i) {
        if (finite(x[i], first[i], x[i + 1], first[i + 1]))
            DrawLine(colour, x[i], first[i], x[i + 1], first[i + 1], blend, antiAlias);
        if (second && finite(x[i], second[i], x[i + 1], second[i + 1]))
            DrawLine(colour, x[i], second[i], x[i + 1], second[i + 1], blend, antiAlias);
    }
    return true;
}

bool Graphics::DrawVerticalLines(const Colour& colour, const float* x, const float* from, const float* to,
                                 int32_t count, const Blend& blend)
{
    if (!x || !from || !to) return false;
    for (int32_t i = 0; i < count; ++i) DrawLine(colour, x[i], from[i], x[i], to[i], blend, false);
    return true;
}

void Graphics::AttachBackground(int32_t id)
{
    const BitmapInfo background = LoadBitmap(id, 1);
    controls.insert(controls.begin(), new BitmapControl(plug, 0, 0, -1, background, BlendKind::Copy));
}

Control* Graphics::ControlAtIndex(int32_t i) const
{
    return i >= 0 && i < ControlCount() ? controls[static_cast<size_t>(i)] : nullptr;
}

void Graphics::SetControlFromPlug(int32_t paramIdx, double value, CriticalSection* lock)
{
    ScopedLock hold(lock);
    for (Control* control : controls)
        if (control && control->ParamIdx() == paramIdx) control->SetValueFromPlug(value, lock);
}

int32_t Graphics::ControlAt(int32_t x, int32_t y) const
{
    if (captured >= 0) return captured;
    for (int32_t i = ControlCount() - 1; i >= 0; --i) {
        const Control* control = controls[static_cast<size_t>(i)];
        if (!control || control->IsHidden() || control->IsDisabled()) continue;
        const Rect& target = control->TargetRect();
        if (!target.IsEmpty() && Contains(target, x, y)) return i;
    }
    return -1;
}

bool Graphics::IsAnyDirty(Rect& area) const
{
    area = Rect();
    bool any = false;
    for (const Control* control : controls) {
        if (!control || !control->IsDirty()) continue;
        area = RectUnion(area, control->DrawRect());
        any = true;
    }
    return any;
}

BitmapInfo Graphics::LoadBitmap(int32_t id, int32_t frames)
{
    auto found = bitmaps.find(id);
    if (found != bitmaps.end()) return found->second.info;
    CachedImage entry;
    entry.image = LoadImageSurface(id);
    entry.info.id = id;
    entry.info.width = entry.image ? entry.image->width() : 0;
    entry.info.height = entry.image ? entry.image->height() : 0;
    entry.info.frames = frames;
    bitmaps.emplace(id, entry);
    return entry.info;
}

Surface* Graphics::CachedImageOf(int32_t id) const
{
    auto found = bitmaps.find(id);
    return found == bitmaps.end() ? nullptr : found->second.image;
}

void Graphics::SetScaleChoice(int32_t choice)
{
    scaleChoice = choice >= 0 && choice <= kMaxScale ? choice : 0;
    scalePending = true;
}

void Graphics::CycleScaleChoice()
{
    SetScaleChoice((ScaleChoice() + 1) % (kMaxScale + 1));
    if (TakeScaleRequest()) ApplyScale();
}

int32_t Graphics::WantedScale() const
{
    const int32_t choice = ScaleChoice();
    if (choice >= 1 && choice <= kMaxScale) return choice;
    return std::max(1, std::min(kMaxScale, ScreenScale()));
}

void Graphics::EditorSize(int32_t& w, int32_t& h)
{
    const int32_t s = WantedScale();
    w = roomWidth = width * s;
    h = roomHeight = height * s;
}

int32_t Graphics::FittingScale(int64_t w, int64_t h) const
{
    int32_t s = WantedScale();
    while (s > 1 && (w < int64_t(width) * s || h < int64_t(height) * s)) --s;
    return s;
}

int32_t Graphics::Unscaled(int32_t v) const
{
    const int32_t s = std::max(1, shownScale);
    // Rounded down, so that points left of or above the window stay outside it.
    return v >= 0 ? v / s : -1 - (-1 - v) / s;
}

bool Graphics::InScaleArea(int32_t x, int32_t y, const MouseKeys& keys) const
{
    return keys.left && keys.ctrl && !keys.right && !scaleArea.IsEmpty() && Contains(scaleArea, x, y);
}

bool Graphics::BeginPress(int32_t& x, int32_t& y, const MouseKeys& keys)
{
    x = Unscaled(x);
    y = Unscaled(y);
    captured = lastX = lastY = -1;
    if (!InScaleArea(x, y, keys)) return false;
    CycleScaleChoice();
    return true;
}

void Graphics::OnMouseDown(int32_t x, int32_t y, const MouseKeys& keys)
{
    if (BeginPress(x, y, keys)) return;
    const int32_t i = ControlAt(x, y);
    if (i < 0) return;
    captured = i;
    lastX = x;
    lastY = y;
    controls[static_cast<size_t>(i)]->OnMouseDown(x, y, keys);
}

void Graphics::OnMouseUp(int32_t x, int32_t y)
{
    x = Unscaled(x);
    y = Unscaled(y);
    const int32_t i = ControlAt(x, y);
    captured = lastX = lastY = -1;
    if (Control* control = ControlAtIndex(i)) control->OnMouseUp(x, y);
}

void Graphics::OnMouseDrag(int32_t x, int32_t y, const MouseKeys& keys)
{
    x = Unscaled(x);
    y = Unscaled(y);
    Control* control = ControlAtIndex(ControlAt(x, y));
    if (!control) return;
    const int32_t dx = Distance(x, lastX);
    const int32_t dy = Distance(y, lastY);
    lastX = x;
    lastY = y;
    control->OnMouseDrag(x, y, dx, dy, keys);
}

void Graphics::OnMouseDblClick(int32_t x, int32_t y, const MouseKeys& keys)
{
    // The second press of two quick ctrl clicks in the scale area is one more step.
    if (BeginPress(x, y, keys)) return;
    if (Control* control = ControlAtIndex(ControlAt(x, y))) control->OnMouseDblClick(x, y, keys);
}

void Graphics::OnMouseWheel(int32_t x, int32_t y, const MouseKeys& keys, int32_t steps)
{
    x = Unscaled(x);
    y = Unscaled(y);
    if (Control* control = ControlAtIndex(ControlAt(x, y))) control->OnMouseWheel(x, y, keys, steps);
}

bool Graphics::OnMouseOver(int32_t x, int32_t y, const MouseKeys& keys)
{
    if (!mouseOverEnabled) return false;
    x = Unscaled(x);
    y = Unscaled(y);
    const int32_t i = ControlAt(x, y);
    Control* control = ControlAtIndex(i);
    if (!control) return true;
    lastX = x;
    lastY = y;
    control->OnMouseOver(x, y, keys);
    if (mouseOver >= 0 && mouseOver != i)
        if (Control* previous = ControlAtIndex(mouseOver)) previous->OnMouseOut();
    mouseOver = i;
    return true;
}

void Graphics::OnMouseOut()
{
    if (mouseOver < 0) return;
    if (Control* control = ControlAtIndex(mouseOver)) control->OnMouseOut();
    mouseOver = -1;
}
