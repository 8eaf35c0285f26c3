#include "analyser/SpectroDisplay.h"

#include <cstring>

#include "analyser/AnalyserLayout.h"
#include "analyser/MonoMix.h"
#include "analyser/ResampleToColumns.h"
#include "analyser/ZoomBand.h"
#include "dsp/SpectrumEstimator.h"
#include "graphics/Graphics.h"
#include "plugin/SafeConvert.h"

namespace {

constexpr int kFrameSize = AnalyserLayout::kSpectroFrameSize;

}  // namespace

SpectroDisplay::Blocks SpectroDisplay::PlanBlocks(int32_t pending, double samplesPerColumn, int32_t width)
{
    Blocks plan;
    plan.columnsPerBlock = TruncateToInt32(kFrameSize / samplesPerColumn);
    plan.blocks = pending > 0 ? TruncateToInt32(pending * (1.0 / kFrameSize)) : 0;
    if (plan.columnsPerBlock <= 0 || width <= 0) {
        plan.blocks = 0;
        return plan;
    }
    // More blocks than new columns fit beside the last kept one (after a long pause of the
    // redraw, say) would write past the right edge: only the newest that fit are analysed.
    const int32_t fit = (width - 1) / plan.columnsPerBlock;
    if (plan.blocks > fit) {
        plan.dropped = plan.blocks - fit;
        plan.blocks = fit;
    }
    const int64_t shift = static_cast<int64_t>(plan.blocks) * plan.columnsPerBlock;
    plan.shift = shift > width ? width : static_cast<int32_t>(shift);
    return plan;
}

SpectroDisplay::SpectroDisplay(const Rect& view)
    : rect(view), width(view.right - view.left), height(view.bottom - view.top)
{
}

void SpectroDisplay::Reset() { picture.Grid().Resize(width, height, true); }

void SpectroDisplay::Draw(DisplayContext context, SpectrumEstimator& estimator, const ZoomBand* band)
{
    IntensityGrid& grid = picture.ScrollingGrid();
    const SampleRing& ringLeft = context.ringLeft;
    const SampleRing& ringRight = context.ringRight;
    int32_t& newSamples = context.newSamples;
    const int w = width, h = height;
    const Blocks plan = PlanBlocks(newSamples, context.samplesPerColumn, w);
    newSamples -= plan.dropped * kFrameSize;

    // The grid and the estimator's block are sized for this domain; if either allocation
    // failed, the samples are consumed without being analysed.
    bool ready = grid.Columns() == w && estimator.samples.Length() == kFrameSize && band != nullptr;
    for (int c = 0; ready && c < w; ++c) ready = grid.Column(c).Size() == h;

    if (ready) {
        for (int j = 0; j + plan.shift < w; ++j)
            std::memcpy(grid.Column(j).Data(), grid.Column(j + plan.shift).Data(),
                        sizeof(float) * static_cast<size_t>(h));

        const float gain = context.vScale * 24.0f;
        int e = ringLeft.WritePosition() - newSamples;
        int prev = w - plan.shift - 1 > 0 ? w - plan.shift - 1 : 0;
        double* mono = estimator.samples.Data();
        for (int b = 0; b < plan.blocks; ++b) {
            const int cur = prev + plan.columnsPerBlock;
            MixToMono(ringLeft, ringRight, e, kFrameSize, mono);
            e += kFrameSize;
            GrowableArray<double>& magnitudes = estimator.ComputeFrame();
            estimator.MapToLogFrequency(magnitudes);

            FloatArray& column = grid.Column(cur);
            ResampleToColumns(magnitudes, column, band->lowColumn, band->highColumn);
            for (int r = 0; r < h; ++r) column[r] *= gain;

            const FloatArray& from = grid.Column(prev);
            const int span = cur - prev;
            for (int k = 1; k < span; ++k) {
                const float t = static_cast<float>(k) / static_cast<float>(span);
                FloatArray& between = grid.Column(prev + k);
                for (int r = 0; r < h; ++r) between[r] = (1.0f - t) * from[r] + t * column[r];
            }
            newSamples -= kFrameSize;
            prev = cur;
        }
    } else {
        newSamples -= plan.blocks * kFrameSize;
    }

    // Row 0 of the grid is the lowest frequency, drawn at the bottom.
    if (ready)
        picture.PaintScrolled(context.graphics, rect, context.backgroundColour, context.fillColour, true, plan.shift);
    else
        picture.Paint(context.graphics, rect, context.backgroundColour, context.fillColour, true);

    if (band) context.scales.DrawFrequencyGrid(context.graphics, band->gridFrequencies, band->gridPositions, 1);
}
