// The picture of the phase and spectro displays: a grid of intensities, one column per pixel
// column of the view, painted with every pixel the mix of the background towards the fill
// colour by its intensity, handed to the graphics object a row at a time.
#pragma once

#include "analyser/IntensityGrid.h"
#include "analyser/IntensityPalette.h"
#include "graphics/Colour.h"
#include "graphics/Rect.h"

class Graphics;

class IntensityPicture {
public:
    IntensityGrid& Grid() { return grid; }
    const IntensityGrid& Grid() const { return grid; }

    // Over the view, row 0 of the grid at its top or (lowestAtBottom) at its bottom.
    void Paint(Graphics& graphics, const Rect& view, const Colour& background, const Colour& fill,
               bool lowestAtBottom);

private:
    IntensityGrid grid;
    IntensityPalette palette;
};
