#include "analyser/GraphControl.h"

#include <cmath>

#include "graphics/Graphics.h"
#include "plugin/CriticalSection.h"

GraphControl::GraphControl(PluginCore* plug, const Rect& rect, const Colour& colour, const Blend& blend,
                           bool antiAlias)
    : Control(plug, rect, -1, Blend(BlendKind::None, 1.0f)),
      graphEdgeColour(colour),
      graphFillColour(colour),
      lineBlend(blend),
      antiAlias(antiAlias),
      left(static_cast<float>(rect.left)),
      bottom(static_cast<float>(rect.bottom)),
      width(static_cast<float>(rect.right - rect.left)),
      height(static_cast<float>(rect.bottom - rect.top))
{
    // Shown by the first data.
    hidden = true;
}

int GraphControl::PointCount() const
{
    return xPositions.Size() < yPositions.Size() ? xPositions.Size() : yPositions.Size();
}

int GraphControl::RangeEnd(int to) const
{
    const int n = yPositions.Size();
    return to < 0 || to > n ? n : to;
}

void GraphControl::MapX(int from, int to)
{
    const int end = to < 0 || to > xPositions.Size() ? xPositions.Size() : to;
    for (int i = from < 0 ? 0 : from; i < end; ++i) xPositions[i] = width * xPositions[i] + left;
}

void GraphControl::MapY(int from, int to)
{
    const int end = RangeEnd(to);
    for (int i = from < 0 ? 0 : from; i < end; ++i) yPositions[i] = bottom - yPositions[i] * height;
}

void GraphControl::SpreadX()
{
    const int n = yPositions.Size();
    if (n == 0 || n == xPositions.Size()) return;
    if (!xPositions.Resize(n, false)) return;
    // A single point has no spacing to divide: it sits at the left edge.
    if (n == 1) {
        xPositions[0] = left;
        return;
    }
    for (int i = 0; i < n; ++i) xPositions[i] = static_cast<float>(i) * width / static_cast<float>(n - 1) + left;
}

void GraphControl::ClampPoints(FloatArray* x, FloatArray* y)
{
    if (!clamp) return;
    const float l = static_cast<float>(drawRect.left), r = static_cast<float>(drawRect.right);
    const float t = static_cast<float>(drawRect.top), b = static_cast<float>(drawRect.bottom);
    if (x)
        for (int i = 0; i < x->Size(); ++i) {
            float& v = (*x)[i];
            if (v < l) v = l;
            if (v > r) v = r;
        }
    if (y)
        for (int i = 0; i < y->Size(); ++i) {
            float& v = (*y)[i];
            if (v < t) v = t;
            if (v > b) v = b;
        }
}

void GraphControl::ShowUpdated()
{
    ClampPoints(&xPositions, &yPositions);
    hidden = false;
    MarkDirty(true);
}

template <typename Source>
void GraphControl::AssignPoints(const Source& x, const Source& y, CriticalSection* lock, bool map)
{
    ScopedLock hold(lock);
    CopyInto(xPositions, x);
    CopyInto(yPositions, y);
    if (map) {
        MapX(0, -1);
        MapY(0, -1);
    }
    ShowUpdated();
}

template <typename Source>
void GraphControl::AssignValues(const Source& y, CriticalSection* lock, bool map)
{
    ScopedLock hold(lock);
    CopyInto(yPositions, y);
    if (map) MapY(0, -1);
    ShowUpdated();
}

void GraphControl::SetPoints(const SampleBuffer& x, const SampleBuffer& y, CriticalSection* lock, bool map)
{
    AssignPoints(x, y, lock, map);
}

void GraphControl::SetPoints(const FloatArray& x, const FloatArray& y, CriticalSection* lock, bool map)
{
    AssignPoints(x, y, lock, map);
}

void GraphControl::SetValues(const SampleBuffer& y, CriticalSection* lock, bool map) { AssignValues(y, lock, map); }

void GraphControl::SetValues(const FloatArray& y, CriticalSection* lock, bool map) { AssignValues(y, lock, map); }

void GraphControl::ClearPoints(CriticalSection* lock)
{
    ScopedLock hold(lock);
    hidden = true;
    MarkDirty(true);
}

void GraphControl::SetGraphColours(const Colour& edge, const Colour& fill)
{
    graphEdgeColour = edge;
    graphFillColour = fill;
    MarkDirty(true);
}

void GraphControl::DrawPolyline(Graphics& graphics, const FloatArray& x, const FloatArray& y, int n)
{
    // A point that is no number (a runaway value) breaks the curve instead of reaching the raster.
    graphics.DrawPolylines(graphEdgeColour, x.Data(), y.Data(), nullptr, n, lineBlend, antiAlias);
}

bool GraphControl::Draw(Graphics& graphics)
{
    DrawPolyline(graphics, xPositions, yPositions, PointCount());
    return true;
}

