#include "analyser/FreqDisplay.h"

#include <cmath>
#include <cstring>

#include "analyser/AnalyserLayout.h"
#include "analyser/MonoMix.h"
#include "analyser/ResampleToColumns.h"
#include "analyser/ZoomBand.h"
#include "dsp/SpectrumEstimator.h"
#include "graphics/Graphics.h"

namespace {

constexpr float kSmoothingLimit = 1.0e6f;

}  // namespace

FreqDisplay::FreqDisplay(const Rect& view)
    : graph(nullptr, view, Colour(255, 255, 255, 255), true, Blend(BlendKind::Copy, 1.0f), true),
      width(view.right - view.left)
{
}

void FreqDisplay::Reset()
{
    graph.YPositions().Resize(width, true);
    smoothed.Resize(width, true);
    graph.XPositions().Resize(0, false);
}

void FreqDisplay::Draw(DisplayContext context, SpectrumEstimator& estimator, const ZoomBand* band)
{
    constexpr int kFrameSize = AnalyserLayout::kFreqFrameSize;
    Graphics& graphics = context.graphics;
    const Rect& drawRect = graph.DrawRect();
    FloatArray& curve = graph.YPositions();
    graphics.FillRect(context.backgroundColour, drawRect, Blend(BlendKind::Copy, 1.0f));

    SampleRing& block = estimator.samples;
    if (block.Length() == kFrameSize && band && curve.Size() > 0) {
        // The newest 8192 samples, oldest first, whether or not any arrived since the last redraw.
        const SampleRing& ringLeft = context.ringLeft;
        const SampleRing& ringRight = context.ringRight;
        const int w = ringLeft.WritePosition();
        MixToMono(ringLeft, ringRight, w - kFrameSize, kFrameSize, block.Data());
        GrowableArray<double>& magnitudes = estimator.ComputeFrame();
        estimator.MapToLogFrequency(magnitudes);

        ResampleToColumns(magnitudes, curve, band->lowColumn, band->highColumn);
        const int n = curve.Size();
        for (int i = 0; i < n; ++i) curve[i] = std::sqrt(curve[i]);

        // Half the old curve and half the new one: a steady tone rises 1/2, 3/4, 7/8 of the way.
        if (curve.Size() != smoothed.Size()) curve.Resize(smoothed.Size(), true);
        const int count = curve.Size();
        for (int i = 0; i < count; ++i) {
            float v = (smoothed[i] + curve[i]) * 0.5f;
            // Held to a level far above the top of the view at any scale: an infinite burst
            // would otherwise stay in the memory for good, since half of infinity is infinity.
            if (!(v <= kSmoothingLimit)) v = kSmoothingLimit;
            curve[i] = v;
        }
        if (smoothed.Resize(count, false) && count > 0)
            std::memcpy(smoothed.Data(), curve.Data(), sizeof(float) * static_cast<size_t>(count));

        for (int i = 0; i < count; ++i) curve[i] *= context.vScale;
        // Bottom-up: 0 on the bottom edge, 1 on the top.
        graph.MapY(0, -1);
        const float top = static_cast<float>(drawRect.top);
        const float lowest = static_cast<float>(drawRect.bottom - 1);
        for (int i = 0; i < count; ++i) {
            float& y = curve[i];
            if (y < top) y = top;
            if (!(y < lowest)) y = lowest;
        }
        graph.SetGraphColours(context.edgeColour, context.fillColour);
        graph.Draw(graphics);
    }

    context.newSamples = 0;
    if (band) context.scales.DrawFrequencyGrid(graphics, band->gridFrequencies, band->gridPositions, 0);
}
