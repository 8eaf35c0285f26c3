// A control that draws a curve given as points kept in pixel coordinates. New data may come
// from any thread under a lock the caller passes; the draw runs under the lock of whoever
// owns the data (the analyser view's own lock).
#pragma once

#include <cmath>

#include "analyser/FloatArray.h"
#include "analyser/SampleBuffer.h"
#include "graphics/Colour.h"
#include "graphics/Control.h"

class GraphControl : public Control {
public:
    GraphControl(PluginCore* plug, const Rect& rect, const Colour& colour, const Blend& blend, bool antiAlias);

    bool Draw(Graphics& graphics) override;

    // Copy the points (0..1 when map is set, pixels otherwise) and show the graph.
    virtual void SetPoints(const SampleBuffer& x, const SampleBuffer& y, CriticalSection* lock, bool map);
    virtual void SetPoints(const FloatArray& x, const FloatArray& y, CriticalSection* lock, bool map);
    virtual void SetValues(const SampleBuffer& y, CriticalSection* lock, bool map);
    virtual void SetValues(const FloatArray& y, CriticalSection* lock, bool map);
    virtual void ClearPoints(CriticalSection* lock);
    // Spreads the x positions evenly over the width, one per point of the first curve.
    virtual void SpreadX();
    // Value-to-pixel rules for the points [from, to); a negative to means every point.
    virtual void MapX(int from, int to);
    virtual void MapY(int from, int to);

    void SetGraphColours(const Colour& edge, const Colour& fill);
    void SetClamp(bool on) { clamp = on; }

    FloatArray& XPositions() { return xPositions; }
    FloatArray& YPositions() { return yPositions; }
    const FloatArray& XPositions() const { return xPositions; }
    const FloatArray& YPositions() const { return yPositions; }
    const Colour& GraphEdgeColour() const { return graphEdgeColour; }
    const Colour& GraphFillColour() const { return graphFillColour; }

protected:
    // Points of the first curve that have an x position too.
    int PointCount() const;
    // The end of a [from, to) range over the first curve.
    int RangeEnd(int to) const;
    // Clamps x into the rectangle's columns and y into its rows, as the clamp flag asks.
    void ClampPoints(FloatArray* x, FloatArray* y);
    // The common end of every update: clamp the new points, show the graph, mark it dirty.
    virtual void ShowUpdated();
    // The update pattern for 64-bit and float sources alike; the caller passes the lock.
    template <typename Source>
    void AssignPoints(const Source& x, const Source& y, CriticalSection* lock, bool map);
    template <typename Source>
    void AssignValues(const Source& y, CriticalSection* lock, bool map);
    void DrawPolyline(Graphics& graphics, const FloatArray& x, const FloatArray& y, int n);
    static bool Finite(float a, float b, float c, float d)
    {
        return std::isfinite(a) && std::isfinite(b) && std::isfinite(c) && std::isfinite(d);
    }
    // Copies any array of numbers into a float array of the same count; a failed
    // allocation leaves the target empty.
    template <typename Source>
    static void CopyInto(FloatArray& target, const Source& source)
    {
        const int n = source.Size();
        if (!target.Resize(n, false)) return;
        for (int i = 0; i < n; ++i) target[i] = static_cast<float>(source[i]);
    }
    // The curve's y at column c of the segment from (xa, ya) to (xb, yb).
    static float Interpolate(float xa, float ya, float xb, float yb, float c)
    {
        if (xa == xb) return (ya + yb) * 0.5f;
        return (yb - ya) * (c - xa) / (xb - xa) + ya;
    }

    Colour graphEdgeColour;
    Colour graphFillColour;
    Blend lineBlend;
    bool antiAlias;
    bool clamp = false;
    FloatArray xPositions;
    FloatArray yPositions;
    float left;
    float bottom;
    float width;
    float height;
};
