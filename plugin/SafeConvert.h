// Float-to-integer conversions that stay defined for any input: host values, NaN samples
// and runaway arithmetic must never reach a raw cast (which is undefined out of range).
#pragma once

#include <cmath>
#include <cstdint>

// Truncates toward zero like a cast; NaN gives 0 and out-of-range values saturate.
inline int32_t TruncateToInt32(double x)
{
    if (std::isnan(x)) return 0;
    if (x >= 2147483647.0) return INT32_MAX;
    if (x <= -2147483648.0) return INT32_MIN;
    return static_cast<int32_t>(x);
}
