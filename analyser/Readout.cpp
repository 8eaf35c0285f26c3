#include "analyser/Readout.h"

#include <cmath>

#include "analyser/AnalyserLayout.h"
#include "analyser/ZoomBand.h"
#include "dsp/SpectrumEstimator.h"
#include "graphics/Graphics.h"
#include "graphics/TextStyle.h"
#include "plugin/FormatString.h"
#include "plugin/SafeConvert.h"

namespace {

bool Inside(const Rect& r, int32_t x, int32_t y) { return x >= r.left && x < r.right && y >= r.top && y < r.bottom; }

}  // namespace

Readout::Readout(const Rect& view, const Rect& captionBox)
    : rect(view), captionBox(captionBox), width(view.right - view.left), height(view.bottom - view.top)
{
}

void Readout::Draw(Graphics& graphics, const TextStyle& style, int32_t mx, int32_t my, int32_t domain, float vScale,
                   const ZoomBand* band, double sampleRate)
{
    const Rect& r = rect;
    switch (domain) {
    case AnalyserLayout::kTime: {
        const double v = std::fabs(1.0 - static_cast<double>(my - r.top) * 2.0 / height) / vScale;
        if (v == 0.0) {
            text = "-oo dB";
        } else {
            const double dB = v > 0.0 ? 20.0 * std::log10(v) : 0.0;
            // 0 dB is written with the minus sign.
            text = FormatString("%c%.1f dB", dB > 0.0 ? '+' : '-', std::fabs(dB));
        }
        break;
    }
    case AnalyserLayout::kFreq: {
        // Over the caption the previous text stays, so it does not flicker while the zoom is clicked.
        if (Inside(captionBox, mx, my) || !band) break;
        const double across = static_cast<double>(mx - r.left) / width * (band->highColumn - band->lowColumn);
        const int32_t index = band->lowColumn + TruncateToInt32(across);
        text = FormatString("%.0f Hz", IndexToFrequency(index, AnalyserLayout::kFreqFrameSize, sampleRate, true));
        break;
    }
    case AnalyserLayout::kPhase:
        return;
    case AnalyserLayout::kSpectro: {
        if (!band) break;
        const double up = static_cast<double>(r.bottom - my) / height * (band->highColumn - band->lowColumn);
        const int32_t index = band->lowColumn + TruncateToInt32(up);
        text = FormatString("%.0f Hz", IndexToFrequency(index, AnalyserLayout::kSpectroFrameSize, sampleRate, true));
        break;
    }
    default:
        break;
    }

    // The box stays inside the view: left of the pointer in the right half, above it in the lower half.
    Rect box;
    if (mx < width / 2 + r.left) {
        box.left = mx + 10;
        box.right = mx + 60;
    } else {
        box.left = mx - 46;
        box.right = mx - 4;
    }
    box.top = box.bottom = my;
    if (my < height / 2 + r.top)
        box.bottom = my + 11;
    else
        box.top = my - 11;
    graphics.DrawText(style, text, box);
}
