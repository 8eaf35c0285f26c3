#include "analyser/PhaseDisplay.h"

#include <cfloat>
#include <cmath>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "analyser/AnalyserLayout.h"
#include "dsp/SampleRing.h"
#include "graphics/Graphics.h"
#include "plugin/SafeConvert.h"

namespace {

// v >= 0 ? sqrt(v) : -sqrt(-v), without a branch on a sign that changes at random from one
// sample to the next.
float SignedSqrt(float v) { return std::copysign(std::sqrt(std::fabs(v)), v); }

// Where ring index i lands in a ring of this length, as SampleRing::At reads it; -1 for an
// empty ring.
int Wrapped(int i, int length)
{
    if (length <= 0) return -1;
    int r = i % length;
    if (r < 0) r += length;
    return r;
}

struct Bounds {
    float scale, cx, cy, left, right, top, bottom;
};

// The points of count sample pairs, four at a time with the very operations of the single
// point (the double sums narrowed with their overflow to infinity, float products, the same
// clamps, NaN kept); answers how many it did, the rest being left to the caller.
int ComputePoints(const double* left, const double* right, int count, const Bounds& b, float* xs, float* ys)
{
#if defined(__SSE2__)
    const __m128d most = _mm_set1_pd(FLT_MAX), least = _mm_set1_pd(-FLT_MAX);
    const __m128d up = _mm_set1_pd(static_cast<double>(HUGE_VALF)), down = _mm_set1_pd(-static_cast<double>(HUGE_VALF));
    const __m128d negate = _mm_set1_pd(-0.0);
    const __m128 sign = _mm_set1_ps(-0.0f), half = _mm_set1_ps(0.5f), scale = _mm_set1_ps(b.scale);
    const __m128 cx = _mm_set1_ps(b.cx), cy = _mm_set1_ps(b.cy);
    const __m128 lo = _mm_set1_ps(b.left), hi = _mm_set1_ps(b.right), top = _mm_set1_ps(b.top),
                 bottom = _mm_set1_ps(b.bottom);
    auto narrow = [&](__m128d v) {
        const __m128d over = _mm_cmpgt_pd(v, most), under = _mm_cmplt_pd(v, least);
        v = _mm_or_pd(_mm_andnot_pd(over, v), _mm_and_pd(over, up));
        v = _mm_or_pd(_mm_andnot_pd(under, v), _mm_and_pd(under, down));
        return _mm_cvtpd_ps(v);
    };
    auto pair = [&](__m128d a, __m128d c) { return _mm_movelh_ps(narrow(a), narrow(c)); };
    auto signedSqrt = [&](__m128 v) {
        return _mm_or_ps(_mm_sqrt_ps(_mm_andnot_ps(sign, v)), _mm_and_ps(sign, v));
    };
    int i = 0;
    for (; i + 4 <= count; i += 4) {
        const __m128d l0 = _mm_loadu_pd(left + i), l1 = _mm_loadu_pd(left + i + 2);
        const __m128d r0 = _mm_loadu_pd(right + i), r1 = _mm_loadu_pd(right + i + 2);
        const __m128 side = _mm_mul_ps(pair(_mm_sub_pd(l0, r0), _mm_sub_pd(l1, r1)), half);
        const __m128 mid = _mm_mul_ps(
            pair(_mm_xor_pd(_mm_add_pd(l0, r0), negate), _mm_xor_pd(_mm_add_pd(l1, r1), negate)), half);
        // max(bound, v) and min(bound, v) answer v when v is NaN, as the clamps do.
        __m128 x = _mm_add_ps(_mm_mul_ps(signedSqrt(side), scale), cx);
        x = _mm_min_ps(hi, _mm_max_ps(lo, x));
        __m128 y = _mm_sub_ps(cy, _mm_mul_ps(signedSqrt(mid), scale));
        y = _mm_min_ps(bottom, _mm_max_ps(top, y));
        _mm_storeu_ps(xs + i, x);
        _mm_storeu_ps(ys + i, y);
    }
    return i;
#else
    (void)left, (void)right, (void)count, (void)b, (void)xs, (void)ys;
    return 0;
#endif
}

// A point's weight by its age, oldest 0: age / history length, the same division every
// redraw, so it is made once.
const float* AgeWeights()
{
    static const struct Table {
        float weight[AnalyserLayout::kHistoryLength];
        Table()
        {
            for (int age = 0; age < AnalyserLayout::kHistoryLength; ++age)
                weight[age] = static_cast<float>(age) / static_cast<float>(AnalyserLayout::kHistoryLength);
        }
    } table;
    return table.weight;
}

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
    cells.Resize(AnalyserLayout::kHistoryLength, false);
    cellColumns = -1;
    start = 0;
}

