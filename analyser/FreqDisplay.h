// The "freq" display: the magnitude spectrum of the newest 8192 samples over the chosen
// zoom band of the logarithmic axis, smoothed from redraw to redraw. Its graph holds the
// curve in pixel rows; the curve of the last draw, before scaling, is the smoothing memory.
#pragma once

#include "analyser/DisplayContext.h"
#include "analyser/FilledGraphControl.h"

class SpectrumEstimator;
struct ZoomBand;

class FreqDisplay {
public:
    explicit FreqDisplay(const Rect& view);

    // A fresh start when the domain is chosen: a zero curve and no memory.
    void Reset();
    // band is the zoom band to show; without one only the background is drawn.
    void Draw(DisplayContext context, SpectrumEstimator& estimator, const ZoomBand* band);

    const FloatArray& Curve() const { return graph.YPositions(); }
    const FloatArray& XPositions() const { return graph.XPositions(); }
    const FloatArray& Smoothed() const { return smoothed; }

private:
    FilledGraphControl graph;
    FloatArray smoothed;
    int width;
};
