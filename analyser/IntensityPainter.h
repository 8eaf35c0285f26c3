// Paints an intensity grid over the view: every pixel the mix of the background towards the
// fill colour by its intensity, handed to the graphics object a row at a time.
#pragma once

#include "analyser/IntensityGrid.h"
#include "analyser/IntensityPalette.h"
#include "graphics/Colour.h"
#include "graphics/Rect.h"

class Graphics;

class IntensityPainter {
public:
    // Row 0 of the grid at the top of the view or (lowestAtBottom) at its bottom.
    void Paint(Graphics& graphics, const IntensityGrid& grid, const Rect& view, const Colour& background,
               const Colour& fill, bool lowestAtBottom);

private:
    IntensityPalette palette;
};
