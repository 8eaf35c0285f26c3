#pragma once

#include <cstdint>

#include "plugin/GrowableArray.h"

// 32-bit integers with a count: the grid frequencies of the zoom bands.
using IntArray = GrowableArray<int32_t>;
