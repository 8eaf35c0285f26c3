#include "analyser/IntensityPicture.h"

#include <cstring>

#include "graphics/Graphics.h"

void IntensityPicture::PaintPixelwise(Graphics& graphics, const Rect& view, int columns, int height,
                                      bool lowestAtBottom)
{
    // Some column failed to allocate: the phase picture leaves its rows as they were,
    // the spectrogram draws them empty.
    for (int x = 0; x < columns; ++x) {
        const FloatArray& column = grid.Column(x);
        for (int y = 0; y < height; ++y) {
            const int row = lowestAtBottom ? height - 1 - y : y;
            if (row < column.Size() || lowestAtBottom)
                graphics.SetPixel(UnpackColour(palette.Packed(row < column.Size() ? column[row] : 0.0f)),
                                  view.left + x, view.top + y);
        }
    }
}

void IntensityPicture::PackColumns(int from, int columns, int height, bool lowestAtBottom, uint8_t* empty,
                                   bool reuse)
{
    // Column by column, so that the grid is read in order; the writes stride down the rows.
    const intptr_t stride = lowestAtBottom ? -static_cast<intptr_t>(columns) : columns;
    uint32_t* const top = pixels.Data() + (lowestAtBottom ? static_cast<intptr_t>(height - 1) * columns : 0);
    for (int x = from; x < columns; ++x) {
        const float* const values = grid.Column(x).Data();
        if (reuse && empty[x] && IntensityPalette::AllPositiveZero(values, height)) continue;
        const bool zeros = palette.PackRun(values, height, top + x, stride);
        if (empty) empty[x] = zeros;
    }
}

void IntensityPicture::PaintScrolled(Graphics& graphics, const Rect& view, const Colour& background,
                                     const Colour& fill, bool lowestAtBottom, int shift)
{
    const int width = view.right - view.left, height = view.bottom - view.top;
    palette.Prepare(background, fill);
    const int columns = grid.Columns() < width ? grid.Columns() : width;
    bool complete = true;
    for (int x = 0; x < columns; ++x) complete = complete && grid.Column(x).Size() >= height;
    const int64_t cells = static_cast<int64_t>(columns) * height;
    if (!complete || columns <= 0 || height <= 0 || cells > INT32_MAX ||
        !pixels.Resize(static_cast<int>(cells), false)) {
        kept = false;
        packedEmpty.Resize(0, false);
        PaintPixelwise(graphics, view, columns, height, lowestAtBottom);
        return;
    }

    const bool alike = keptColumns == columns && keptView == view && keptBackground == background &&
                       keptFill == fill && keptLowestAtBottom == lowestAtBottom && packedEmpty.Size() == columns;
    const bool same = kept && alike && shift >= 0 && shift < columns;
    // Without its flags (their allocation failed) every column is packed.
    uint8_t* const empty = packedEmpty.Resize(columns, false) ? packedEmpty.Data() : nullptr;
    int from = 0;
    if (same) {
        uint32_t* const out = pixels.Data();
        if (shift > 0) {
            for (int y = 0; y < height; ++y)
                std::memmove(out + static_cast<intptr_t>(y) * columns, out + static_cast<intptr_t>(y) * columns + shift,
                             sizeof(uint32_t) * static_cast<size_t>(columns - shift));
            // The flags move with their pixels; those at the right still tell of the pixels
            // left there, which the packing below may keep.
            if (empty) std::memmove(empty, empty + shift, static_cast<size_t>(columns - shift));
        }
        // The last kept column is painted again too: it is cheap and spares trusting the
        // caller about the seam.
        from = columns - shift - 1 > 0 ? columns - shift - 1 : 0;
    }
    PackColumns(from, columns, height, lowestAtBottom, empty, alike && empty);
    kept = true;
    keptColumns = columns;
    keptView = view;
    keptBackground = background;
    keptFill = fill;
    keptLowestAtBottom = lowestAtBottom;

    const uint32_t* row = pixels.Data();
    for (int y = 0; y < height; ++y, row += columns) graphics.SetPixelRow(row, columns, view.left, view.top + y);
}

void IntensityPicture::Paint(Graphics& graphics, const Rect& view, const Colour& background, const Colour& fill,
                             bool lowestAtBottom)
{
    kept = false;
    PaintScrolled(graphics, view, background, fill, lowestAtBottom, 0);
}
