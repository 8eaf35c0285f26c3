// The "phase" display: every sample pair of the history as a point, side signal across and
// mid signal up and down, gathered into an intensity picture in which newer points weigh
// more. The points are a ring of the whole history's length, oldest at `start`.
#pragma once

#include <cstdint>

#include "analyser/DisplayContext.h"
#include "analyser/FloatArray.h"
#include "analyser/IntArray.h"
#include "analyser/IntensityPicture.h"
#include "graphics/Rect.h"

class PhaseDisplay {
public:
    explicit PhaseDisplay(const Rect& view);

    // A fresh start when the domain is chosen: every point at the top left, an empty picture.
    void Reset();
    void Draw(DisplayContext context);

    const FloatArray& XPoints() const { return xs; }
    const FloatArray& YPoints() const { return ys; }
    const IntensityGrid& Intensities() const { return picture.Grid(); }
    IntensityGrid& Intensities() { return picture.Grid(); }

private:
    // The pixel of points [from, from + length) on a grid of this many columns, -1 outside it.
    void PlacePoints(int from, int length, int columns);

    Rect rect;
    int32_t width;
    int32_t height;
    float cx;
    float cy;
    FloatArray xs;
    FloatArray ys;
    int32_t start = 0;
    FloatArray sums;  // the points gathered, height values per column
    IntArray cells;   // each point's place in sums, -1 for none
    int32_t cellColumns = -1;  // the grid width the cells were worked out for
    IntensityPicture picture;
};
