// The "time" display: a scrolling min/max envelope of the mono mix, one column per
// samplesPerColumn samples, newest at the right edge.
#include "analyser/AnalyserView.h"

#include <cstring>

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

void AnalyserView::DrawTimeDisplay(Graphics& graphics)
{
    graphics.FillRect(backgroundColour, drawRect, Blend(BlendKind::Copy, 1.0f));

    int k = TruncateToInt32(newSamples / samplesPerColumn);
    if (k > firstCurve.Size()) k = firstCurve.Size();
    if (k < 0) k = 0;
    ScrollLeft(firstCurve, k);
    ScrollLeft(secondCurve, k);

    // Both curves hold one value per column in this domain; anything else means their
    // allocation failed, and the band is left as it is.
    const int w = graphWidth;
    if (firstCurve.Size() == w && secondCurve.Size() == w && k > 0) {
        const int p = ringLeft.WritePosition() - newSamples;
        int g = 0;
        for (int i = 0; i < k; ++i) {
            const int m = TruncateToInt32((i + 1) * samplesPerColumn);
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
        MapY(w - k, -1);
        MapY2(w - k, -1);
    }

    BandGraphControl::Draw(graphics);
    newSamples = 0;
    ScalesNow().DrawTimeScale(graphics);
}
