#include "analyser/PhaseDisplay.h"

#include <cmath>
#include <cstring>

#include "analyser/AnalyserLayout.h"
#include "dsp/SampleRing.h"
#include "graphics/Graphics.h"
#include "plugin/SafeConvert.h"

namespace {

float SignedSqrt(float v) { return v >= 0.0f ? std::sqrt(v) : -std::sqrt(-v); }

}  // namespace

PhaseDisplay::PhaseDisplay(const Rect& view)
    : rect(view),
      width(view.right - view.left),
      height(view.bottom - view.top),
      cx(static_cast<float>(view.left + view.right) * 0.5f),
      cy(static_cast<float>(view.top + view.bottom) * 0.5f)
{
}

void PhaseDisplay::Reset()
{
    xs.Resize(AnalyserLayout::kHistoryLength, true);
    ys.Resize(AnalyserLayout::kHistoryLength, true);
    picture.Grid().Resize(width, height, true);
    sums.Resize(width * height, false);
    start = 0;
}

void PhaseDisplay::Draw(DisplayContext context)
{
    IntensityGrid& grid = picture.Grid();
    const SampleRing& ringLeft = context.ringLeft;
    const SampleRing& ringRight = context.ringRight;
    const float scale = static_cast<float>(height) * context.vScale * 0.5f;
    const int count = xs.Size() < ys.Size() ? xs.Size() : ys.Size();
    const Rect& r = rect;
    const float left = static_cast<float>(r.left), right = static_cast<float>(r.right - 1);
    const float top = static_cast<float>(r.top), bottom = static_cast<float>(r.bottom - 1);

    // The oldest n points make way for the newest n.
    const int n = context.newSamples;
    if (start < 0 || start >= count) start = 0;
    if (count > 0) start = static_cast<int>((static_cast<int64_t>(start) + (n < count ? n : count)) % count);
    // Only the newest samples that have a place among the points are computed.
    const int first = n > count ? n - count : 0;
    const int w = ringLeft.WritePosition();
    for (int k = first; k < n; ++k) {
        const int j = w - n + k;
        const double l = ringLeft.At(j), rr = ringRight.At(j);
        const float side = NarrowToFloat(l - rr) * 0.5f;
        const float mid = NarrowToFloat(-(l + rr)) * 0.5f;
        float x = SignedSqrt(side) * scale + cx;
        if (x < left) x = left;
        if (x > right) x = right;
        float y = cy - SignedSqrt(mid) * scale;
        if (y < top) y = top;
        if (y > bottom) y = bottom;
        int place = start + (count - n + k);
        if (place >= count) place -= count;
        xs[place] = x;
        ys[place] = y;
    }

    // The points are gathered into one flat block, a column of rows after another, and then
    // copied into the grid; without the block (its allocation failed) the picture stays empty.
    const int columns = grid.Columns(), rows = height;
    if (columns > 0 && rows > 0 && sums.Size() == columns * rows) {
        float* const gathered = sums.Data();
        std::memset(gathered, 0, sizeof(float) * static_cast<size_t>(sums.Size()));
        // Neighbouring points mostly share a pixel: its sum is carried in a register until
        // the pixel changes, adding in the same order as adding in place would. Weights and
        // pixels are worked out a batch at a time, several to an instruction.
        constexpr int kBatch = 64;
        float weights[kBatch];
        int cells[kBatch];
        int cell = -1;
        float sum = 0.0f;
        // Points [from, from + length) of the ring, the first of them the oldest but `age`.
        auto gather = [&](int from, int age, int length) {
            for (int batch = 0; batch < length; batch += kBatch) {
                const int size = length - batch < kBatch ? length - batch : kBatch;
                const float* bx = xs.Data() + from + batch;
                const float* by = ys.Data() + from + batch;
                for (int k = 0; k < size; ++k) {
                    weights[k] = static_cast<float>(age + batch + k) /
                                 static_cast<float>(AnalyserLayout::kHistoryLength);
                    const float x = bx[k] - left, y = by[k] - top;
                    // A sample pair that is no number has no place in the picture.
                    const bool inside = (x >= 0.0f) & (x < static_cast<float>(columns)) & (y >= 0.0f) &
                                        (y < static_cast<float>(rows));
                    const int cellInside =
                        static_cast<int>(inside ? x : 0.0f) * rows + static_cast<int>(inside ? y : 0.0f);
                    cells[k] = inside ? cellInside : -1;
                }
                for (int k = 0; k < size; ++k) {
                    if (cells[k] < 0) continue;
                    if (cells[k] != cell) {
                        if (cell >= 0) gathered[cell] = sum;
                        cell = cells[k];
                        sum = gathered[cell];
                    }
                    sum += weights[k];
                }
            }
        };
        gather(start, 0, count - start);
        gather(0, count - start, start);
        if (cell >= 0) gathered[cell] = sum;
        for (int c = 0; c < columns; ++c) {
            FloatArray& column = grid.Column(c);
            const int kept = column.Size() < rows ? column.Size() : rows;
            if (kept > 0)
                std::memcpy(column.Data(), gathered + c * rows, sizeof(float) * static_cast<size_t>(kept));
        }
    } else {
        grid.Clear();
    }

    picture.Paint(context.graphics, rect, context.backgroundColour, context.fillColour, false);
    context.newSamples = 0;
    context.scales.DrawPhaseScale(context.graphics);
}
