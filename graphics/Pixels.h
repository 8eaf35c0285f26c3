// Single-pixel operations: blended points, raw stores and reads.
#pragma once

#include <cstdint>

#include "graphics/Blend.h"
#include "graphics/Colour.h"
#include "graphics/Surface.h"

// Combines the pixel whose centre is nearest (x, y) (x + 0.5 truncated) with the mode at
// weight * 256. Points off the surface, and NaN or infinite coordinates, draw nothing.
void DrawPoint(Surface& surface, uint32_t colour, float x, float y, RasterMode mode, float weight);

// Stores the packed colour as it is. Positions off the surface are ignored.
void SetPixel(Surface& surface, uint32_t colour, int32_t x, int32_t y);

// Stores count packed colours as they are from (x, y) rightwards; the part off the surface
// is ignored.
void SetPixelRow(Surface& surface, const uint32_t* packed, int32_t count, int32_t x, int32_t y);

// The pixel unpacked, or all zeros off the surface or without pixels.
Colour GetPixel(const Surface& surface, int32_t x, int32_t y);
