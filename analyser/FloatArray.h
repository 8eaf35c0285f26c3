#pragma once

#include "plugin/GrowableArray.h"

// 32-bit floats with a count: curves, point positions and intensity columns, in pixels or 0..1.
using FloatArray = GrowableArray<float>;
