#include "analyser/TimeDisplay.h"

#include <cstring>

#include "dsp/SampleRing.h"
#include "graphics/Graphics.h"
#include "plugin/SafeConvert.h"

namespace {

// Drops the first k values and moves the rest to the front.
void ScrollLeft(FloatArray& curve, int k)
{
    const int n = curve.Size();
    if (k <= 0 || n == 0) return;
    if (k > n) k = n;
    std::memmove(curve.Data(), curve.Data() + k, sizeof(float) * static_cast<size_t>(n - k));
}

}  // namespace

TimeDisplay::TimeDisplay(const Rect& view)
    : band(nullptr, view, Colour(255, 255, 255, 255), true, Blend(BlendKind::Copy, 1.0f), true),
      width(view.right - view.left)
{
}

void TimeDisplay::Reset()
{
    band.FirstCurve().Resize(width, true);
    band.SecondCurve().Resize(width, true);
    band.XPositions().Resize(0, false);
}

void TimeDisplay::Draw(DisplayContext context)
{
    Graphics& graphics = context.graphics;
    const SampleRing& ringLeft = context.ringLeft;
    const SampleRing& ringRight = context.ringRight;
    const int newSamples = context.newSamples;
    const float vScale = context.vScale;
    FloatArray& firstCurve = band.FirstCurve();
    FloatArray& secondCurve = band.SecondCurve();
    graphics.FillRect(context.backgroundColour, band.DrawRect(), Blend(BlendKind::Copy, 1.0f));

    int k = TruncateToInt32(newSamples / context.samplesPerColumn);
    if (k > firstCurve.Size()) k = firstCurve.Size();
    if (k < 0) k = 0;
    ScrollLeft(firstCurve, k);
    ScrollLeft(secondCurve, k);

    // Both curves hold one value per column in this domain; anything else means their
    // allocation failed, and the band is left as it is.
    const int w = width;
    if (firstCurve.Size() == w && secondCurve.Size() == w && k > 0) {
        const int p = ringLeft.WritePosition() - newSamples;
        int g = 0;
        for (int i = 0; i < k; ++i) {
            const int m = TruncateToInt32((i + 1) * context.samplesPerColumn);
            // The mono mix is narrowed before halving. A column whose first sample is no number
            // stays NaN (later ones never win a comparison); the band drawing skips it.
            float v = NarrowToFloat(ringRight.At(p + g) + ringLeft.At(p + g)) * 0.5f;
            float lowest = v, highest = v;
            for (int s = g + 1; s < m; ++s) {
                v = NarrowToFloat(ringRight.At(p + s) + ringLeft.At(p + s)) * 0.5f;
                if (v < lowest)
                    lowest = v;
                else if (v > highest)
                    highest = v;
            }
            secondCurve[w - k + i] = vScale * highest;
            firstCurve[w - k + i] = -(vScale * lowest);
            g = m;
        }
        band.MapY(w - k, -1);
        band.MapY2(w - k, -1);
    }

    band.SetGraphColours(context.edgeColour, context.fillColour);
    band.Draw(graphics);
    context.newSamples = 0;
    context.scales.DrawTimeScale(graphics);
}
