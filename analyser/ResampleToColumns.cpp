#include "analyser/ResampleToColumns.h"

#include "plugin/SafeConvert.h"

void ResampleToColumns(const GrowableArray<double>& source, FloatArray& destination, int32_t first, int32_t end)
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
    const double* const data = source.Data();
    const double step = static_cast<double>(end - first) / columns;
    int64_t s = 0;
    for (int i = 0; i < columns;) {
        // Four neighbouring columns inside the spectrum are summed side by side, each in its
        // own order still: a column's sum is a chain of additions that each wait for the
        // last, and four chains keep the adder busy where one leaves it waiting.
        if (i + 4 <= columns && first + s >= 0) {
            int64_t bound[5] = {s};
            bool sums = true;
            for (int g = 1; g <= 4; ++g) {
                bound[g] = TruncateToInt32((i + g) * step);
                sums = sums && bound[g] > bound[g - 1] + 1;
            }
            if (sums && first + bound[4] <= length) {
                const double* const from = data + first;
                int64_t shortest = bound[1] - bound[0];
                for (int g = 1; g < 4; ++g)
                    if (bound[g + 1] - bound[g] < shortest) shortest = bound[g + 1] - bound[g];
                float sum[4] = {};
                for (int64_t k = 0; k < shortest; ++k)
                    for (int g = 0; g < 4; ++g) sum[g] += NarrowToFloat(from[bound[g] + k]);
                for (int g = 0; g < 4; ++g) {
                    for (int64_t j = bound[g] + shortest; j < bound[g + 1]; ++j) sum[g] += NarrowToFloat(from[j]);
                    destination[i + g] = sum[g] / static_cast<float>(bound[g + 1] - bound[g]);
                }
                s = bound[4];
                i += 4;
                continue;
            }
        }
        const int64_t e = TruncateToInt32((i + 1) * step);
        if (e <= s + 1) {
            destination[i] = at(first + s);
        } else {
            float sum = 0.0f;
            for (int64_t j = s; j < e; ++j) sum += at(first + j);
            destination[i] = sum / static_cast<float>(e - s);
        }
        s = e;
        ++i;
    }
}
