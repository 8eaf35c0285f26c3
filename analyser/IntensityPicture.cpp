#include "analyser/IntensityPicture.h"

#include <cstdint>

#include "graphics/Graphics.h"

void IntensityPicture::Paint(Graphics& graphics, const Rect& view, const Colour& background, const Colour& fill,
                             bool lowestAtBottom)
{
    const int width = view.right - view.left, height = view.bottom - view.top;
    palette.Prepare(background, fill);
    const int columns = grid.Columns() < width ? grid.Columns() : width;
    bool complete = true;
    for (int x = 0; x < columns; ++x) complete = complete && grid.Column(x).Size() >= height;
    if (!complete) {
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
        return;
    }
    auto drawRows = [&](auto pack) {
        constexpr int kRun = 256;
        uint32_t run[kRun];
        for (int y = 0; y < height; ++y) {
            const int row = lowestAtBottom ? height - 1 - y : y;
            for (int start = 0; start < columns; start += kRun) {
                const int length = columns - start < kRun ? columns - start : kRun;
                for (int i = 0; i < length; ++i) run[i] = pack(grid.Column(start + i)[row]);
                graphics.SetPixelRow(run, length, view.left + start, view.top + y);
            }
        }
    };
    if (palette.ZeroIsBackground())
        drawRows([this](double v) { return palette.PackedIgnoringZero(v); });
    else
        drawRows([this](double v) { return palette.Packed(v); });
}
