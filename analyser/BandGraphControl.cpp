#include "analyser/BandGraphControl.h"

#include "graphics/Graphics.h"
#include "graphics/VerticalLineBatch.h"
#include "plugin/CriticalSection.h"

BandGraphControl::BandGraphControl(PluginCore* plug, const Rect& rect, const Colour& colour, bool fill,
                                   const Blend& blend, bool antiAlias)
    : FilledGraphControl(plug, rect, colour, fill, blend, antiAlias),
      centre(bottom - height * 0.5f),
      firstCurve(yPositions)
{
}

void BandGraphControl::MapY(int from, int to)
{
    const int end = RangeEnd(to);
    for (int i = from < 0 ? 0 : from; i < end; ++i) yPositions[i] = height * 0.5f * yPositions[i] + centre;
}

void BandGraphControl::MapY2(int from, int to)
{
    const int n = yPositions.Size() < y2Positions.Size() ? yPositions.Size() : y2Positions.Size();
    const int end = to < 0 || to > n ? n : to;
    for (int i = from < 0 ? 0 : from; i < end; ++i) y2Positions[i] = centre - y2Positions[i] * height * 0.5f;
}

void BandGraphControl::MirrorSecondCurve()
{
    const int n = yPositions.Size();
    if (!y2Positions.Resize(n, false)) return;
    const float sum = static_cast<float>(drawRect.bottom + drawRect.top);
    for (int i = 0; i < n; ++i) y2Positions[i] = sum - yPositions[i];
}

void BandGraphControl::ShowUpdated()
{
    ClampPoints(nullptr, &y2Positions);
    GraphControl::ShowUpdated();
}

template <typename Source>
void BandGraphControl::AssignMirrored(const Source& y, CriticalSection* lock, bool map)
{
    ScopedLock hold(lock);
    CopyInto(yPositions, y);
    if (map) MapY(0, -1);
    MirrorSecondCurve();
    ShowUpdated();
}

template <typename Source>
void BandGraphControl::AssignBand(const Source& y, const Source& y2, CriticalSection* lock, bool map)
{
    ScopedLock hold(lock);
    CopyInto(yPositions, y);
    CopyInto(y2Positions, y2);
    if (map) {
        MapY(0, -1);
        MapY2(0, -1);
    }
    ShowUpdated();
}

void BandGraphControl::SetValues(const SampleBuffer& y, CriticalSection* lock, bool map) { AssignMirrored(y, lock, map); }

void BandGraphControl::SetValues(const FloatArray& y, CriticalSection* lock, bool map) { AssignMirrored(y, lock, map); }

void BandGraphControl::SetBand(const SampleBuffer& y, const SampleBuffer& y2, CriticalSection* lock, bool map)
{
    AssignBand(y, y2, lock, map);
}

void BandGraphControl::SetBand(const FloatArray& y, const FloatArray& y2, CriticalSection* lock, bool map)
{
    AssignBand(y, y2, lock, map);
}

bool BandGraphControl::Draw(Graphics& graphics)
{
    SpreadX();
    int n = PointCount();
    if (y2Positions.Size() < n) n = y2Positions.Size();
    if (drawFill) {
        VerticalLineBatch fill(graphics, graphFillColour, lineBlend);
        for (int i = 0; i + 1 < n; ++i) {
            const float xa = xPositions[i], xb = xPositions[i + 1];
            const float ya = yPositions[i], yb = yPositions[i + 1];
            const float za = y2Positions[i], zb = y2Positions[i + 1];
            int first, last;
            if (!Finite(ya, yb, za, zb) || !SegmentColumns(xa, xb, first, last)) continue;
            for (int c = first; c <= last; ++c) {
                const float column = static_cast<float>(c);
                fill.Add(column, Interpolate(xa, ya, xb, yb, column), Interpolate(xa, za, xb, zb, column));
            }
        }
    }
    // The two edges are drawn a segment of each in turn, as they always were: where they cross,
    // the order of blending decides the pixel.
    if (drawEdge)
        graphics.DrawPolylines(graphEdgeColour, xPositions.Data(), yPositions.Data(), y2Positions.Data(), n,
                               lineBlend, antiAlias);
    return true;
}
