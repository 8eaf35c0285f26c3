#include "analyser/ResampleToColumns.h"

#include <cfloat>

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
    // NarrowToFloat without branches, for the sums: a value beyond the float range is first
    // moved far enough beyond it that the conversion itself gives the infinity.
    auto narrow = [](double v) { return static_cast<float>(v > FLT_MAX ? 1e300 : v < -FLT_MAX ? -1e300 : v); };
    const double* const data = source.Data();
    const double step = static_cast<double>(end - first) / columns;
    int64_t s = 0;
    for (int i = 0; i < columns; ++i) {
        const int64_t e = TruncateToInt32((i + 1) * step);
        if (e <= s + 1) {
            destination[i] = at(first + s);
        } else if (first + s >= 0 && first + e <= length) {
            float sum = 0.0f;
            for (const double* p = data + first + s; p != data + first + e; ++p) sum += narrow(*p);
            destination[i] = sum / static_cast<float>(e - s);
        } else {
            float sum = 0.0f;
            for (int64_t j = s; j < e; ++j) sum += at(first + j);
            destination[i] = sum / static_cast<float>(e - s);
        }
        s = e;
    }
}
