// The picture of the phase and spectro displays: a grid of intensities, one column per pixel
// column of the view, painted with every pixel the mix of the background towards the fill
// colour by its intensity, handed to the graphics object a row at a time.
#pragma once

#include <cstdint>

#include "analyser/IntensityGrid.h"
#include "analyser/IntensityPalette.h"
#include "graphics/Colour.h"
#include "graphics/Rect.h"
#include "plugin/GrowableArray.h"

class Graphics;

class IntensityPicture {
public:
    // Whoever may change the grid through this makes the next paint a whole one.
    IntensityGrid& Grid()
    {
        kept = false;
        return grid;
    }
    const IntensityGrid& Grid() const { return grid; }
    // The grid for a change that PaintScrolled is then told of.
    IntensityGrid& ScrollingGrid() { return grid; }

    // Over the view, row 0 of the grid at its top or (lowestAtBottom) at its bottom.
    void Paint(Graphics& graphics, const Rect& view, const Colour& background, const Colour& fill,
               bool lowestAtBottom);
    // The same picture, when the grid's columns moved `shift` to the left since the last
    // paint and only the columns that came in at the right are new: the kept pixels move
    // with them instead of being worked out again.
    void PaintScrolled(Graphics& graphics, const Rect& view, const Colour& background, const Colour& fill,
                       bool lowestAtBottom, int shift);

private:
    // Packs columns [from, columns) into the kept pixels, row-major. With flags, a column
    // that is all +0 and whose pixels were packed from such a column is left as it is
    // (reuse), and the flags are brought up to date.
    void PackColumns(int from, int columns, int height, bool lowestAtBottom, uint8_t* packedEmpty, bool reuse);
    void PaintPixelwise(Graphics& graphics, const Rect& view, int columns, int height, bool lowestAtBottom);

    IntensityGrid grid;
    IntensityPalette palette;
    // The last picture painted, a row of `columns` pixels after another, and what it was
    // painted for; kept is false while it may differ from what the grid would paint.
    GrowableArray<uint32_t> pixels;
    bool kept = false;
    Rect keptView;
    Colour keptBackground, keptFill;
    bool keptLowestAtBottom = false;
    int keptColumns = 0;
    // Per column of the kept pixels, whether they were packed from a column of zeros with the
    // colours, view and columns above. Most of a stereo image is empty, and an empty column
    // that stays empty need not be packed again even when the rest of the grid changed.
    GrowableArray<uint8_t> packedEmpty;
};
