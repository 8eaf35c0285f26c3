// Samples and magnitudes are doubles, display values floats. A double beyond the float range
// (a runaway host sample) has no defined narrowing, so it becomes the infinity the hardware
// would give; the displays never turn such values into pixel positions.
#pragma once

#include <cfloat>
#include <cmath>

inline float NarrowToFloat(double v)
{
    if (v > FLT_MAX) return HUGE_VALF;
    if (v < -FLT_MAX) return -HUGE_VALF;
    return static_cast<float>(v);
}
