// The "phase" display: every sample pair of the history as a point, side signal across and
// mid signal up and down, gathered into an intensity picture in which newer points weigh more.
#include "analyser/AnalyserView.h"

#include <cmath>
#include <cstring>

#include "graphics/Graphics.h"
#include "plugin/SafeConvert.h"

namespace {

float SignedSqrt(float v) { return v >= 0.0f ? std::sqrt(v) : -std::sqrt(-v); }

}  // namespace

void AnalyserView::DrawPhaseDisplay(Graphics& graphics)
{
    const float scale = static_cast<float>(graphHeight) * vScale * 0.5f;
    FloatArray& xs = xPositions;
    FloatArray& ys = firstCurve;
    const int count = xs.Size() < ys.Size() ? xs.Size() : ys.Size();
    const Rect& r = drawRect;
    const float left = static_cast<float>(r.left), right = static_cast<float>(r.right - 1);
    const float top = static_cast<float>(r.top), bottom = static_cast<float>(r.bottom - 1);

    // The points are a ring, oldest at phaseStart: the oldest n make way for the newest n.
    const int n = newSamples;
    if (phaseStart < 0 || phaseStart >= count) phaseStart = 0;
    if (count > 0) phaseStart = static_cast<int>((static_cast<int64_t>(phaseStart) + (n < count ? n : count)) % count);
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
        int place = phaseStart + (count - n + k);
        if (place >= count) place -= count;
        xs[place] = x;
        ys[place] = y;
    }

    // The points are gathered into one flat block, a column of rows after another, and then
    // copied into the grid; without the block (its allocation failed) the picture stays empty.
    const int columns = intensityGrid.Columns(), rows = graphHeight;
    if (columns > 0 && rows > 0 && phaseSums.Size() == columns * rows) {
        float* sums = phaseSums.Data();
        std::memset(sums, 0, sizeof(float) * static_cast<size_t>(phaseSums.Size()));
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
                    weights[k] = static_cast<float>(age + batch + k) / static_cast<float>(kHistoryLength);
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
                        if (cell >= 0) sums[cell] = sum;
                        cell = cells[k];
                        sum = sums[cell];
                    }
                    sum += weights[k];
                }
            }
        };
        gather(phaseStart, 0, count - phaseStart);
        gather(0, count - phaseStart, phaseStart);
        if (cell >= 0) sums[cell] = sum;
        for (int c = 0; c < columns; ++c) {
            FloatArray& column = intensityGrid.Column(c);
            const int kept = column.Size() < rows ? column.Size() : rows;
            if (kept > 0) std::memcpy(column.Data(), sums + c * rows, sizeof(float) * static_cast<size_t>(kept));
        }
    } else {
        intensityGrid.Clear();
    }

    DrawIntensityGrid(graphics, false);
    newSamples = 0;
    ScalesNow().DrawPhaseScale(graphics);
}
