// The "freq" display: the magnitude spectrum of the newest 8192 samples over the chosen
// zoom band of the logarithmic axis, smoothed from redraw to redraw.
#include "analyser/AnalyserView.h"

#include <cmath>
#include <cstring>

#include "graphics/Graphics.h"
#include "plugin/SafeConvert.h"

namespace {

constexpr float kSmoothingLimit = 1.0e6f;

}  // namespace

void AnalyserView::ResampleToColumns(const GrowableArray<double>& source, FloatArray& destination, int32_t first,
                                     int32_t end)
{
    const int length = source.Size();
    const int columns = destination.Size();
    if (columns <= 0) return;
    if (length <= 0) {
        for (int i = 0; i < columns; ++i) destination[i] = 0.0f;
        return;
    }
    if (end < first) end = length;
    // A band above the Nyquist frequency collapses onto the top position of the axis, which
    // is the array's end: reads are held inside the array.
    auto at = [&](int64_t i) {
        return NarrowToFloat(source[i < 0 ? 0 : i >= length ? length - 1 : static_cast<int>(i)]);
    };
    const double step = static_cast<double>(end - first) / columns;
    int64_t s = 0;
    for (int i = 0; i < columns; ++i) {
        const int64_t e = TruncateToInt32((i + 1) * step);
        if (e <= s + 1) {
            destination[i] = at(first + s);
        } else {
            float sum = 0.0f;
            for (int64_t j = s; j < e; ++j) sum += at(first + j);
            destination[i] = sum / static_cast<float>(e - s);
        }
        s = e;
    }
}

void AnalyserView::DrawFreqDisplay(Graphics& graphics)
{
    graphics.FillRect(backgroundColour, drawRect, Blend(BlendKind::Copy, 1.0f));

    SampleRing& block = estimator.samples;
    if (block.Length() == kFreqFrameSize && freqBands.size() > static_cast<size_t>(fftZoom) &&
        firstCurve.Size() > 0) {
        // The newest 8192 samples, oldest first, whether or not any arrived since the last redraw.
        const int w = ringLeft.WritePosition();
        double* mono = block.Data();
        for (int i = 0; i < kFreqFrameSize; ++i) {
            const int j = w - kFreqFrameSize + i;
            mono[i] = (ringRight.At(j) + ringLeft.At(j)) * 0.5;
        }
        GrowableArray<double>& magnitudes = estimator.ComputeFrame();
        estimator.MapToLogFrequency(magnitudes);

        const ZoomBand& band = freqBands[static_cast<size_t>(fftZoom)];
        ResampleToColumns(magnitudes, firstCurve, band.lowColumn, band.highColumn);
        const int n = firstCurve.Size();
        for (int i = 0; i < n; ++i) firstCurve[i] = std::sqrt(firstCurve[i]);

        // Half the old curve and half the new one: a steady tone rises 1/2, 3/4, 7/8 of the way.
        if (firstCurve.Size() != secondCurve.Size()) firstCurve.Resize(secondCurve.Size(), true);
        const int count = firstCurve.Size();
        for (int i = 0; i < count; ++i) {
            float v = (secondCurve[i] + firstCurve[i]) * 0.5f;
            // Held to a level far above the top of the view at any scale: an infinite burst
            // would otherwise stay in the memory for good, since half of infinity is infinity.
            if (!(v <= kSmoothingLimit)) v = kSmoothingLimit;
            firstCurve[i] = v;
        }
        if (secondCurve.Resize(count, false) && count > 0)
            std::memcpy(secondCurve.Data(), firstCurve.Data(), sizeof(float) * static_cast<size_t>(count));

        for (int i = 0; i < count; ++i) firstCurve[i] *= vScale;
        // Bottom-up, as a plain graph maps: the band's own rule maps about the centre.
        GraphControl::MapY(0, -1);
        const float top = static_cast<float>(drawRect.top);
        const float lowest = static_cast<float>(drawRect.bottom - 1);
        for (int i = 0; i < count; ++i) {
            float& y = firstCurve[i];
            if (y < top) y = top;
            if (!(y < lowest)) y = lowest;
        }
        FilledGraphControl::Draw(graphics);
    }

    newSamples = 0;
    if (freqBands.size() > static_cast<size_t>(fftZoom)) {
        const ZoomBand& band = freqBands[static_cast<size_t>(fftZoom)];
        ScalesNow().DrawFrequencyGrid(graphics, band.gridFrequencies, band.gridPositions, 0);
    }
}
