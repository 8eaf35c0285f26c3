// The "spectro" display: a scrolling spectrogram, one new column per 1024-sample block, the
// columns between two blocks filled by linear interpolation. Its intensity grid is the
// whole history of the picture: column 0 the oldest, row 0 the lowest frequency.
#pragma once

#include <cstdint>

#include "analyser/DisplayContext.h"
#include "analyser/IntensityPicture.h"
#include "graphics/Rect.h"

class SpectrumEstimator;
struct ZoomBand;

class SpectroDisplay {
public:
    // How a redraw consumes pending samples: whole 1024-sample blocks, each columnsPerBlock
    // columns wide; dropped counts the oldest blocks left out because they would not fit
    // beside the last kept column.
    struct Blocks {
        int32_t columnsPerBlock = 0;
        int32_t blocks = 0;
        int32_t shift = 0;
        int32_t dropped = 0;
    };
    static Blocks PlanBlocks(int32_t pending, double samplesPerColumn, int32_t width);

    explicit SpectroDisplay(const Rect& view);

    // A fresh start when the domain is chosen: an empty picture.
    void Reset();
    // band is the zoom band to show; without one the samples are consumed unanalysed.
    void Draw(DisplayContext context, SpectrumEstimator& estimator, const ZoomBand* band);

    const IntensityGrid& Intensities() const { return picture.Grid(); }
    IntensityGrid& Intensities() { return picture.Grid(); }

private:
    Rect rect;
    int32_t width;
    int32_t height;
    IntensityPicture picture;
};