void PhaseDisplay::PlacePoints(int from, int length, int columns)
{
    const float left = static_cast<float>(rect.left), top = static_cast<float>(rect.top);
    const int rows = height;
    const float* const x0 = xs.Data() + from;
    const float* const y0 = ys.Data() + from;
    int* const place = cells.Data() + from;
    for (int k = 0; k < length; ++k) {
        const float x = x0[k] - left, y = y0[k] - top;
        // A sample pair that is no number has no place in the picture.
        const bool inside = (x >= 0.0f) & (x < static_cast<float>(columns)) & (y >= 0.0f) &
                            (y < static_cast<float>(rows));
        const int cellInside = static_cast<int>(inside ? x : 0.0f) * rows + static_cast<int>(inside ? y : 0.0f);
        place[k] = inside ? cellInside : -1;
    }
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
    const Bounds bounds{scale, cx, cy, left, right, top, bottom};
    auto point = [&](int j, int place) {
        const double l = ringLeft.At(j), rr = ringRight.At(j);
        const float side = NarrowToFloat(l - rr) * 0.5f;
        const float mid = NarrowToFloat(-(l + rr)) * 0.5f;
        float x = SignedSqrt(side) * scale + cx;
        if (x < left) x = left;
        if (x > right) x = right;
        float y = cy - SignedSqrt(mid) * scale;
        if (y < top) y = top;
        if (y > bottom) y = bottom;
        xs[place] = x;
        ys[place] = y;
    };
    const int lengthLeft = ringLeft.Length(), lengthRight = ringRight.Length();
    for (int k = first; k < n;) {
        const int j = w - n + k;
        int place = start + (count - n + k);
        if (place >= count) place -= count;
        // A run that neither ring nor the points wrap inside is worked out four at a time.
        int run = n - k;
        if (count - place < run) run = count - place;
        const int jl = Wrapped(j, lengthLeft), jr = Wrapped(j, lengthRight);
        if (jl < 0 || jr < 0) {
            point(j, place);
            ++k;
            continue;
        }
        if (lengthLeft - jl < run) run = lengthLeft - jl;
        if (lengthRight - jr < run) run = lengthRight - jr;
        const int done = ComputePoints(ringLeft.Data() + jl, ringRight.Data() + jr, run, bounds, xs.Data() + place,
                                       ys.Data() + place);
        for (int i = done; i < run; ++i) point(j + i, place + i);
        k += run;
    }

    // The points are gathered into one flat block, a column of rows after another, and then
    // copied into the grid; without the block (its allocation failed) the picture stays empty.
    const int columns = grid.Columns(), rows = height;
    if (columns > 0 && rows > 0 && sums.Size() == columns * rows && cells.Size() == count &&
        count <= AnalyserLayout::kHistoryLength) {
        // A point keeps its pixel from one redraw to the next: only the new ones are placed,
        // unless the grid they were placed on has changed.
        if (cellColumns != columns) {
            PlacePoints(0, count, columns);
            cellColumns = columns;
        } else if (n > first) {
            const int added = n - first;
            const int from = start - added >= 0 ? start - added : start - added + count;
            const int tail = count - from < added ? count - from : added;
            PlacePoints(from, tail, columns);
            PlacePoints(0, added - tail, columns);
        }
        float* const gathered = sums.Data();
        std::memset(gathered, 0, sizeof(float) * static_cast<size_t>(sums.Size()));
        // Neighbouring points mostly share a pixel: its sum is carried in a register until
        // the pixel changes, adding in the same order as adding in place would.
        const float* const weights = AgeWeights();
        int cell = -1;
        float sum = 0.0f;
        // Points [from, from + length) of the ring, the first of them the oldest but `age`.
        auto gather = [&](int from, int age, int length) {
            const int* const place = cells.Data() + from;
            const float* const weight = weights + age;
            for (int k = 0; k < length; ++k) {
                if (place[k] < 0) continue;
                if (place[k] != cell) {
                    if (cell >= 0) gathered[cell] = sum;
                    cell = place[k];
                    sum = gathered[cell];
                }
                sum += weight[k];
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
