#include "analyser/FilledGraphControl.h"

#include <cmath>

#include "graphics/Graphics.h"
#include "graphics/VerticalLineBatch.h"

FilledGraphControl::FilledGraphControl(PluginCore* plug, const Rect& rect, const Colour& colour, bool fill,
                                       const Blend& blend, bool antiAlias)
    : GraphControl(plug, rect, colour, blend, antiAlias), drawFill(fill)
{
}

bool FilledGraphControl::SegmentColumns(float xa, float xb, int& first, int& last) const
{
    if (!std::isfinite(xa) || !std::isfinite(xb)) return false;
    // Columns outside the control would paint over its neighbours, which are not redrawn.
    const float lowest = static_cast<float>(drawRect.left);
    const float highest = static_cast<float>(drawRect.right) - 1.0f;
    const float a = std::ceil(xa), b = std::floor(xb);
    if (a > b || b < lowest || a > highest) return false;
    first = static_cast<int>(a < lowest ? lowest : a);
    last = static_cast<int>(b > highest ? highest : b);
    return first <= last;
}

bool FilledGraphControl::Draw(Graphics& graphics)
{
    SpreadX();
    const int n = PointCount();
    if (drawFill) {
        VerticalLineBatch fill(graphics, graphFillColour, lineBlend);
        for (int i = 0; i + 1 < n; ++i) {
            const float xa = xPositions[i], xb = xPositions[i + 1], ya = yPositions[i], yb = yPositions[i + 1];
            int first, last;
            if (!std::isfinite(ya) || !std::isfinite(yb) || !SegmentColumns(xa, xb, first, last)) continue;
            for (int c = first; c <= last; ++c) {
                const float column = static_cast<float>(c);
                const float y = Interpolate(xa, ya, xb, yb, column);
                fill.Add(column, bottom, y);
            }
        }
    }
    if (drawEdge) DrawPolyline(graphics, xPositions, yPositions, n);
    return true;
}
