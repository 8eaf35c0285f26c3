// Spreads a stretch of a spectrum over a row of display columns, shared by the freq display
// (its curve) and the spectrogram (one grid column).
#pragma once

#include <cstdint>

#include "analyser/FloatArray.h"
#include "plugin/GrowableArray.h"

// Fills every element of destination with the mean of its share of source[first, end)
// (the whole rest of source when end < first); neighbours repeat a value when the range
// is narrower than the destination.
void ResampleToColumns(const GrowableArray<double>& source, FloatArray& destination, int32_t first, int32_t end);
