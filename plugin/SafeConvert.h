// Narrowing conversions that stay defined for any input: host values, NaN samples and
// runaway arithmetic must never reach a raw cast (which is undefined out of range).
#pragma once

#include <cfloat>
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

// For values on their way to pixels (samples, spectra): beyond the float range becomes the
// infinity the hardware would give, NaN stays NaN, so that the drawing can leave them out.
inline float NarrowToFloat(double v)
{
    if (v > FLT_MAX) return HUGE_VALF;
    if (v < -FLT_MAX) return -HUGE_VALF;
    return static_cast<float>(v);
}

// For settings (a host's v scale): always a usable number, NaN as 0 and beyond the float
// range the largest float.
inline float ClampToFloat(double v)
{
    if (std::isnan(v)) return 0.0f;
    if (v > FLT_MAX) return FLT_MAX;
    if (v < -FLT_MAX) return -FLT_MAX;
    return static_cast<float>(v);
}
