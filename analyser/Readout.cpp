// The text that follows the pointer: the level under it in the time display, the frequency
// under it in the freq and spectro displays, nothing in the phase display.
#include "analyser/AnalyserView.h"

#include <cmath>

#include "graphics/Graphics.h"
#include "plugin/FormatString.h"
#include "plugin/SafeConvert.h"

namespace {

bool Inside(const Rect& r, int32_t x, int32_t y) { return x >= r.left && x < r.right && y >= r.top && y < r.bottom; }

}  // namespace

void AnalyserView::DrawReadout(Graphics& graphics)
{
    const Rect& r = drawRect;
    const int32_t mx = mouseX, my = mouseY;
    switch (domain) {
    case kTime: {
        const double v = std::fabs(1.0 - static_cast<double>(my - r.top) * 2.0 / graphHeight) / vScale;
        if (v == 0.0) {
            readoutText = "-oo dB";
        } else {
            const double dB = v > 0.0 ? 20.0 * std::log10(v) : 0.0;
            // 0 dB is written with the minus sign.
            readoutText = FormatString("%c%.1f dB", dB > 0.0 ? '+' : '-', std::fabs(dB));
        }
        break;
    }
    case kFreq: {
        // Over the caption the previous text stays, so it does not flicker while the zoom is clicked.
        if (Inside(captionBox, mx, my) || freqBands.size() <= static_cast<size_t>(fftZoom)) break;
        const ZoomBand& band = freqBands[static_cast<size_t>(fftZoom)];
        const double across = static_cast<double>(mx - r.left) / graphWidth * (band.highColumn - band.lowColumn);
        const int32_t index = band.lowColumn + TruncateToInt32(across);
        readoutText = FormatString("%.0f Hz", IndexToFrequency(index, kFreqFrameSize, sampleRate, true));
        break;
    }
    case kPhase:
        return;
    case kSpectro: {
        if (spectroBands.size() <= static_cast<size_t>(fftZoom)) break;
        const ZoomBand& band = spectroBands[static_cast<size_t>(fftZoom)];
        const double up = static_cast<double>(r.bottom - my) / graphHeight * (band.highColumn - band.lowColumn);
        const int32_t index = band.lowColumn + TruncateToInt32(up);
        readoutText = FormatString("%.0f Hz", IndexToFrequency(index, kSpectroFrameSize, sampleRate, true));
        break;
    }
    default:
        break;
    }

    // The box stays inside the view: left of the pointer in the right half, above it in the lower half.
    Rect box;
    if (mx < graphWidth / 2 + r.left) {
        box.left = mx + 10;
        box.right = mx + 60;
    } else {
        box.left = mx - 46;
        box.right = mx - 4;
    }
    box.top = box.bottom = my;
    if (my < graphHeight / 2 + r.top)
        box.bottom = my + 11;
    else
        box.top = my - 11;
    graphics.DrawText(captionStyle, readoutText, box);
}
